// SPDX-License-Identifier: MIT
// A scripted instrument served on an ephemeral loopback port, with its transcript.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "scripted_instrument.h"
#include "socket_server.h"
#include "transcript.h"
#include "wire.h"

namespace testsupport {

class ScriptedEmulator {
 public:
  explicit ScriptedEmulator(const std::string& address = "127.0.0.1") { error_ = server_.start(address, 0); }
  // Served over `wire` too; resource() then names that transport.
  explicit ScriptedEmulator(Wire wire) {
    error_ = server_.start("127.0.0.1", 0);
    if (error_.empty()) error_ = wire_.start(wire, instrument_, &transcript_);
  }
  bool started() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  emulator::ScriptedInstrument& instrument() { return instrument_; }
  emulator::Transcript& transcript() { return transcript_; }
  unsigned port() const { return server_.port(); }
  // Every transport stops serving and drops its clients.
  void stop() {
    wire_.stop();
    server_.stop();
  }

  std::string resource() const {
    std::string host = server_.address();
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return wire_.resource("TCPIP0::" + host + "::" + std::to_string(server_.port()) + "::SOCKET");
  }

  // The lines received, once at least `count` of them have arrived (writes
  // have no reply to wait for).
  std::vector<std::string> lines(std::size_t count) {
    transcript_.wait_for(count, std::chrono::seconds(5));
    return transcript_.lines();
  }

 private:
  emulator::ScriptedInstrument instrument_;
  emulator::Transcript transcript_;
  emulator::SocketServer server_{instrument_, &transcript_};
  WireServer wire_;
  std::string error_;
};

}  // namespace testsupport
