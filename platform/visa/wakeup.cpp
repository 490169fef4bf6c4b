// SPDX-License-Identifier: MIT
#include "wakeup.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "visa.h"

namespace visa {

Wakeup::Wakeup() : handle_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

Wakeup::~Wakeup() {
  if (ok()) ::close(handle_);
}

void Wakeup::signal() {
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(handle_, &one, sizeof one);
}

void Wakeup::clear() {
  std::uint64_t count = 0;
  [[maybe_unused]] ssize_t read = ::read(handle_, &count, sizeof count);
}

ViStatus Wakeup::wait_readable(TcpConnection::Handle socket, int timeout_ms) const {
  for (;;) {
    pollfd p[2] = {{socket, POLLIN, 0}, {handle_, POLLIN, 0}};
    const int n = ::poll(p, 2, timeout_ms);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return VI_ERROR_IO;
    if (n == 0) return VI_ERROR_TMO;
    return p[1].revents != 0 ? VI_ERROR_ABORT : VI_SUCCESS;
  }
}

}  // namespace visa
