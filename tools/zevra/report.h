// SPDX-License-Identifier: MIT
// What a zevra command prints: named fields and tables, as text or as JSON.
// Each value knows both forms: numbers are JSON numbers in SI units (volts,
// amperes, watts, seconds) and read "5.0000 V" in text; strings stay strings
// ("1.00" is not a number); register bits are arrays of names.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "terminal_safe.h"

namespace zevra_tool {

struct Value {
  Value(std::string text);  // NOLINT: a plain string is the common case
  Value(const char* text);  // NOLINT
  static Value Number(double value, const std::string& unit = "", int decimals = 4);
  static Value Integer(long long value);
  static Value Boolean(bool value);
  // Text "a,b" ("-" when empty); JSON ["a","b"].
  static Value List(const std::vector<std::string>& items);
  std::string text;
  std::string json;
};

struct Table {
  std::string name;
  std::vector<std::string> columns;
  std::vector<std::vector<Value>> rows;
};

class Report {
 public:
  void Field(const std::string& key, Value value) { fields_.emplace_back(key, std::move(value)); }
  Table& AddTable(const std::string& name, std::vector<std::string> columns) {
    tables_.push_back({name, std::move(columns), {}});
    return tables_.back();
  }
  bool empty() const { return fields_.empty() && tables_.empty(); }
  const std::vector<std::pair<std::string, Value>>& fields() const { return fields_; }
  std::string Text() const;
  std::string Json() const;

 private:
  std::vector<std::pair<std::string, Value>> fields_;
  std::vector<Table> tables_;
};

// Fixed-point with `decimals` places, however large the value (never cut).
std::string FormatNumber(double value, int decimals = 4);
// `text` as a JSON string literal.
std::string JsonString(const std::string& text);

}  // namespace zevra_tool
