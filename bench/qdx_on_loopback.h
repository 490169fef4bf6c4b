// SPDX-License-Identifier: MIT
// The QDX emulator (in virtual time, so settling costs no waiting) served
// over SOCKET on loopback, for the benchmarks that drive the driver.
#pragma once

#include <cstdio>
#include <string>

#include "qdx_instrument.h"
#include "socket_server.h"

namespace bench {

inline emulator::QdxOptions VirtualTime() {
  emulator::QdxOptions options;
  options.virtual_time = true;
  return options;
}

struct QdxOnLoopback {
  emulator::QdxInstrument instrument{VirtualTime()};
  emulator::SocketServer server{instrument, nullptr};

  // False (with the reason printed) when the server could not start.
  bool start() {
    if (std::string error = server.start("127.0.0.1", 0); !error.empty()) {
      std::fprintf(stderr, "emulator: %s\n", error.c_str());
      return false;
    }
    return true;
  }
  std::string resource() const { return "TCPIP0::127.0.0.1::" + std::to_string(server.port()) + "::SOCKET"; }
};

}  // namespace bench
