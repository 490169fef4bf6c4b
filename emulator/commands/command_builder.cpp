// SPDX-License-Identifier: MIT
#include "command_builder.h"

#include <type_traits>

namespace emulator {

void CommandBuilder::ChannelNumber(const char* pattern, double Settings::*field, Limit max, bool check_protection) {
  Add(pattern, true, [field](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerNumber(ch->settings.*field);
  });
  Add(pattern, false, [field, max, check_protection](Call& c) {
    auto* ch = c.Count(1) ? c.Channel() : nullptr;
    if (ch == nullptr) return;
    double limit = max(*ch->module);
    if (auto v = c.Number(0, 0, limit, 0)) {
      ch->settings.*field = *v;
      if (check_protection) c.m.ApplyProtection(c.m.selected());
    }
  });
}

void CommandBuilder::ChannelBool(const char* pattern, bool Settings::*field) {
  Add(pattern, true, [field](Call& c) {
    if (auto* ch = c.Count(0) ? c.Channel() : nullptr) c.AnswerBool(ch->settings.*field);
  });
  Add(pattern, false, [field](Call& c) {
    auto* ch = c.Count(1) ? c.Channel() : nullptr;
    if (ch == nullptr) return;
    if (auto v = c.Bool(0)) {
      ch->settings.*field = *v;
      c.m.ApplyProtection(c.m.selected());
    }
  });
}

void CommandBuilder::GlobalBool(const char* pattern, bool QdxModel::*field) {
  Add(pattern, true, [field](Call& c) {
    if (c.Count(0)) c.AnswerBool(c.m.*field);
  });
  Add(pattern, false, [field](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Bool(0)) c.m.*field = *v;
  });
}

void CommandBuilder::GlobalChoice(const char* pattern, std::string QdxModel::*field, std::vector<const char*> choices, std::vector<const char*> answers) {
  Add(pattern, true, [field](Call& c) {
    if (c.Count(0)) c.Answer(c.m.*field);
  });
  Add(pattern, false, [field, choices, answers](Call& c) {
    if (!c.Count(1)) return;
    if (auto k = c.Choice(0, choices)) c.m.*field = answers[*k];
  });
}

void CommandBuilder::RegisterEnable(const char* pattern, StatusRegister QdxModel::*reg) {
  Add(pattern, true, [reg](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string((c.m.*reg).enable));
  });
  Add(pattern, false, [reg](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) (c.m.*reg).enable = static_cast<int>(*v);
  });
}

void CommandBuilder::RegisterRead(const char* pattern, bool event, StatusRegister QdxModel::*reg) {
  Add(pattern, true, [event, reg](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    c.Answer(std::to_string(event ? (c.m.*reg).ReadEvent() : (c.m.*reg).condition));
  });
}

void CommandBuilder::ListNumber(const char* pattern, long long OutputList::*field, long long min) {
  Add(pattern, true, [field](Call& c) {
    if (c.Count(0)) c.Answer(std::to_string(c.m.list(c.m.selected_list).*field));
  });
  Add(pattern, false, [field, min](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Integer(0, min, 1000000)) c.m.list(c.m.selected_list).*field = *v;
  });
}

void CommandBuilder::ListBool(const char* pattern, bool OutputList::*field) {
  Add(pattern, true, [field](Call& c) {
    if (c.Count(0)) c.AnswerBool(c.m.list(c.m.selected_list).*field);
  });
  Add(pattern, false, [field](Call& c) {
    if (!c.Count(1)) return;
    if (auto v = c.Bool(0)) c.m.list(c.m.selected_list).*field = *v;
  });
}

}  // namespace emulator
