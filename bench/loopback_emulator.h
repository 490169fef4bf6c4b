// SPDX-License-Identifier: MIT
// One in-process emulator serving a scripted instrument over SOCKET, VXI-11
// and HiSLIP on loopback, with the VISA resource of each transport, for the
// benchmarks that compare our VISA library with raw clients.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "hislip_server.h"
#include "scripted_instrument.h"
#include "socket_server.h"
#include "visa.h"
#include "vxi11_server.h"

namespace bench {

struct LoopbackEmulator {
  emulator::ScriptedInstrument instrument;
  emulator::SocketServer socket{instrument, nullptr};
  emulator::Vxi11Server vxi11{instrument, nullptr};
  emulator::HislipServer hislip{instrument, nullptr};

  // False (with the reason printed) when a server could not start.
  bool start() {
    std::string error = socket.start("127.0.0.1", 0);
    if (error.empty()) error = vxi11.start("127.0.0.1", 0);
    if (error.empty()) error = hislip.start("127.0.0.1", 0);
    if (!error.empty()) {
      std::fprintf(stderr, "emulator: %s\n", error.c_str());
      return false;
    }
    setenv("ZEVRA_VXI11_PORTMAPPER_PORT", std::to_string(vxi11.portmapper_port()).c_str(), 1);
    return true;
  }
  std::string socket_resource() const { return "TCPIP0::127.0.0.1::" + std::to_string(socket.port()) + "::SOCKET"; }
  std::string vxi11_resource() const { return "TCPIP0::127.0.0.1::inst0::INSTR"; }
  std::string hislip_resource() const {
    return "TCPIP0::127.0.0.1::hislip0," + std::to_string(hislip.port()) + "::INSTR";
  }
};

// A VISA session for `resource` with the line feed as its termination
// character, or 0; closed with its resource manager at exit.
inline ViSession OpenVisa(const std::string& resource, ViUInt32 timeout_ms = 2000) {
  ViSession rm = 0, vi = 0;
  if (viOpenDefaultRM(&rm) < 0 || viOpen(rm, resource.c_str(), VI_NULL, 2000, &vi) < 0) return 0;
  viSetAttribute(vi, VI_ATTR_TMO_VALUE, timeout_ms);
  viSetAttribute(vi, VI_ATTR_TERMCHAR, '\n');
  viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE);
  return vi;
}

// A VISA session for `resource`, opened and having answered one "*IDN?" (the
// line feed its termination character), or 0; what opening costs a user.
inline ViSession OpenAndAskIdentity(const std::string& resource) {
  static ViSession rm = 0;
  if (rm == 0 && viOpenDefaultRM(&rm) < 0) return 0;
  ViSession vi = 0;
  if (viOpen(rm, resource.c_str(), VI_NULL, 2000, &vi) < 0) return 0;
  viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE);
  char idn[256] = "";
  if (viQueryf(vi, "*IDN?\n", "%255[^\n]", idn) == VI_SUCCESS) return vi;
  viClose(vi);
  return 0;
}

}  // namespace bench
