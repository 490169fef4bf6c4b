// SPDX-License-Identifier: MIT
// The gateway's HiSLIP server: each client's sub-address names the
// instrument it reaches; its messages go to that instrument whole, and the
// instrument's response to a query comes back as the reply to that message.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "instrument_pool.h"
#include "tcp_listener.h"

namespace gateway {

struct ServiceSettings {
  std::chrono::milliseconds io_timeout{10000};  // for instrument I/O the protocol gives no timeout for
  std::size_t most_message_bytes = 64u << 20;
};

class HislipService {
 public:
  HislipService(InstrumentPool& pool, const emulator::TcpListener::Admit& admit, ServiceSettings settings);
  ~HislipService();
  std::string start(const std::string& address, unsigned port);
  void stop();
  unsigned port() const { return listener_.port(); }
  const std::string& address() const { return listener_.address(); }

 private:
  struct Session;
  void Serve(int fd, int stop_fd);
  void ServeSync(int fd, int stop_fd, Session& session);
  void ServeAsync(int fd, int stop_fd, Session& session);

  InstrumentPool& pool_;
  const ServiceSettings settings_;
  std::mutex sessions_mutex_;
  std::map<std::uint16_t, std::shared_ptr<Session>> sessions_;
  std::uint16_t next_session_ = 1;
  emulator::TcpListener listener_;
};

}  // namespace gateway
