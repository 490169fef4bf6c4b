// SPDX-License-Identifier: MIT
// The common sequence of a function that sends one command: the frame, nothing
// sent in simulation, the command, then the instrument status check.
#pragma once

#include "Vexo"
#include "visa.h"

namespace zevra {

template <typename... Args>
ViStatus SendCommand(ViSession vi, const char* format, Args... args) {
  return vexo::Frame(vi, [&](vexo::DriverSession& s) -> ViStatus {
    if (s.GetSimulate()) return VI_SUCCESS;
    ViStatus st = viPrintf(s.InstrumentSession(), format, args...);
    if (st < 0) return st;
    return s.CheckInstrumentStatus();
  });
}

}  // namespace zevra
