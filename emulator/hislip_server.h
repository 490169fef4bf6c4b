// SPDX-License-Identifier: MIT
// The emulator's HiSLIP transport (TCPIP::host::hislip0::INSTR): each client
// opens a synchronous channel for its messages and an asynchronous one for
// control, both on the same port; the first message on a connection says
// which it is.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "hislip_locks.h"
#include "instrument.h"
#include "tcp_listener.h"
#include "transcript.h"

namespace emulator {

class HislipServer {
 public:
  HislipServer(Instrument& instrument, Transcript* transcript);
  // The mode a session starts in; a client may ask for the other at a device
  // clear. Both are served alike: each line is answered as it arrives, so no
  // reply is ever held back for a later message to interrupt.
  void prefer_overlapped(bool overlapped) { prefers_overlapped_ = overlapped; }
  ~HislipServer();
  // Port 0 picks a free one; 4880 is the port HiSLIP clients assume.
  std::string start(const std::string& address, unsigned port);
  void stop();
  unsigned port() const { return listener_.port(); }
  const std::string& address() const { return listener_.address(); }

 private:
  // What a session's two channels share: the ID of the last message answered.
  struct SessionState {
    std::atomic<std::uint32_t> last_answered{0};
    std::atomic<bool> answered{false};
    // The largest message the client takes, header included (1 MiB until it says).
    std::atomic<std::uint64_t> client_maximum{1 << 20};
  };
  void Serve(int fd, int stop_fd);
  void ServeSync(int fd, int stop_fd, SessionState& state);
  void ServeAsync(int fd, int stop_fd, std::uint16_t session, SessionState& state);

  Instrument& instrument_;
  Transcript* transcript_;
  std::mutex sessions_mutex_;
  std::map<std::uint16_t, std::shared_ptr<SessionState>> sessions_;
  std::uint16_t next_session_ = 1;
  bool prefers_overlapped_ = false;
  HislipLocks locks_;
  TcpListener listener_;
};

}  // namespace emulator
