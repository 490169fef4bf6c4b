// SPDX-License-Identifier: MIT
// TcpConnection on Winsock. Sockets are non-blocking from the start and every
// wait is a WSAPoll (select for a connect, whose failure WSAPoll does not
// report on every Windows version) bounded by the deadline: Winsock's
// SO_RCVTIMEO leaves a socket unusable after it fires, so it is never relied on.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "socket_address.h"
#include "tcp_connection.h"
#include "visa.h"

namespace visa {
namespace {

using Handle = TcpConnection::Handle;

ViStatus StatusOf(int error) {
  switch (error) {
    case WSAECONNRESET:
    case WSAECONNABORTED:
    case WSAENOTCONN:
    case WSAESHUTDOWN:
    case WSAENETRESET:
      return VI_ERROR_CONN_LOST;
    case WSAETIMEDOUT:
      return VI_ERROR_TMO;
    default:
      return VI_ERROR_IO;
  }
}

// Waits for `events` (POLLRDNORM, POLLWRNORM) until the deadline or for
// `ms` when given. VI_SUCCESS when ready (or the peer hung up: the next call
// says how), VI_ERROR_TMO, or the error.
ViStatus WaitReady(Handle socket, short events, int ms) {
  WSAPOLLFD p{static_cast<SOCKET>(socket), events, 0};
  const int n = ::WSAPoll(&p, 1, ms);
  if (n > 0) return VI_SUCCESS;
  if (n == 0) return VI_ERROR_TMO;
  return StatusOf(::WSAGetLastError());
}

Handle ConnectOne(int family, const sockaddr* address, int length, Deadline deadline) {
  SOCKET s = ::socket(family, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return TcpConnection::kNoSocket;
  u_long non_blocking = 1;
  bool connected = ::ioctlsocket(s, FIONBIO, &non_blocking) == 0;
  if (connected && ::connect(s, address, length) != 0) {
    connected = false;
    if (::WSAGetLastError() == WSAEWOULDBLOCK) {
      fd_set writable, failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(s, &writable);
      FD_SET(s, &failed);
      const int ms = deadline.poll_timeout_ms();
      timeval limit{ms / 1000, (ms % 1000) * 1000};
      connected = ::select(0, nullptr, &writable, &failed, ms < 0 ? nullptr : &limit) > 0 && FD_ISSET(s, &writable);
    }
  }
  if (!connected) {
    ::closesocket(s);
    return TcpConnection::kNoSocket;
  }
  // Small command/response exchanges must not wait on delayed acknowledgements.
  BOOL one = TRUE;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
  return static_cast<Handle>(s);
}

}  // namespace

// Winsock is started once for the process and left running: other threads
// and other libraries in the process may hold sockets until it exits.
bool TcpConnection::start_networking() {
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

TcpConnection::~TcpConnection() { close(); }

TcpConnection::TcpConnection(TcpConnection&& other) noexcept
    : fd_(std::exchange(other.fd_, kNoSocket)), receive_timeout_ms_(other.receive_timeout_ms_) {}

TcpConnection& TcpConnection::operator=(TcpConnection&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, kNoSocket);
    receive_timeout_ms_ = other.receive_timeout_ms_;
  }
  return *this;
}

void TcpConnection::close() {
  if (fd_ != kNoSocket) ::closesocket(static_cast<SOCKET>(std::exchange(fd_, kNoSocket)));
}

ViStatus TcpConnection::connect(const std::string& host, unsigned port, Deadline deadline, TcpConnection& out) {
  if (!start_networking()) return VI_ERROR_SYSTEM_ERROR;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* raw = nullptr;
  const std::string service = std::to_string(port);
  if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &raw) != 0 || raw == nullptr) return VI_ERROR_RSRC_NFOUND;
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> list(raw, &::freeaddrinfo);
  for (const addrinfo* ai = list.get(); ai != nullptr; ai = ai->ai_next) {
    Handle s = ConnectOne(ai->ai_family, ai->ai_addr, static_cast<int>(ai->ai_addrlen), deadline);
    if (s != kNoSocket) {
      out = TcpConnection(s);
      return VI_SUCCESS;
    }
    if (deadline.expired()) break;
  }
  return VI_ERROR_RSRC_NFOUND;
}

ViStatus TcpConnection::write_all(const void* data, std::size_t size, Deadline deadline) {
  if (fd_ == kNoSocket) return VI_ERROR_CONN_LOST;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 30));
    const int n = ::send(static_cast<SOCKET>(fd_), p, chunk, 0);
    if (n > 0) {
      p += n;
      size -= static_cast<std::size_t>(n);
      // A peer that takes a little at a time does not stretch the timeout.
      if (size > 0 && deadline.exhausted()) return VI_ERROR_TMO;
      continue;
    }
    const int error = ::WSAGetLastError();
    if (error != WSAEWOULDBLOCK) return StatusOf(error);
    if (deadline.exhausted()) return VI_ERROR_TMO;
    if (ViStatus st = WaitReady(fd_, POLLWRNORM, deadline.poll_timeout_ms()); st != VI_SUCCESS) return st;
  }
  return VI_SUCCESS;
}

