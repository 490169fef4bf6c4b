// What a zevra command prints: named fields and tables, as text or as JSON.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace zevra_tool {

struct Table {
  std::string name;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

class Report {
 public:
  void Field(const std::string& key, const std::string& value) { fields_.emplace_back(key, value); }
  Table& AddTable(const std::string& name, std::vector<std::string> columns) {
    tables_.push_back({name, std::move(columns), {}});
    return tables_.back();
  }
  bool empty() const { return fields_.empty() && tables_.empty(); }
  std::string Text() const;
  std::string Json() const;

 private:
  std::vector<std::pair<std::string, std::string>> fields_;
  std::vector<Table> tables_;
};

std::string FormatNumber(double value, int decimals = 4);

}  // namespace zevra_tool
