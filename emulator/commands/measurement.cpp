// SPDX-License-Identifier: MIT
// The instrument's commands: measurement.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddMeasurementCommands(CommandBuilder& b) {
  auto measure = [&](const char* pattern, int what) {
    b.Add(pattern, true, [what](Call& c) {
      if (!c.Count(0) || c.Channel() == nullptr) return;
      c.m.Refresh();
      QdxModel::Measurement m = c.m.Measure(c.m.selected());
      double values[] = {m.voltage, m.current, m.power};
      if (what < 3) {
        c.AnswerNumber(values[what], 6);
      } else {
        char text[96];
        std::snprintf(text, sizeof text, "%.6g,%.6g,%.6g", m.voltage, m.current, m.power);
        c.Answer(text);
      }
    });
  };
  measure("MEASure[:SCALar]:VOLTage[:DC]", 0);
  measure("MEASure[:SCALar]:CURRent[:DC]", 1);
  measure("MEASure[:SCALar]:POWer[:DC]", 2);
  measure("MEASure[:SCALar]:ALL[:DC]", 3);
  b.Add("MEASure[:SCALar]:ALLCHannels[:DC]", true, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    std::string text;
    for (int i = 0; i < 4; ++i) {
      QdxModel::Measurement m = c.m.Measure(i);
      char group[96];
      std::snprintf(group, sizeof group, "%s%.6g,%.6g,%.6g", i == 0 ? "" : ",", m.voltage, m.current, m.power);
      text += group;
    }
    c.Answer(text);
  });
}

}  // namespace emulator
