// SPDX-License-Identifier: MIT
// A TCP proxy on loopback between a client and a server that misbehaves on
// purpose in the server-to-client direction: drops the connection, stalls,
// injects garbage, dribbles bytes, strips terminators, streams without end,
// refuses or resets. Each accepted client gets one relay thread; everything
// stops and is joined on destruction.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

enum class FaultKind {
  None,
  DropAfter,        // close both sides once `after` bytes went to the client
  Stall,            // after `after` bytes, forward nothing more to the client
  Garbage,          // after `after` bytes, inject bytes no protocol expects, then go on
  SingleBytes,      // forward every byte in its own segment
  SlowBytes,        // forward every byte in its own segment, 2 ms apart
  StripTerminator,  // forward everything but line feeds
  StreamForever,    // after `after` bytes, send 'x' without end instead of the reply
  Refuse,           // close each connection at once
  Reset,            // reset each connection at once
};

inline const char* FaultName(FaultKind k) {
  switch (k) {
    case FaultKind::None: return "None";
    case FaultKind::DropAfter: return "DropAfter";
    case FaultKind::Stall: return "Stall";
    case FaultKind::Garbage: return "Garbage";
    case FaultKind::SingleBytes: return "SingleBytes";
    case FaultKind::SlowBytes: return "SlowBytes";
    case FaultKind::StripTerminator: return "StripTerminator";
    case FaultKind::StreamForever: return "StreamForever";
    case FaultKind::Refuse: return "Refuse";
    case FaultKind::Reset: return "Reset";
  }
  return "?";
}

struct FaultSpec {
  FaultKind kind = FaultKind::None;
  std::size_t after = 0;  // bytes the client gets intact first
  // Rewrites the last four bytes of each chunk to the client into this port
  // (big-endian): a portmapper's GETPORT answer pointed at another proxy.
  unsigned rewrite_port = 0;
  // Off: bytes pass intact until arm() (a fault after the connection is made);
  // on: the fault applies from the first byte (a fault during the handshake).
  bool armed = true;
};

class FaultProxy {
 public:
  FaultProxy(unsigned upstream_port, FaultSpec fault)
      : upstream_port_(upstream_port), fault_(fault), armed_(fault.armed) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener_, 64);
    socklen_t len = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    acceptor_ = std::thread([this] { Accept(); });
  }
  ~FaultProxy() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    acceptor_.join();
    ::close(listener_);
    std::lock_guard lock(mutex_);
    for (auto& t : relays_) t.join();
  }
  FaultProxy(const FaultProxy&) = delete;
  FaultProxy& operator=(const FaultProxy&) = delete;

  unsigned port() const { return port_; }
  static constexpr std::size_t kGetportReplySize = 4 + 24 + 4;
  // The fault applies from now on, counting `after` from here.
  void arm() {
    forwarded_ = 0;
    armed_ = true;
  }

 private:
  void Accept() {
    for (;;) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) {
        if (stop_) return;
        continue;
      }
      int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      std::lock_guard lock(mutex_);
      relays_.emplace_back([this, client] { Relay(client); });
    }
  }

  static void SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
      ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
      if (n <= 0) return;
      data += n;
      size -= static_cast<std::size_t>(n);
    }
  }

  // Forwards `data` to the client, as the fault says; false: the relay ends.
  bool ToClient(int client, std::string data) {
    // Only a whole GETPORT reply (marker, reply header, port) carries the port.
    if (fault_.rewrite_port != 0 && data.size() == kGetportReplySize) {
      unsigned char* tail = reinterpret_cast<unsigned char*>(data.data() + data.size() - 4);
      tail[0] = tail[1] = 0;
      tail[2] = static_cast<unsigned char>(fault_.rewrite_port >> 8);
      tail[3] = static_cast<unsigned char>(fault_.rewrite_port & 0xFF);
    }
    if (!armed_) {
      SendAll(client, data.data(), data.size());
      return true;
    }
    std::size_t intact = forwarded_ >= fault_.after ? 0 : std::min(data.size(), fault_.after - forwarded_);
    SendAll(client, data.data(), intact);
    forwarded_ += intact;
    std::string rest = data.substr(intact);
    if (rest.empty()) return true;
    switch (fault_.kind) {
      case FaultKind::DropAfter:
        return false;
      case FaultKind::Stall:
        return true;
      case FaultKind::Garbage:
        if (!injected_) {
          injected_ = true;
          static const char garbage[] = "\xff\x00\x13garbage\x7f\x01\x02\x03\x04\x05\x06\x07\x08";
          SendAll(client, garbage, sizeof garbage - 1);
        }
        SendAll(client, rest.data(), rest.size());
        return true;
      case FaultKind::SingleBytes:
      case FaultKind::SlowBytes:
        for (char c : rest) {
          SendAll(client, &c, 1);
          if (fault_.kind == FaultKind::SlowBytes) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
      case FaultKind::StripTerminator:
        for (char c : rest) {
          if (c != '\n') SendAll(client, &c, 1);
        }
        return true;
      case FaultKind::StreamForever:
        streaming_ = true;
        return true;
      default:
        SendAll(client, rest.data(), rest.size());
        return true;
    }
  }

  void Relay(int client) {
    int one = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (armed_ && (fault_.kind == FaultKind::Refuse || fault_.kind == FaultKind::Reset)) {
      if (fault_.kind == FaultKind::Reset) {
        linger l{1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, &l, sizeof l);
      }
      ::close(client);
      return;
    }
    int server = ::socket(AF_INET, SOCK_STREAM, 0);
    ::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(upstream_port_));
    if (::connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      ::close(client);
      ::close(server);
      return;
    }
    const std::string stream(4096, 'x');
    char buffer[65536];
    while (!stop_) {
      pollfd p[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
      if (streaming_) p[0].events |= POLLOUT;
      if (::poll(p, 2, 20) < 0) break;
      if (streaming_ && (p[0].revents & POLLOUT) != 0 &&
          ::send(client, stream.data(), stream.size(), MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno != EAGAIN)
        break;
      if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
        ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        SendAll(server, buffer, static_cast<std::size_t>(n));
      }
      if (p[1].revents & (POLLIN | POLLHUP | POLLERR)) {
        ssize_t n = ::recv(server, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        if (!ToClient(client, std::string(buffer, static_cast<std::size_t>(n)))) break;
      }
    }
    ::close(client);
    ::close(server);
  }

  unsigned upstream_port_;
  FaultSpec fault_;
  int listener_ = -1;
  unsigned port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread acceptor_;
  std::mutex mutex_;
  std::vector<std::thread> relays_;
  // Per proxy, not per connection: each test opens one connection at a time
  // (HiSLIP's two channels share the count, which only shifts where a fault starts).
  std::atomic<std::size_t> forwarded_{0};
  std::atomic<bool> armed_;
  std::atomic<bool> injected_{false};
  std::atomic<bool> streaming_{false};
};

}  // namespace testsupport
