// SPDX-License-Identifier: MIT
// Two-way maps between defined values and the instrument's tokens: the first
// token of a row is sent, every token is accepted in a reply (trimmed,
// compared without regard to case). A row may be restricted to models or
// model families.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "visatype.h"

namespace vexo {

struct EnumRow {
  const char* name;    // the defined value's constant, for messages
  ViInt32 value;
  const char* tokens;  // comma-separated; empty for a name-only row
  const char* models;  // comma-separated models or families; empty: every model
};

class EnumMap {
 public:
  EnumMap(std::initializer_list<EnumRow> rows);

  // The token to send; records 0xBFFA0000 when no row applies.
  ViStatus ValueToCommand(ViSession vi, ViInt32 value, std::string& command) const;
  // The defined value of a reply; records 0xBFFA0059 when no row accepts it.
  ViStatus ResponseToValue(ViSession vi, std::string_view response, ViInt32& value) const;
  // The constant name of a value, or the value in decimal.
  std::string ValueToName(ViInt32 value) const;

  struct Row {
    std::string name;
    ViInt32 value;
    std::vector<std::string> tokens;
    std::vector<std::string> models;
  };
  const std::vector<Row>& rows() const { return rows_; }

 private:
  std::vector<Row> rows_;
};

}  // namespace vexo
