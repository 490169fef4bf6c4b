// SPDX-License-Identifier: MIT
#include "report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace zevra_tool {
namespace {

bool LooksNumeric(const std::string& s) {
  if (s.empty()) return false;
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc{} && p == s.data() + s.size();
}

}  // namespace

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

Value::Value(std::string t) : text(std::move(t)), json(JsonString(text)) {}
Value::Value(const char* t) : Value(std::string(t)) {}

Value Value::Number(double value, const std::string& unit, int decimals) {
  char json_text[32];
  std::snprintf(json_text, sizeof json_text, "%.15g", value);
  Value v(FormatNumber(value, decimals) + (unit.empty() ? "" : " " + unit));
  // JSON has no NaN or infinity: null keeps the document valid.
  v.json = std::isfinite(value) ? json_text : "null";
  return v;
}

Value Value::Integer(long long value) {
  Value v(std::to_string(value));
  v.json = v.text;
  return v;
}

Value Value::Boolean(bool value) {
  Value v(value ? "true" : "false");
  v.json = v.text;
  return v;
}

Value Value::List(const std::vector<std::string>& items) {
  std::string text, json = "[";
  for (const std::string& item : items) {
    text += (text.empty() ? "" : ",") + item;
    json += (json.size() > 1 ? "," : "") + JsonString(item);
  }
  Value v(text.empty() ? "-" : text);
  v.json = json + "]";
  return v;
}

std::string FormatNumber(double value, int decimals) {
  int length = std::snprintf(nullptr, 0, "%.*f", decimals, value);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  text.pop_back();
  return text;
}

std::string Report::Text() const {
  std::ostringstream out;
  std::size_t width = 0;
  for (const auto& [key, value] : fields_) width = std::max(width, key.size());
  for (const auto& [key, value] : fields_)
    out << key << ":" << std::string(width - key.size() + 2, ' ') << visa::terminal_safe(value.text) << "\n";
  bool first_table = true;
  for (const Table& t : tables_) {
    if (t.rows.empty()) continue;  // an empty table says nothing in text (JSON shows it as [])
    if (!fields_.empty() || !first_table) out << "\n";
    first_table = false;
    std::vector<std::vector<std::string>> shown;
    for (const auto& row : t.rows) {
      shown.emplace_back();
      for (const Value& v : row) shown.back().push_back(visa::terminal_safe(v.text));
    }
    std::vector<std::size_t> widths;
    for (const std::string& c : t.columns) widths.push_back(c.size());
    for (const auto& row : shown)
      for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    // Columns of numbers line up on the right, words on the left.
    std::vector<bool> numeric(t.columns.size(), false);
    for (std::size_t i = 0; i < numeric.size(); ++i)
      numeric[i] = !t.rows.empty() && i < t.rows[0].size() && LooksNumeric(t.rows[0][i].text);
    auto line = [&](const std::vector<std::string>& cells) {
      for (std::size_t i = 0; i < cells.size(); ++i) {
        bool right = i < numeric.size() && numeric[i];
        std::string pad(widths[i] - cells[i].size(), ' ');
        out << (i ? "  " : "") << (right ? pad + cells[i] : cells[i] + (i + 1 < cells.size() ? pad : ""));
      }
      out << "\n";
    };
    line(t.columns);
    for (const auto& row : shown) line(row);
  }
  return out.str();
}

std::string Report::Json() const {
  std::ostringstream out;
  out << "{";
  bool first = true;
  for (const auto& [key, value] : fields_) {
    out << (first ? "" : ",") << JsonString(key) << ":" << value.json;
    first = false;
  }
  for (const Table& t : tables_) {
    out << (first ? "" : ",") << JsonString(t.name) << ":[";
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      out << (r ? "," : "") << "{";
      for (std::size_t i = 0; i < t.columns.size() && i < t.rows[r].size(); ++i)
        out << (i ? "," : "") << JsonString(t.columns[i]) << ":" << t.rows[r][i].json;
      out << "}";
    }
    out << "]";
    first = false;
  }
  out << "}\n";
  return out.str();
}

}  // namespace zevra_tool
