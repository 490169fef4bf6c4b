// SPDX-License-Identifier: MIT
#include "tcp_listener.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace emulator {
namespace {

constexpr int kBusyBackoffMs = 100;

}  // namespace

TcpListener::~TcpListener() { stop(); }

std::string TcpListener::start(const std::string& address, unsigned port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* list = nullptr;
  std::string service = std::to_string(port);
  if (int rc = ::getaddrinfo(address.c_str(), service.c_str(), &hints, &list); rc != 0)
    return "cannot resolve " + address + ": " + ::gai_strerror(rc);
  std::string error = "no usable address for " + address;
  for (addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
    UniqueFd fd(::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol));
    if (!fd) continue;
    int one = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd.get(), ai->ai_addr, ai->ai_addrlen) != 0 || ::listen(fd.get(), 64) != 0) {
      error = "cannot listen on " + address + " port " + service + ": " + std::strerror(errno);
      continue;
    }
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    ::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&bound), &len);
    char text[INET6_ADDRSTRLEN] = {};
    if (bound.ss_family == AF_INET) {
      ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&bound)->sin_addr, text, sizeof text);
      port_ = ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    } else {
      ::inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&bound)->sin6_addr, text, sizeof text);
      port_ = ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
    }
    address_ = text;
    listener_ = std::move(fd);
    error.clear();
    break;
  }
  ::freeaddrinfo(list);
  if (!error.empty()) return error;
  wake_.reset(::eventfd(0, EFD_CLOEXEC));
  acceptor_ = std::thread([this] { accept_loop(); });
  return {};
}

void TcpListener::stop() {
  if (stopping_.exchange(true)) return;
  if (wake_) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wake_.get(), &one, sizeof one);
  }
  if (acceptor_.joinable()) acceptor_.join();
  std::lock_guard lock(mutex_);
  // A client that does not read leaves its thread blocked in send(): shutting
  // the connection down ends that send, so stopping never waits on a client.
  for (auto& w : workers_) {
    std::lock_guard fd_lock(w->fd_mutex);
    if (w->fd) ::shutdown(w->fd.get(), SHUT_RDWR);
  }
  for (auto& w : workers_) {
    if (w->thread.joinable()) w->thread.join();
  }
  workers_.clear();
  listener_.reset();  // later connections are refused, as by an instrument switched off
}

void TcpListener::accept_loop() {
  for (;;) {
    pollfd fds[2] = {{listener_.get(), POLLIN, 0}, {wake_.get(), POLLIN, 0}};
    int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN) != 0) return;
    sockaddr_storage peer{};
    socklen_t peer_size = sizeof peer;
    int fd = ::accept4(listener_.get(), reinterpret_cast<sockaddr*>(&peer), &peer_size, SOCK_CLOEXEC);
    if (fd < 0) {
      // Out of descriptors or memory the connection stays queued and poll
      // reports it again at once: wait a while instead of spinning a core.
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        pollfd wake{wake_.get(), POLLIN, 0};
        if (::poll(&wake, 1, kBusyBackoffMs) > 0) return;
      }
      continue;
    }
    if (admit_ && !admit_(peer)) {
      ::close(fd);
      continue;
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::lock_guard lock(mutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
      if ((*it)->done) {
        (*it)->thread.join();
        it = workers_.erase(it);
      } else {
        ++it;
      }
    }
    auto worker = std::make_unique<Worker>();
    worker->fd.reset(fd);
    Worker& w = *worker;
    workers_.push_back(std::move(worker));
    w.thread = std::thread([this, &w] {
      serve_(w.fd.get(), wake_.get());
      {
        std::lock_guard fd_lock(w.fd_mutex);
        w.fd.reset();
      }
      w.done = true;
    });
  }
}

std::size_t ReadSome(int fd, int stop_fd, void* data, std::size_t size) {
  for (;;) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop_fd, POLLIN, 0}};
    int n = ::poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || (fds[1].revents & POLLIN) != 0) return 0;
    ssize_t got = ::recv(fd, data, size, 0);
    if (got < 0 && errno == EINTR) continue;
    return got > 0 ? static_cast<std::size_t>(got) : 0;
  }
}

bool ReadFully(int fd, int stop_fd, void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    const std::size_t got = ReadSome(fd, stop_fd, p, size);
    if (got == 0) return false;
    p += got;
    size -= got;
  }
  return true;
}

bool WriteFully(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace emulator
