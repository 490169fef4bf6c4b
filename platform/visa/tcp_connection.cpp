// SPDX-License-Identifier: MIT
#include "tcp_connection.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>

#include "socket_address.h"
#include "visa.h"

namespace visa {
namespace {

struct AddrInfoDeleter {
  void operator()(addrinfo* ai) const { freeaddrinfo(ai); }
};

// Waits for the socket to become ready for `events`. VI_SUCCESS, VI_ERROR_TMO or VI_ERROR_IO.
ViStatus wait_ready(int fd, short events, Deadline deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, deadline.poll_timeout_ms());
    if (n > 0) return VI_SUCCESS;
    if (n == 0) return VI_ERROR_TMO;
    if (errno != EINTR) return VI_ERROR_IO;
  }
}

ViStatus status_from_errno(int err) {
  switch (err) {
    case EPIPE:
    case ECONNRESET:
    case ECONNABORTED:
    case ENOTCONN:
    case ESHUTDOWN:
      return VI_ERROR_CONN_LOST;
    case ETIMEDOUT:
      return VI_ERROR_TMO;
    default:
      return VI_ERROR_IO;
  }
}

// A blocking connect bounded by the send timeout: two calls fewer than a
// non-blocking connect and a poll. Writes pass MSG_DONTWAIT and reads set
// their own receive timeout, so the send timeout left on the socket never
// applies to anything else.
int connect_one(int family, const sockaddr* address, socklen_t length, Deadline deadline) {
  int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) return -1;
  if (!deadline.infinite()) {
    const int ms = std::max(deadline.poll_timeout_ms(), 1);  // a zero timeval would mean no limit
    const timeval limit{ms / 1000, (ms % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  }
  int rc = ::connect(fd, address, length);
  if (rc != 0 && errno == EINTR) {
    // The connection goes on being made; wait for it as for a non-blocking one.
    if (wait_ready(fd, POLLOUT, deadline) == VI_SUCCESS) {
      int err = 0;
      socklen_t len = sizeof err;
      rc = (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) ? 0 : -1;
    }
  }
  if (rc != 0) {
    ::close(fd);
    return -1;
  }
  // Small command/response exchanges must not wait on delayed acknowledgements.
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

// A numeric address (the usual case for an instrument) needs no resolver:
// getaddrinfo would still ask the kernel for every interface's addresses.
bool NumericAddress(const std::string& host, unsigned port, sockaddr_storage& out, socklen_t& length) {
  out = {};
  auto* v4 = reinterpret_cast<sockaddr_in*>(&out);
  if (::inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<std::uint16_t>(port));
    length = sizeof *v4;
    return true;
  }
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&out);
  if (::inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<std::uint16_t>(port));
    length = sizeof *v6;
    return true;
  }
  return false;
}

}  // namespace

bool TcpConnection::start_networking() { return true; }

TcpConnection::~TcpConnection() { close(); }

TcpConnection::TcpConnection(TcpConnection&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), receive_timeout_ms_(other.receive_timeout_ms_) {}

TcpConnection& TcpConnection::operator=(TcpConnection&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    receive_timeout_ms_ = other.receive_timeout_ms_;
  }
  return *this;
}

void TcpConnection::close() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

ViStatus TcpConnection::connect(const std::string& host, unsigned port, Deadline deadline,
                                TcpConnection& out) {
  sockaddr_storage numeric;
  socklen_t numeric_length = 0;
  if (NumericAddress(host, port, numeric, numeric_length)) {
    int fd = connect_one(numeric.ss_family, reinterpret_cast<const sockaddr*>(&numeric), numeric_length, deadline);
    if (fd < 0) return VI_ERROR_RSRC_NFOUND;
    out = TcpConnection(fd);
    return VI_SUCCESS;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_ADDRCONFIG;
  addrinfo* raw = nullptr;
  std::string service = std::to_string(port);
  if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &raw) != 0 || raw == nullptr) {
    // AI_ADDRCONFIG hides loopback-only families on machines without a network; retry without it.
    hints.ai_flags = 0;
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &raw) != 0 || raw == nullptr)
      return VI_ERROR_RSRC_NFOUND;
  }
  std::unique_ptr<addrinfo, AddrInfoDeleter> list(raw);
  for (const addrinfo* ai = list.get(); ai != nullptr; ai = ai->ai_next) {
    int fd = connect_one(ai->ai_family, ai->ai_addr, ai->ai_addrlen, deadline);
    if (fd >= 0) {
      out = TcpConnection(fd);
      return VI_SUCCESS;
    }
    if (deadline.expired()) break;
  }
  return VI_ERROR_RSRC_NFOUND;
}

ViStatus TcpConnection::write_all(const void* data, std::size_t size, Deadline deadline) {
  if (fd_ < 0) return VI_ERROR_CONN_LOST;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::send(fd_, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      p += n;
      size -= static_cast<std::size_t>(n);
      // A peer that takes a little at a time does not stretch the timeout.
      if (size > 0 && deadline.exhausted()) return VI_ERROR_TMO;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      ViStatus st = wait_ready(fd_, POLLOUT, deadline);
      if (st != VI_SUCCESS) return st;
      continue;
    }
    return status_from_errno(errno);
  }
  return VI_SUCCESS;
}

