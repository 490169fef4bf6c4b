// SPDX-License-Identifier: MIT
// What a gateway is told to do, from its command line and its configuration
// file (the same settings, one per line: "map hislip0=ASRL/dev/ttyUSB0::INSTR").
#pragma once

#include <map>
#include <string>
#include <vector>

#include "allow_list.h"
#include "hislip_service.h"

namespace gateway {

struct GatewaySettings {
  std::string listen = "127.0.0.1";
  AllowList allowed;
  bool insecure = false;
  unsigned hislip_port = 4880;
  bool vxi11 = false;
  unsigned portmapper_port = 111;
  std::map<std::string, std::string> instruments;  // served name -> VISA resource
  ServiceSettings service;
};

// The outcome of reading the settings: run, stop at once with exit status 0
// (--help, --version, `output` says what to print), or refuse (exit status
// 2, `output` says why).
enum class SettingsOutcome { kRun, kDone, kRefused };

SettingsOutcome ReadSettings(int argc, char** argv, GatewaySettings& settings, std::string& output);

}  // namespace gateway