ViStatus TcpConnection::read_some(void* data, std::size_t size, Deadline deadline, std::size_t& got) {
  got = 0;
  if (fd_ == kNoSocket) return VI_ERROR_CONN_LOST;
  const int wanted = static_cast<int>(std::min<std::size_t>(size, 1 << 30));
  for (;;) {
    const int n = ::recv(static_cast<SOCKET>(fd_), static_cast<char*>(data), wanted, 0);
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return VI_SUCCESS;
    }
    if (n == 0) return VI_ERROR_CONN_LOST;
    const int error = ::WSAGetLastError();
    if (error != WSAEWOULDBLOCK) return StatusOf(error);
    // Bytes that keep arriving never stretch the timeout.
    const Deadline::Left left = deadline.left();
    if (left.exhausted) return VI_ERROR_TMO;
    if (ViStatus st = WaitReady(fd_, POLLRDNORM, left.poll_ms); st != VI_SUCCESS) return st;
  }
}

ViStatus TcpConnection::read_available(void* data, std::size_t size, std::size_t& got) {
  got = 0;
  if (fd_ == kNoSocket) return VI_ERROR_CONN_LOST;
  const int n = ::recv(static_cast<SOCKET>(fd_), static_cast<char*>(data),
                       static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
  if (n > 0) {
    got = static_cast<std::size_t>(n);
    return VI_SUCCESS;
  }
  if (n == 0) return VI_ERROR_CONN_LOST;
  const int error = ::WSAGetLastError();
  return error == WSAEWOULDBLOCK ? VI_ERROR_TMO : StatusOf(error);
}

ViStatus TcpConnection::discard_arrived() {
  if (fd_ == kNoSocket) return VI_ERROR_CONN_LOST;
  // What is queued now, and no more: a peer that keeps sending cannot hold the caller here.
  u_long queued = 0;
  if (::ioctlsocket(static_cast<SOCKET>(fd_), FIONREAD, &queued) != 0) return StatusOf(::WSAGetLastError());
  char scratch[4096];
  while (queued > 0) {
    const int n =
        ::recv(static_cast<SOCKET>(fd_), scratch, static_cast<int>(std::min<u_long>(sizeof scratch, queued)), 0);
    if (n == 0) return VI_ERROR_CONN_LOST;
    if (n < 0) {
      const int error = ::WSAGetLastError();
      return error == WSAEWOULDBLOCK ? VI_SUCCESS : StatusOf(error);
    }
    queued -= std::min<u_long>(queued, static_cast<u_long>(n));
  }
  return VI_SUCCESS;
}

ViStatus TcpConnection::wait_readable(int ms) const { return WaitReady(fd_, POLLRDNORM, ms); }

std::string TcpConnection::peer_address() const {
  sockaddr_storage ss{};
  int length = sizeof ss;
  if (fd_ == kNoSocket || ::getpeername(static_cast<SOCKET>(fd_), reinterpret_cast<sockaddr*>(&ss), &length) != 0)
    return {};
  return AddressText(ss);
}

bool TcpConnection::local_ipv4(std::uint32_t& address) const {
  sockaddr_storage ss{};
  int length = sizeof ss;
  return !(fd_ == kNoSocket) &&
         ::getsockname(static_cast<SOCKET>(fd_), reinterpret_cast<sockaddr*>(&ss), &length) == 0 && Ipv4Of(ss, address);
}

bool TcpConnection::flag(int level, int option) const {
  DWORD value = 0;
  int size = sizeof value;
  return fd_ != kNoSocket &&
         ::getsockopt(static_cast<SOCKET>(fd_), level, option, reinterpret_cast<char*>(&value), &size) == 0 &&
         value != 0;
}

bool TcpConnection::set_flag(int level, int option, bool on) {
  BOOL value = on ? TRUE : FALSE;
  return fd_ != kNoSocket && ::setsockopt(static_cast<SOCKET>(fd_), level, option,
                                          reinterpret_cast<const char*>(&value), sizeof value) == 0;
}

TcpListeningSocket::~TcpListeningSocket() {
  if (fd_ != TcpConnection::kNoSocket) ::closesocket(static_cast<SOCKET>(fd_));
}

// Non-blocking, as the connections it accepts then are too.
ViStatus TcpListeningSocket::listen_ipv4(std::uint32_t address, std::uint16_t& port) {
  if (!TcpConnection::start_networking()) return VI_ERROR_SYSTEM_ERROR;
  if (fd_ == TcpConnection::kNoSocket) {
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return VI_ERROR_SYSTEM_ERROR;
    fd_ = static_cast<Handle>(s);
  }
  const SOCKET s = static_cast<SOCKET>(fd_);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(address);
  int length = sizeof at;
  u_long non_blocking = 1;
  if (::ioctlsocket(s, FIONBIO, &non_blocking) != 0 || ::bind(s, reinterpret_cast<sockaddr*>(&at), length) != 0 ||
      ::listen(s, 2) != 0 || ::getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) != 0)
    return VI_ERROR_SYSTEM_ERROR;
  port = ntohs(at.sin_port);
  return VI_SUCCESS;
}

ViStatus TcpListeningSocket::accept(TcpConnection& out) {
  const SOCKET s = ::accept(static_cast<SOCKET>(fd_), nullptr, nullptr);
  if (s == INVALID_SOCKET) return StatusOf(::WSAGetLastError());
  out = TcpConnection(static_cast<Handle>(s));
  return VI_SUCCESS;
}

}  // namespace visa
