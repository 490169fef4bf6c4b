// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <ws2tcpip.h>

#include "visa.h"
#include "wakeup.h"

namespace visa {

// A datagram socket on the loopback address, connected to itself: a byte it
// sends makes it readable, which WSAPoll watches beside the TCP socket.
Wakeup::Wakeup() {
  if (!TcpConnection::start_networking()) return;
  SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return;
  sockaddr_in self{};
  self.sin_family = AF_INET;
  self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof self;
  u_long non_blocking = 1;
  if (::bind(s, reinterpret_cast<sockaddr*>(&self), length) != 0 ||
      ::getsockname(s, reinterpret_cast<sockaddr*>(&self), &length) != 0 ||
      ::connect(s, reinterpret_cast<sockaddr*>(&self), length) != 0 || ::ioctlsocket(s, FIONBIO, &non_blocking) != 0) {
    ::closesocket(s);
    return;
  }
  handle_ = static_cast<TcpConnection::Handle>(s);
}

Wakeup::~Wakeup() {
  if (ok()) ::closesocket(static_cast<SOCKET>(handle_));
}

void Wakeup::signal() {
  const char one = 1;
  ::send(static_cast<SOCKET>(handle_), &one, 1, 0);
}

void Wakeup::clear() {
  char drained[16];
  while (::recv(static_cast<SOCKET>(handle_), drained, sizeof drained, 0) > 0) {
  }
}

ViStatus Wakeup::wait_readable(TcpConnection::Handle socket, int timeout_ms) const {
  WSAPOLLFD p[2] = {{static_cast<SOCKET>(socket), POLLRDNORM, 0}, {static_cast<SOCKET>(handle_), POLLRDNORM, 0}};
  const int n = ::WSAPoll(p, 2, timeout_ms);
  if (n < 0) return VI_ERROR_IO;
  if (n == 0) return VI_ERROR_TMO;
  return p[1].revents != 0 ? VI_ERROR_ABORT : VI_SUCCESS;
}

}  // namespace visa
