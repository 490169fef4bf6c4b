// SPDX-License-Identifier: MIT
// The instrument's commands: channel selection, levels and protection.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddLevelCommands(CommandBuilder& b) {
  b.Add("INSTrument[:SELect]", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.selected()));
  });
  b.Add("INSTrument[:SELect]", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 3)) c.m.select(static_cast<int>(*v));
  });
  b.ChannelNumber("[SOURce:]VOLTage[:LEVel][:IMMediate][:AMPLitude]", &Settings::voltage,
                 [](const ModuleModel& m) { return m.max_voltage; }, true);
  b.ChannelNumber("[SOURce:]CURRent[:LEVel][:IMMediate][:AMPLitude]", &Settings::current,
                 [](const ModuleModel& m) { return m.max_current; }, true);
  b.ChannelNumber("[SOURce:]VOLTage:PROTection[:LEVel]", &Settings::voltage_protection,
                 [](const ModuleModel& m) { return m.max_voltage * 1.2; }, true);
  b.ChannelNumber("[SOURce:]CURRent:PROTection[:LEVel]", &Settings::current_protection,
                 [](const ModuleModel& m) { return m.max_current * 1.2; }, true);
  b.ChannelNumber("[SOURce:]VOLTage:SLOPe", &Settings::voltage_slope, [](const ModuleModel&) { return 1e6; }, false);
  b.ChannelNumber("[SOURce:]CURRent:SLOPe", &Settings::current_slope, [](const ModuleModel&) { return 1e6; }, false);
  b.ChannelNumber("[SOURce:]VOLTage:MAXimum", &Settings::voltage_max, [](const ModuleModel& m) { return m.max_voltage; }, false);
  b.ChannelNumber("[SOURce:]VOLTage:MINimum", &Settings::voltage_min, [](const ModuleModel& m) { return m.max_voltage; }, false);
  b.ChannelBool("[SOURce:]CURRent:PROTection:STATe", &Settings::ocp_enabled);
  b.ChannelBool("[SOURce:]VOLTage:SENSe[:STATe]", &Settings::sense);
  b.Add("[SOURce:]VOLTage:PROTection:TRIPped", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerBool(ch->ov_tripped);
  });
  b.Add("[SOURce:]CURRent:PROTection:TRIPped", true, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerBool(ch->oc_tripped);
  });
  b.Add("[SOURce:]VOLTage:PROTection:CLEar", false, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) ch->ov_tripped = false;
  });
  b.Add("[SOURce:]CURRent:PROTection:CLEar", false, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) ch->oc_tripped = false;
  });
  b.Add("OUTPut:PROTection:CLEar", false, [](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) ch->ov_tripped = ch->oc_tripped = false;
  });
}

}  // namespace emulator
