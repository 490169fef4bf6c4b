// SPDX-License-Identifier: MIT
// The instrument's commands: outputs.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddOutputCommands(CommandBuilder& b) {
  b.Add("OUTPut[:STATe]", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerBool(ch->settings.output);
  });
  b.Add("OUTPut[:STATe]", false, [](Call& c) {
    auto* ch = c.Count(1) ? c.Channel() : nullptr;
    if (ch == nullptr) return;
    if (auto v = c.Bool(0)) {
      if (*v && (ch->ov_tripped || ch->oc_tripped)) {
        c.Error(-221, "Settings conflict");  // a tripped output stays off until cleared
        return;
      }
      ch->settings.output = *v;
      c.m.ApplyProtection(c.m.selected());
    }
  });
  b.Add("OUTPut:ALL[:STATe]", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Bool(0)) {
      for (int i = 0; i < 4; ++i) {
        QdxModel::Channel& ch = c.m.channel(i);
        if (ch.module != nullptr && !(*v && (ch.ov_tripped || ch.oc_tripped))) ch.settings.output = *v;
        c.m.ApplyProtection(i);
      }
    }
  });
  b.GlobalChoice("OUTPut:PAIR", &QdxModel::output_pair,
                {"OFF", "PARAllel2", "PARAllel3", "PARAllel4", "SERies2", "SERies3", "SERies4", "TRACk2", "TRACk3", "TRACk4"},
                {"OFF", "PARA2", "PARA3", "PARA4", "SERI2", "SERI3", "SERI4", "TRAC2", "TRAC3", "TRAC4"});
  b.ChannelBool("OUTPut:TIMer[:STATe]", &Settings::timer);
  b.Add("OUTPut:TIMer:COUNt", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.Answer(ch->settings.timer_count);
  });
  b.Add("OUTPut:TIMer:COUNt", false, [](Call& c) {
    auto* ch = c.Count(1) ? c.Channel() : nullptr;
    if (ch == nullptr) return;
    if (auto v = c.Number(0, 0, 1e6, 0)) ch->settings.timer_count = scpi::Unquote(c.params()[0]);
  });
  for (const auto& entry : {std::pair{"OUTPut:DELay:RISE", &Settings::delay_rise},
                            std::pair{"OUTPut:DELay:FALL", &Settings::delay_fall}}) {
    // Named copies, not structured bindings: lambdas capture them on every compiler.
    const char* pattern = entry.first;
    auto field = entry.second;
    b.Add(pattern, true, [field](Call& c) {
      if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.Answer(std::to_string(ch->settings.*field));
    });
    b.Add(pattern, false, [field](Call& c) {
      auto* ch = c.Count(1) ? c.Channel() : nullptr;
      if (ch == nullptr) return;
      if (auto v = c.Integer(0, 0, 99999)) ch->settings.*field = *v;
    });
  }
  b.Add("OUTPut:PON:STATe", true, [](Call& c) {
    if (!c.Count(0)) return;
    c.Answer(c.m.power_on_state == "USER" ? "USER," + std::to_string(c.m.power_on_location) : c.m.power_on_state);
  });
  b.Add("OUTPut:PON:STATe", false, [](Call& c) {
    if (c.params().empty()) {
      c.Error(-109, "Missing parameter");
      return;
    }
    auto k = c.Choice(0, {"OFF", "LAST", "USER"});
    if (!k) return;
    if (*k == 2) {
      if (!c.Count(2)) return;
      auto location = c.Integer(1, 0, 9);
      if (!location) return;
      c.m.power_on_location = static_cast<int>(*location);
    } else if (!c.Count(1)) {
      return;
    }
    c.m.power_on_state = *k == 0 ? "OFF" : *k == 1 ? "LAST" : "USER";
  });
  b.GlobalChoice("OUTPut:INHibit:MODE", &QdxModel::inhibit_mode, {"LATChing", "LIVE", "OFF"}, {"LATC", "LIVE", "OFF"});
  b.Add("OUTPut:MODE", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr)
      c.Answer(ch->settings.list < 0 ? "FIX" : "LIST," + std::to_string(ch->settings.list));
  });
  b.Add("OUTPut:MODE", false, [](Call& c) {
    auto* ch = c.Channel();
    if (ch == nullptr || c.params().empty()) {
      if (ch != nullptr) c.Error(-109, "Missing parameter");
      return;
    }
    auto k = c.Choice(0, {"FIXed", "LIST"});
    if (!k) return;
    if (*k == 0) {
      if (c.Count(1)) ch->settings.list = -1;
    } else if (c.Count(2)) {
      if (auto n = c.Integer(1, -2147483648LL, 2147483647LL)) ch->settings.list = static_cast<int>(*n);
    }
  });
}

}  // namespace emulator
