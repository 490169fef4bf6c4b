// SPDX-License-Identifier: MIT
// The instrument's commands: IEEE 488.2 common commands.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddCommonCommands(CommandBuilder& b) {
  b.Add("*IDN", true, [](Call& c) {
    if (c.Count(0))
      c.Answer("Halmeric," + c.m.options().mainframe + "," + c.m.options().serial + "," + c.m.options().firmware);
  });
  b.Add("*RST", false, [](Call& c) {
    if (c.Count(0)) c.m.Reset();
  });
  b.Add("*CLS", false, [](Call& c) {
    if (c.Count(0)) c.m.ClearStatus();
  });
  b.Add("*ESR", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(std::exchange(c.m.event_status, 0)));
  });
  b.Add("*ESE", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.event_status_enable));
  });
  b.Add("*ESE", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) c.m.event_status_enable = static_cast<int>(*v) & 0xFF;
  });
  b.Add("*SRE", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.service_request_enable));
  });
  b.Add("*SRE", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) c.m.service_request_enable = static_cast<int>(*v) & 0xBF;
  });
  b.Add("*STB", true, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    c.Answer(std::to_string(c.m.StatusByte()));
  });
  b.Add("*OPC", true, [](Call& c) {
    if (c.Count(0)) c.Answer("1");
  });
  b.Add("*OPC", false, [](Call& c) {
    if (c.Count(0)) c.m.event_status |= 0x01;
  });
  b.Add("*WAI", false, [](Call& c) { c.Count(0); });
  b.Add("*TST", true, [](Call& c) {
    if (c.Count(0)) c.Answer("0");
  });
  b.Add("*TRG", false, [](Call& c) {
    if (!c.Count(0)) return;
    if (c.m.trigger_source == "BUS") c.m.Trigger();
  });
  b.Add("*PSC", true, [](Call& c) {
    if (c.Count(0)) c.AnswerBool(c.m.power_on_status_clear);
  });
  b.Add("*PSC", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Bool(0)) c.m.power_on_status_clear = *v;
  });
  b.Add("*SAV", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 9)) c.m.Save(static_cast<int>(*v));
  });
  b.Add("*RCL", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 9); v && !c.m.Recall(static_cast<int>(*v))) c.Error(-221, "Settings conflict");
  });
}

}  // namespace emulator
