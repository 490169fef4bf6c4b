// SPDX-License-Identifier: MIT
// The instrument's commands: digital I/O.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddDigitalCommands(CommandBuilder& b) {
  b.Add("DIGital:PIN#:FUNCtion", true, [](Call& c) {
    if (!c.Count(0)) return;
    auto it = c.m.pin_functions.find(c.suffix(0));
    c.Answer(it == c.m.pin_functions.end() ? "NONE" : it->second);
  });
  b.Add("DIGital:PIN#:FUNCtion", false, [](Call& c) {
    static const std::vector<const char*> kFunctions = {"NONE", "DINPut", "DOUTput", "FAULt", "INHibit",
                                                        "TINPut", "TOUTput", "SINPut", "SOUTput"};
    if (!c.Count(1)) return;
    if (c.suffix(0) < 0 || c.suffix(0) > 7) {
      c.Error(-114, "Header suffix out of range");
      return;
    }
    if (auto k = c.Choice(0, kFunctions)) {
      static const char* kShort[] = {"NONE", "DINP", "DOUT", "FAUL", "INH", "TINP", "TOUT", "SINP", "SOUT"};
      c.m.pin_functions[c.suffix(0)] = kShort[*k];
    }
  });
  b.Add("DIGital:PIN#:POLarity", true, [](Call& c) {
    if (!c.Count(0)) return;
    auto it = c.m.pin_polarities.find(c.suffix(0));
    c.Answer(it == c.m.pin_polarities.end() ? "POS" : it->second);
  });
  b.Add("DIGital:PIN#:POLarity", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (c.suffix(0) < 0 || c.suffix(0) > 7) {
      c.Error(-114, "Header suffix out of range");
      return;
    }
    if (auto k = c.Choice(0, {"POSitive", "NEGative"})) c.m.pin_polarities[c.suffix(0)] = *k == 0 ? "POS" : "NEG";
  });
  b.Add("DIGital:INPut[:DATA]", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.digital_input));
  });
  b.Add("DIGital:OUTPut[:DATA]", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.digital_output));
  });
  b.Add("DIGital:OUTPut[:DATA]", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) c.m.digital_output = *v;
  });
}

}  // namespace emulator
