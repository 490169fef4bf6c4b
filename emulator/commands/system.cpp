// SPDX-License-Identifier: MIT
// The instrument's commands: system.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddSystemCommands(CommandBuilder& b) {
  b.Add("SYSTem:ERRor[:NEXT]", true, [](Call& c) {
    if (c.Count(0)) c.Answer(c.m.PopError());
  });
  b.Add("SYSTem:VERSion", true, [](Call& c) {
    if (c.Count(0)) c.Answer("1999.0");
  });
  b.GlobalBool("SYSTem:BEEPer:STATe", &QdxModel::beeper);
  b.Add("SYSTem:BEEPer[:IMMediate]", false, [](Call& c) { c.Count(0); });
  b.GlobalBool("DISPlay[:WINDow]:STATe", &QdxModel::display);
  b.GlobalBool("LXI:IDENtify[:STATe]", &QdxModel::lxi_identify);
  for (auto field : {&QdxModel::date, &QdxModel::time}) {
    const char* pattern = field == &QdxModel::date ? "SYSTem:DATE" : "SYSTem:TIME";
    b.Add(pattern, true, [field](Call& c) {
      if (c.Count(0)) c.Answer(c.m.*field);
    });
    // The date and time are taken as the text they were given: "2026,12,06".
    b.Add(pattern, false, [field](Call& c) {
      std::string text;
      for (const std::string& p : c.params()) text += (text.empty() ? "" : ",") + scpi::Unquote(p);
      c.m.*field = text;
    });
  }
  b.GlobalChoice("SYSTem:COMMunicate:RLSTate", &QdxModel::remote_state, {"REMote", "LOCal", "RWLock"},
                {"REM", "LOC", "RWL"});
  b.Add("SYSTem:RWLock", false, [](Call& c) {
    if (c.Count(0)) c.m.remote_state = "RWL";
  });
  b.Add("SYSTem:COMMunicate:TCPip:CONTrol", true, [](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.options().control_port));
  });
  // Module identity of the selected channel; an empty slot answers an empty line.
  auto module_text = [&](const char* pattern, int what) {
    b.Add(pattern, true, [what](Call& c) {
      if (!c.Count(0)) return;
      const QdxModel::Channel& ch = c.m.channel(c.m.selected());
      if (ch.module == nullptr) {
        c.Answer("");
        return;
      }
      c.Answer(what == 0 ? std::string(ch.module->model) : what == 1 ? ch.serial : ch.firmware);
    });
  };
  module_text("SYSTem:CHANnel:MODel", 0);
  module_text("SYSTem:CHANnel:SERIal", 1);
  module_text("SYSTem:CHANnel:VERSion", 2);
  b.Add("SYSTem:SECure:IMMediate", false, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.ClearStoredStates();
    c.m.Reset();
  });
}

}  // namespace emulator
