// SPDX-License-Identifier: MIT
// The instrument's SCPI command set, as a table of header patterns and handlers.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "qdx_model.h"
#include "scpi_parser.h"

namespace emulator {

// What a handler sees of one message unit.
class Call {
 public:
  Call(QdxModel& model, const scpi::MessageUnit& unit, const std::vector<int>& suffixes,
       std::vector<std::string>& answers)
      : m(model), unit_(unit), suffixes_(suffixes), answers_(answers) {}

  QdxModel& m;
  bool query() const { return unit_.query; }
  int suffix(std::size_t i) const { return i < suffixes_.size() ? suffixes_[i] : 1; }
  const std::vector<std::string>& params() const { return unit_.params; }

  void Answer(const std::string& text) { answers_.push_back(text); }
  void AnswerNumber(double value, int digits = 10);
  void AnswerBool(bool value) { Answer(value ? "1" : "0"); }
  // Pushes the error and returns false, so a handler can `return Error(...)`.
  bool Error(int code, const char* message);

  // Parameter checks; each records the standard error when it fails.
  bool Count(std::size_t n);
  std::optional<double> Number(std::size_t i, double min, double max, double def);
  std::optional<long long> Integer(std::size_t i, long long min, long long max);
  std::optional<bool> Bool(std::size_t i);
  // One of `choices` (patterns such as "LATChing"); answers its index.
  std::optional<std::size_t> Choice(std::size_t i, const std::vector<const char*>& choices);

  // The selected channel, or an error when its slot is empty.
  QdxModel::Channel* Channel();

 private:
  const scpi::MessageUnit& unit_;
  const std::vector<int>& suffixes_;
  std::vector<std::string>& answers_;
};

struct CommandRow {
  scpi::Pattern pattern;
  bool query;
  std::function<void(Call&)> handler;
};

const std::vector<CommandRow>& CommandTable();

}  // namespace emulator
