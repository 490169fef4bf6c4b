// The emulator's HiSLIP transport (TCPIP::host::hislip0::INSTR): each client
// opens a synchronous channel for its messages and an asynchronous one for
// control, both on the same port; the first message on a connection says
// which it is.
#pragma once

#include <cstdint>
#include <mutex>
#include <set>
#include <string>

#include "instrument.h"
#include "tcp_listener.h"
#include "transcript.h"

namespace emulator {

class HislipServer {
 public:
  HislipServer(Instrument& instrument, Transcript* transcript);
  ~HislipServer();
  // Port 0 picks a free one; 4880 is the port HiSLIP clients assume.
  std::string start(const std::string& address, unsigned port);
  void stop();
  unsigned port() const { return listener_.port(); }
  const std::string& address() const { return listener_.address(); }

 private:
  void Serve(int fd, int stop_fd);
  void ServeSync(int fd, int stop_fd);
  void ServeAsync(int fd, int stop_fd);

  Instrument& instrument_;
  Transcript* transcript_;
  std::mutex sessions_mutex_;
  std::set<std::uint16_t> sessions_;
  std::uint16_t next_session_ = 1;
  TcpListener listener_;
};

}  // namespace emulator
