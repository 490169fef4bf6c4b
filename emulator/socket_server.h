// SPDX-License-Identifier: MIT
// The emulator's raw TCP/IP socket transport: one thread per client, lines
// ending in "\n" handed to the instrument, replies sent back as they are.
#pragma once

#include <string>

#include "instrument.h"
#include "tcp_listener.h"
#include "transcript.h"

namespace emulator {

class SocketServer {
 public:
  // transcript may be null.
  SocketServer(Instrument& instrument, Transcript* transcript);
  ~SocketServer();
  SocketServer(const SocketServer&) = delete;
  SocketServer& operator=(const SocketServer&) = delete;

  // Binds and starts serving. Port 0 picks a free port. Returns an error text, empty on success.
  std::string start(const std::string& address, unsigned port) { return listener_.start(address, port); }
  void stop() { listener_.stop(); }

  const std::string& address() const { return listener_.address(); }
  unsigned port() const { return listener_.port(); }

 private:
  void Serve(int fd, int stop_fd);

  Instrument& instrument_;
  Transcript* transcript_;
  TcpListener listener_;
};

}  // namespace emulator
