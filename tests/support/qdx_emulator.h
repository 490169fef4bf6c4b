// SPDX-License-Identifier: MIT
// The QDX instrument model served on an ephemeral loopback port, on virtual time.
#pragma once

#include <string>

#include "qdx_instrument.h"
#include "socket_server.h"
#include "transcript.h"
#include "wire.h"

namespace testsupport {

class QdxEmulator {
 public:
  explicit QdxEmulator(emulator::QdxOptions options = Defaults(), Wire wire = Wire::Socket) : instrument_(options) {
    error_ = server_.start("127.0.0.1", 0);
    if (error_.empty()) error_ = wire_.start(wire, instrument_, &transcript_);
  }
  static emulator::QdxOptions Defaults() {
    emulator::QdxOptions o;
    o.virtual_time = true;
    return o;
  }
  bool started() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  std::string resource() const {
    return wire_.resource("TCPIP0::127.0.0.1::" + std::to_string(server_.port()) + "::SOCKET");
  }
  const WireServer& wire() const { return wire_; }
  // The transport goes away, as when the instrument is switched off.
  void stop_wire() { wire_.stop(); }
  unsigned socket_port() const { return server_.port(); }
  emulator::QdxInstrument& instrument() { return instrument_; }
  emulator::Transcript& transcript() { return transcript_; }
  // A back-door line, as a test bench would send it.
  std::string Send(const std::string& line) {
    std::vector<std::string> path;
    return instrument_.Execute(line, path).value_or("");
  }

 private:
  emulator::QdxInstrument instrument_;
  emulator::Transcript transcript_;
  emulator::SocketServer server_{instrument_, &transcript_};
  WireServer wire_;
  std::string error_;
};

}  // namespace testsupport
