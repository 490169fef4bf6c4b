// SPDX-License-Identifier: MIT
// What each instrument function sends, recorded from a live run of the driver
// against the emulated QDX, so the reference shows the real exchange.
#pragma once

#include <string>
#include <vector>

#include "visatype.h"

namespace reference_docs {

struct RecordedCall {
  std::string function;        // "ZEVRA_ConfigureVoltageLevel"
  std::string call;            // the example call, as C
  std::vector<std::string> sent;  // the lines the instrument received
  ViStatus status = 0;
};

// Runs every example against an emulator started in this process; an error
// text instead when the run could not be set up.
std::vector<RecordedCall> RecordFunctionExchanges(std::string& error);

}  // namespace reference_docs
