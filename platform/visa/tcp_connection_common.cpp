// SPDX-License-Identifier: MIT
// The parts of TcpConnection that are the same on every system.
#include "tcp_connection.h"

#include <algorithm>

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

ViStatus TcpConnection::discard_until_quiet(int quiet_ms, Deadline deadline) {
  for (;;) {
    ViStatus st = discard_arrived();
    if (st < 0) return st;
    const int left = deadline.poll_timeout_ms();
    const int wait = left < 0 ? quiet_ms : std::min(quiet_ms, left);
    if (wait == 0) return VI_SUCCESS;
    st = wait_readable(wait);
    if (st == VI_ERROR_TMO) return VI_SUCCESS;  // quiet for the moment, or the deadline came first
    if (st < 0) return st;
  }
}

}  // namespace visa
