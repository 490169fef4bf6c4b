// SPDX-License-Identifier: MIT
#include "text.h"

#include <cctype>
#include <charconv>
#include <climits>

namespace vexo {

std::string_view Trim(std::string_view s, std::string_view chars) {
  std::size_t first = s.find_first_not_of(chars);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(chars) - first + 1);
}

std::vector<std::string_view> Split(std::string_view s, char separator, LastEmpty last) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    if (last == LastEmpty::kDrop && start == s.size()) return parts;
    std::size_t at = s.find(separator, start);
    parts.push_back(s.substr(start, at == std::string_view::npos ? at : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

std::vector<std::string_view> SplitTrimmed(std::string_view s, char separator, LastEmpty last) {
  std::vector<std::string_view> parts = Split(s, separator, last);
  for (std::string_view& part : parts) part = Trim(part);
  return parts;
}

bool ParseLeadingInteger(std::string_view text, ViInt32& value) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  long long v = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  v = negative ? -v : v;
  if (v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<ViInt32>(v);
  return true;
}

bool ParseLeadingReal(std::string_view text, ViReal64& value) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  std::string_view rest = text.substr(i);
  // from_chars takes no leading '+'.
  bool plus = !rest.empty() && rest.front() == '+';
  if (plus) rest.remove_prefix(1);
  if (rest.empty() || (plus && (rest.front() == '+' || rest.front() == '-'))) return false;
  // A decimal number only: from_chars would also take "nan", "inf" and
  // "infinity", which no instrument means as a measured value.
  std::string_view digits = rest.front() == '-' ? rest.substr(1) : rest;
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  if (digits.empty() || !(is_digit(digits[0]) || (digits[0] == '.' && digits.size() > 1 && is_digit(digits[1]))))
    return false;
  double v = 0;
  auto [p, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v, std::chars_format::general);
  if (ec != std::errc{} || p == rest.data()) return false;
  value = v;
  return true;
}

}  // namespace vexo
