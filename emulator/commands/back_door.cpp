// SPDX-License-Identifier: MIT
// The instrument's commands: back door for tests and demos; the driver never sends these.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddBackDoorCommands(CommandBuilder& b) {
  b.Add("EMULator:LOAD", false, [](Call& c) {
    if (!c.Count(2)) return;
    auto channel = c.Integer(0, 1, 4);
    auto ohms = channel ? c.Number(1, 1e-6, 1e12, 1000) : std::nullopt;
    if (ohms) {
      c.m.channel(static_cast<int>(*channel) - 1).load_ohms = *ohms;
      c.m.ApplyProtection(static_cast<int>(*channel) - 1);
    }
  });
  b.Add("EMULator:LOAD", true, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto channel = c.Integer(0, 1, 4)) c.AnswerNumber(c.m.channel(static_cast<int>(*channel) - 1).load_ohms);
  });
  b.Add("EMULator:TRIP", false, [](Call& c) {
    if (!c.Count(2)) return;
    auto channel = c.Integer(0, 1, 4);
    auto kind = channel ? c.Choice(1, {"OV", "OC"}) : std::nullopt;
    if (!kind) return;
    QdxModel::Channel& ch = c.m.channel(static_cast<int>(*channel) - 1);
    (*kind == 0 ? ch.ov_tripped : ch.oc_tripped) = true;
    ch.settings.output = false;
  });
  b.Add("EMULator:ERRor", false, [](Call& c) {
    if (!c.Count(2)) return;
    if (auto code = c.Integer(0, -32768, 32767)) c.m.PushError(static_cast<int>(*code), scpi::Unquote(c.params()[1]));
  });
  b.Add("EMULator:TIME:ADVance", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (!c.m.clock().is_virtual()) {
      c.Error(-221, "Settings conflict");
      return;
    }
    if (auto s = c.Number(0, 0, 1e9, 0)) {
      c.m.clock().advance(*s);
      c.m.Refresh();
    }
  });
  b.Add("EMULator:TIME", true, [](Call& c) {
    if (c.Count(0)) c.AnswerNumber(c.m.clock().now());
  });
  b.Add("EMULator:DIGital:INPut", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 255)) c.m.digital_input = *v;
  });
  b.Add("EMULator:TRIGger", false, [](Call& c) {
    if (c.Count(0) && c.m.trigger_source == "EXT") c.m.Trigger();
  });
}

}  // namespace emulator
