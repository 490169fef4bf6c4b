// SPDX-License-Identifier: MIT
// Ctrl-C, SIGTERM and a hang-up as a request to stop at the next sample, so a
// long run ends with everything it took written out instead of dying mid-way.
#pragma once

#include <chrono>

namespace zevra_tool {

class StopSignals {
 public:
  // Catches SIGINT, SIGTERM and SIGHUP until destroyed; the previous
  // dispositions come back then.
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Sleeps until `due` or a stop request, whichever comes first; true for a stop.
  bool wait_until(std::chrono::steady_clock::time_point due) const;
  // The signal that asked to stop, 0 while none has.
  int received() const;
};

// "SIGINT", "SIGTERM", "SIGHUP".
const char* SignalName(int signal);

}  // namespace zevra_tool