ViStatus TcpConnection::read_some(void* data, std::size_t size, Deadline deadline,
                                  std::size_t& got) {
  got = 0;
  if (fd_ < 0) return VI_ERROR_CONN_LOST;
  for (;;) {
    // Bytes that keep arriving never stretch the timeout.
    const Deadline::Left left = deadline.left();
    if (left.exhausted) return VI_ERROR_TMO;
    // A blocking receive bounded by the socket's receive timeout: one system
    // call per read, where a poll first would make two.
    const int ms = left.poll_ms;
    if (ms != 0) arm_receive_timeout(ms);
    ssize_t n = ::recv(fd_, data, size, ms == 0 ? MSG_DONTWAIT : 0);
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return VI_SUCCESS;
    }
    if (n == 0) return VI_ERROR_CONN_LOST;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return status_from_errno(errno);
    if (ms == 0) return VI_ERROR_TMO;  // nothing had arrived, and no time to wait
  }
}

void TcpConnection::arm_receive_timeout(int ms) {
  // 0 is "wait forever" to the socket, as -1 is to poll().
  const int wanted = ms < 0 ? 0 : ms;
  // Left as it is while close enough: a receive then overshoots the deadline
  // by at most the slack, and repeated reads in one timeout cost no call.
  if (wanted == receive_timeout_ms_) return;
  if (wanted != 0 && receive_timeout_ms_ != 0 && std::abs(wanted - receive_timeout_ms_) <= kReceiveTimeoutSlackMs)
    return;
  timeval tv{wanted / 1000, static_cast<suseconds_t>((wanted % 1000) * 1000)};
  if (::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0) receive_timeout_ms_ = wanted;
}

ViStatus TcpConnection::read_available(void* data, std::size_t size, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return VI_ERROR_CONN_LOST;
  for (;;) {
    const ssize_t n = ::recv(fd_, data, size, MSG_DONTWAIT);
    if (n > 0) {
      got = static_cast<std::size_t>(n);
      return VI_SUCCESS;
    }
    if (n == 0) return VI_ERROR_CONN_LOST;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? VI_ERROR_TMO : status_from_errno(errno);
  }
}

ViStatus TcpConnection::discard_arrived() {
  if (fd_ < 0) return VI_ERROR_CONN_LOST;
  // What is queued now, and no more: a peer that keeps sending cannot hold the
  // caller here. The first recv costs the usual case (nothing queued) one call.
  char scratch[4096];
  std::size_t queued = sizeof scratch;
  bool counted = false;
  while (queued > 0) {
    ssize_t n = ::recv(fd_, scratch, std::min(sizeof scratch, queued), MSG_DONTWAIT);
    if (n == 0) return VI_ERROR_CONN_LOST;
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return VI_SUCCESS;
      return status_from_errno(errno);
    }
    if (!counted) {
      int more = 0;
      if (::ioctl(fd_, FIONREAD, &more) != 0) return status_from_errno(errno);
      queued = static_cast<std::size_t>(more);
      counted = true;
    } else {
      queued -= std::min(queued, static_cast<std::size_t>(n));
    }
  }
  return VI_SUCCESS;
}

ViStatus TcpConnection::wait_readable(int ms) const {
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    const int n = ::poll(&p, 1, ms);
    if (n > 0) return VI_SUCCESS;
    if (n == 0) return VI_ERROR_TMO;
    if (errno != EINTR) return status_from_errno(errno);
  }
}

std::string TcpConnection::peer_address() const {
  sockaddr_storage ss{};
  socklen_t length = sizeof ss;
  if (fd_ < 0 || ::getpeername(fd_, reinterpret_cast<sockaddr*>(&ss), &length) != 0) return {};
  return AddressText(ss);
}

bool TcpConnection::local_ipv4(std::uint32_t& address) const {
  sockaddr_storage ss{};
  socklen_t length = sizeof ss;
  return !(fd_ < 0) && ::getsockname(fd_, reinterpret_cast<sockaddr*>(&ss), &length) == 0 && Ipv4Of(ss, address);
}

bool TcpConnection::flag(int level, int option) const {
  int value = 0;
  socklen_t size = sizeof value;
  return fd_ >= 0 && ::getsockopt(fd_, level, option, &value, &size) == 0 && value != 0;
}

bool TcpConnection::set_flag(int level, int option, bool on) {
  int value = on ? 1 : 0;
  return fd_ >= 0 && ::setsockopt(fd_, level, option, &value, sizeof value) == 0;
}

TcpListeningSocket::~TcpListeningSocket() {
  if (fd_ >= 0) ::close(fd_);
}

ViStatus TcpListeningSocket::listen_ipv4(std::uint32_t address, std::uint16_t& port) {
  if (fd_ < 0) fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return VI_ERROR_SYSTEM_ERROR;
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(address);
  socklen_t length = sizeof at;
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&at), length) != 0 || ::listen(fd_, 2) != 0 ||
      ::getsockname(fd_, reinterpret_cast<sockaddr*>(&at), &length) != 0)
    return VI_ERROR_SYSTEM_ERROR;
  port = ntohs(at.sin_port);
  return VI_SUCCESS;
}

ViStatus TcpListeningSocket::accept(TcpConnection& out) {
  const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return status_from_errno(errno);
  out = TcpConnection(fd);
  return VI_SUCCESS;
}

}  // namespace visa
