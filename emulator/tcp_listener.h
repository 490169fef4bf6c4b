// SPDX-License-Identifier: MIT
// A TCP listener that hands each connection to its own thread, and
// stops them all on request. Shared by the emulator's message-based transports.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <sys/socket.h>

#include "unique_fd.h"

namespace emulator {

class TcpListener {
 public:
  // serve(fd, stop_fd) runs on the connection's thread; it returns when the
  // peer leaves or stop_fd becomes readable.
  using Serve = std::function<void(int fd, int stop_fd)>;

  explicit TcpListener(Serve serve) : serve_(std::move(serve)) {}
  ~TcpListener();
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  // Decides at connect whether a client is served; one refused is closed at once.
  using Admit = std::function<bool(const sockaddr_storage& peer)>;
  void set_admit(Admit admit) { admit_ = std::move(admit); }

  std::string start(const std::string& address, unsigned port);
  void stop();
  unsigned port() const { return port_; }
  const std::string& address() const { return address_; }
  int stop_fd() const { return wake_.get(); }

 private:
  struct Worker {
    std::mutex fd_mutex;  // stop() shuts the connection down while its thread may be closing it
    UniqueFd fd;
    std::thread thread;
    std::atomic<bool> done{false};
  };
  void accept_loop();

  Serve serve_;
  Admit admit_;
  UniqueFd listener_, wake_;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  std::mutex mutex_;
  std::list<std::unique_ptr<Worker>> workers_;
  std::string address_;
  unsigned port_ = 0;
};

// Reads what has arrived (at least one byte, at most `size`), waiting for it;
// 0 when the connection ended or stop_fd became readable.
std::size_t ReadSome(int fd, int stop_fd, void* data, std::size_t size);
// Reads exactly `size` bytes, giving up when stop_fd becomes readable.
bool ReadFully(int fd, int stop_fd, void* data, std::size_t size);
bool WriteFully(int fd, const void* data, std::size_t size);

}  // namespace emulator
