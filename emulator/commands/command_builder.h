// SPDX-License-Identifier: MIT
// Building the instrument's command table: a row per header pattern and
// query form, and the families of rows that share one shape (a channel's real
// setting, an instrument-wide boolean, a status register, ...). Each
// subsystem adds its rows in its own file under commands/.
#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "qdx_commands.h"

namespace emulator {

using Settings = ChannelSettings;
using Limit = double (*)(const ModuleModel&);

class CommandBuilder {
 public:
  void Add(const char* pattern, bool query, std::function<void(Call&)> handler) {
    rows_.push_back({scpi::Pattern(pattern), query, std::move(handler)});
  }
  // A real setting of the selected channel, limited by its module.
  void ChannelNumber(const char* pattern, double Settings::*field, Limit max, bool check_protection);
  void ChannelBool(const char* pattern, bool Settings::*field);
  // An instrument-wide boolean.
  void GlobalBool(const char* pattern, bool QdxModel::*field);
  // A choice among mnemonics, answered in short form.
  void GlobalChoice(const char* pattern, std::string QdxModel::*field, std::vector<const char*> choices, std::vector<const char*> answers);
  // An integer register setting.
  void RegisterEnable(const char* pattern, StatusRegister QdxModel::*reg);
  void RegisterRead(const char* pattern, bool event, StatusRegister QdxModel::*reg);
  void ListNumber(const char* pattern, long long OutputList::*field, long long min);
  void ListBool(const char* pattern, bool OutputList::*field);
  // A field of the selected list's selected step; the list grows to reach it.
  // A level (`max` given) is limited by the selected channel's module, as the
  // channel's own level is.
  void StepValue(const char* pattern, auto ListStep::*field, bool integer, Limit max = nullptr) {
    Add(pattern, true, [field](Call& c) {
      auto& steps = c.m.list(c.m.selected_list).steps;
      auto k = static_cast<std::size_t>(c.m.selected_step);
      if (c.Count(0)) c.AnswerNumber(k < steps.size() ? static_cast<double>(steps[k].*field) : 0.0);
    });
    Add(pattern, false, [field, integer, max](Call& c) {
      if (!c.Count(1)) return;
      double limit = 1000;
      if (max != nullptr) {
        auto* channel = c.Channel();
        if (channel == nullptr) return;
        limit = max(*channel->module);
      }
      auto& steps = c.m.list(c.m.selected_list).steps;
      auto k = static_cast<std::size_t>(c.m.selected_step);
      if (steps.size() <= k) steps.resize(k + 1);
      if (integer) {
        if (auto v = c.Integer(0, 0, 86400000)) steps[k].*field = static_cast<std::remove_reference_t<decltype(steps[k].*field)>>(*v);
      } else if (auto v = c.Number(0, 0, limit, 0)) {
        steps[k].*field = static_cast<std::remove_reference_t<decltype(steps[k].*field)>>(*v);
      }
    });
  }

  std::vector<CommandRow> Take() { return std::move(rows_); }

 private:
  std::vector<CommandRow> rows_;
};

// The subsystems, in the order their rows are matched.
void AddCommonCommands(CommandBuilder& b);  // IEEE 488.2 common commands
void AddLevelCommands(CommandBuilder& b);  // channel selection, levels and protection
void AddOutputCommands(CommandBuilder& b);  // outputs
void AddMeasurementCommands(CommandBuilder& b);  // measurement
void AddListCommands(CommandBuilder& b);  // list mode
void AddDigitalCommands(CommandBuilder& b);  // digital I/O
void AddStatusCommands(CommandBuilder& b);  // status structure
void AddSystemCommands(CommandBuilder& b);  // system
void AddBackDoorCommands(CommandBuilder& b);  // back door for tests and demos; the driver never sends these

}  // namespace emulator
