// A scripted instrument served on an ephemeral loopback port, with its transcript.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "scripted_instrument.h"
#include "socket_server.h"
#include "transcript.h"

namespace testsupport {

class ScriptedEmulator {
 public:
  explicit ScriptedEmulator(const std::string& address = "127.0.0.1") {
    error_ = server_.start(address, 0);
  }
  bool started() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  emulator::ScriptedInstrument& instrument() { return instrument_; }
  emulator::Transcript& transcript() { return transcript_; }
  unsigned port() const { return server_.port(); }

  std::string resource() const {
    std::string host = server_.address();
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return "TCPIP0::" + host + "::" + std::to_string(server_.port()) + "::SOCKET";
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
  std::string error_;
};

}  // namespace testsupport
