// SPDX-License-Identifier: MIT
// The instrument's commands: status structure.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "command_builder.h"

namespace emulator {

void AddStatusCommands(CommandBuilder& b) {
  b.RegisterRead("STATus:OPERation[:EVENt]", true, &QdxModel::operation);
  b.RegisterRead("STATus:OPERation:CONDition", false, &QdxModel::operation);
  b.RegisterEnable("STATus:OPERation:ENABle", &QdxModel::operation);
  b.RegisterRead("STATus:QUEStionable[:EVENt]", true, &QdxModel::questionable);
  b.RegisterRead("STATus:QUEStionable:CONDition", false, &QdxModel::questionable);
  b.RegisterEnable("STATus:QUEStionable:ENABle", &QdxModel::questionable);
  b.RegisterRead("STATus:QUEStionable:INSTrument[:EVENt]", true, &QdxModel::questionable_instrument);
  b.RegisterRead("STATus:QUEStionable:INSTrument:CONDition", false, &QdxModel::questionable_instrument);
  b.RegisterEnable("STATus:QUEStionable:INSTrument:ENABle", &QdxModel::questionable_instrument);
  auto summary = [](Call& c) -> StatusRegister* {
    if (c.suffix(0) < 1 || c.suffix(0) > 4) {
      c.Error(-114, "Header suffix out of range");
      return nullptr;
    }
    return &c.m.channel(c.suffix(0) - 1).summary;
  };
  b.Add("STATus:QUEStionable[:INSTrument]:ISUMmary#[:EVENt]", true, [summary](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    if (auto* r = summary(c)) c.Answer(std::to_string(r->ReadEvent()));
  });
  b.Add("STATus:QUEStionable[:INSTrument]:ISUMmary#:CONDition", true, [summary](Call& c) {
    if (!c.Count(0)) return;
    c.m.Refresh();
    if (auto* r = summary(c)) c.Answer(std::to_string(r->condition));
  });
  b.Add("STATus:QUEStionable[:INSTrument]:ISUMmary#:ENABle", true, [summary](Call& c) {
    if (!c.Count(0)) return;
    if (auto* r = summary(c)) c.Answer(std::to_string(r->enable));
  });
  b.Add("STATus:QUEStionable[:INSTrument]:ISUMmary#:ENABle", false, [summary](Call& c) {
    if (!c.Count(1)) return;
    auto* r = summary(c);
    if (r == nullptr) return;
    if (auto v = c.Integer(0, -2147483648LL, 2147483647LL)) r->enable = static_cast<int>(*v);
  });
  b.Add("STATus:PRESet", false, [](Call& c) {
    if (!c.Count(0)) return;
    c.m.operation.enable = c.m.questionable.enable = c.m.questionable_instrument.enable = 0;
    for (int i = 0; i < 4; ++i) c.m.channel(i).summary.enable = 0;
  });
}

}  // namespace emulator
