// SPDX-License-Identifier: MIT
#include "qdx_commands.h"

#include "commands/command_builder.h"

#include <cmath>
#include <cstdio>

namespace emulator {

void Call::AnswerNumber(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  Answer(text);
}

bool Call::Error(int code, const char* message) {
  m.PushError(code, message);
  return false;
}

bool Call::Count(std::size_t n) {
  if (unit_.params.size() < n) return Error(-109, "Missing parameter");
  if (unit_.params.size() > n) return Error(-108, "Parameter not allowed");
  return true;
}

std::optional<double> Call::Number(std::size_t i, double min, double max, double def) {
  auto value = scpi::Number(unit_.params.at(i), min, max, def);
  if (!value) {
    Error(-104, "Data type error");
    return std::nullopt;
  }
  if (*value < min - 1e-12 || *value > max + 1e-12) {
    Error(-222, "Data out of range");
    return std::nullopt;
  }
  return value;
}

std::optional<long long> Call::Integer(std::size_t i, long long min, long long max) {
  auto value = scpi::Integer(unit_.params.at(i));
  if (!value) {
    Error(-104, "Data type error");
    return std::nullopt;
  }
  if (*value < min || *value > max) {
    Error(-222, "Data out of range");
    return std::nullopt;
  }
  return value;
}

std::optional<bool> Call::Bool(std::size_t i) {
  auto value = scpi::Boolean(unit_.params.at(i));
  if (!value) Error(-224, "Illegal parameter value");
  return value;
}

std::optional<std::size_t> Call::Choice(std::size_t i, const std::vector<const char*>& choices) {
  for (std::size_t k = 0; k < choices.size(); ++k) {
    if (scpi::IsMnemonic(unit_.params.at(i), choices[k])) return k;
  }
  Error(-224, "Illegal parameter value");
  return std::nullopt;
}

QdxModel::Channel* Call::Channel() {
  QdxModel::Channel& c = m.channel(m.selected());
  if (c.module == nullptr) {
    Error(-241, "Hardware missing");
    return nullptr;
  }
  return &c;
}

const std::vector<CommandRow>& CommandTable() {
  static const std::vector<CommandRow> table = [] {
    CommandBuilder b;
    AddCommonCommands(b);
    AddLevelCommands(b);
    AddOutputCommands(b);
    AddMeasurementCommands(b);
    AddListCommands(b);
    AddDigitalCommands(b);
    AddStatusCommands(b);
    AddSystemCommands(b);
    AddBackDoorCommands(b);
    return b.Take();
  }();
  return table;
}

}  // namespace emulator
