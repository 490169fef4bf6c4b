// SPDX-License-Identifier: MIT
// The instrument's commands: list mode.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddListCommands(CommandBuilder& b) {
  b.Add("LIST:NUMBer", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.selected_list));
  });
  b.Add("LIST:NUMBer", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 99)) c.m.selected_list = static_cast<int>(*v);
  });
  b.Add("LIST:STEP:NUMBer", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.selected_step));
  });
  b.Add("LIST:STEP:NUMBer", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 511)) c.m.selected_step = static_cast<int>(*v);
  });
  b.StepValue("LIST:VOLTage[:LEVel]", &ListStep::voltage, false, [](const ModuleModel& m) { return m.max_voltage; });
  b.StepValue("LIST:CURRent[:LEVel]", &ListStep::current, false, [](const ModuleModel& m) { return m.max_current; });
  b.StepValue("LIST:DWELl", &ListStep::dwell_ms, true);
  b.ListNumber("LIST:COUNt", &OutputList::count, 0);
  b.ListNumber("LIST:NEXT", &OutputList::next, -1);
  b.ListBool("LIST:STEP", &OutputList::pace_trigger);
  b.ListBool("LIST:TERMinate:LAST", &OutputList::terminate_last);
  b.ListBool("LIST:TOUTput:BOSTep[:DATA]", &OutputList::bost);
  b.ListBool("LIST:TOUTput:EOSTep[:DATA]", &OutputList::eost);
  b.Add("LIST:STATe", true, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    c.AnswerBool(c.m.channel(c.m.selected()).running);
  });
  b.Add("LIST:CLEar", false, [](Call& c) {
    if (c.Count(0)) c.m.list(c.m.selected_list) = OutputList{};
  });
  b.Add("LIST:DELete", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, 0, 99)) c.m.list(static_cast<int>(*v)) = OutputList{};
  });
  b.Add("LIST:SAVE", false, [](Call& c) { c.Count(0); });
  b.GlobalChoice("TRIGger[:SEQuence]:SOURce", &QdxModel::trigger_source, {"IMMediate", "BUS", "EXTernal"},
                {"IMM", "BUS", "EXT"});
  auto start = [](Call& c, bool continuous) {
    auto channel = c.Integer(0, 0, 3);
    if (!channel) return;
    int index = static_cast<int>(*channel);
    QdxModel::Channel& ch = c.m.channel(index);
    if (ch.module == nullptr) {
      c.Error(-241, "Hardware missing");
    } else if (ch.settings.list < 0 || !c.m.HasList(ch.settings.list) || c.m.list(ch.settings.list).steps.empty()) {
      c.Error(-221, "Settings conflict");  // no list assigned to this output
    } else {
      c.m.StartList(index, continuous);
    }
  };
  b.Add("INITiate[:IMMediate]", false, [start](Call& c) {
    if (c.Count(1)) start(c, false);
  });
  b.Add("INITiate:CONTinuous", false, [start](Call& c) {
    if (!c.Count(2)) return;
    if (auto on = c.Bool(1)) {
      if (*on) {
        start(c, true);
      } else if (auto channel = c.Integer(0, 0, 3)) {
        c.m.channel(static_cast<int>(*channel)).continuous = false;
      }
    }
  });
  b.Add("ABORt", false, [](Call& c) {
    if (!c.Count(1)) return;
    if (auto channel = c.Integer(0, 0, 3)) c.m.AbortList(static_cast<int>(*channel));
  });
}

}  // namespace emulator
