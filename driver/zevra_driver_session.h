// SPDX-License-Identifier: MIT
// The QDX driver's session: the runtime's session with the socket termination
// rule at open and the per-channel current-limit behaviour store.
#pragma once

#include <map>
#include <string>

#include "Vexo"

class ZEVRADriverSession final : public vexo::DriverSession {
 public:
  explicit ZEVRADriverSession(ViSession session_handle);
  ~ZEVRADriverSession() override;

  ViStatus OpenIo() override;

  // Physical channel name -> current-limit behaviour, compared byte for byte.
  std::map<std::string, ViInt32>& CurrentLimitBehavior() { return current_limit_behavior_; }

 private:
  std::map<std::string, ViInt32> current_limit_behavior_;
};
