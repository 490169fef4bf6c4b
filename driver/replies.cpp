// SPDX-License-Identifier: MIT
#include "replies.h"

#include "text.h"

namespace zevra {

const char* ParseAllChannelMeasurements(std::string_view reply, AllChannelMeasurements& out) {
  std::vector<std::string_view> fields = vexo::SplitTrimmed(reply, ',', vexo::LastEmpty::kDrop);
  if (fields.size() % 3 != 0) return "Expected measured values in groups of 3.";
  static constexpr const char* kExpected[] = {"Expected numeric voltage value.", "Expected numeric current value.",
                                              "Expected numeric power value."};
  std::vector<ViReal64>* lists[] = {&out.voltages, &out.currents, &out.powers};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    ViReal64 value = 0;
    if (!vexo::ParseLeadingReal(fields[i], value)) return kExpected[i % 3];
    lists[i % 3]->push_back(value);
  }
  return nullptr;
}

bool SplitPowerOnState(std::string_view reply, PowerOnStateFields& out) {
  std::vector<std::string_view> fields = vexo::SplitTrimmed(reply, ',');
  if (fields.size() != 1 && fields.size() != 2) return false;
  out.state = fields[0];
  if (fields.size() == 2) out.location = fields[1];
  return true;
}

}  // namespace zevra
