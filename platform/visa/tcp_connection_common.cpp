// SPDX-License-Identifier: MIT
// The parts of TcpConnection that are the same on every system.
#include "tcp_connection.h"
#include "visa.h"

namespace visa {

ViStatus TcpConnection::read_exact(void* data, std::size_t size, Deadline deadline) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    std::size_t got = 0;
    ViStatus st = read_some(p, size, deadline, got);
    if (st != VI_SUCCESS) return st;
    p += got;
    size -= got;
  }
  return VI_SUCCESS;
}

}  // namespace visa
