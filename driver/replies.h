// SPDX-License-Identifier: MIT
// Reading the instrument's multi-field replies into values.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "visatype.h"

namespace zevra {

// MEAS:ALLCH?: "V1,I1,P1,V2,I2,P2,..." (an empty reply lists nothing).
struct AllChannelMeasurements {
  std::vector<ViReal64> voltages, currents, powers;
};
// Null when the reply parses, else the elaboration saying what is wrong with it.
const char* ParseAllChannelMeasurements(std::string_view reply, AllChannelMeasurements& out);

// OUTP:PON:STAT?: "STATE" or "STATE,LOCATION", the fields trimmed.
struct PowerOnStateFields {
  std::string_view state;
  std::optional<std::string_view> location;
};
// False when the reply has neither shape.
bool SplitPowerOnState(std::string_view reply, PowerOnStateFields& out);

}  // namespace zevra
