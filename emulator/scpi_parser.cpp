// SPDX-License-Identifier: MIT
#include "scpi_parser.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace emulator::scpi {
namespace {

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Splits at `separator` outside quotes.
std::vector<std::string_view> SplitOutsideQuotes(std::string_view s, char separator) {
  std::vector<std::string_view> parts;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == separator) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(s.substr(start));
  return parts;
}

}  // namespace

std::vector<MessageUnit> SplitLine(std::string_view line) {
  std::vector<MessageUnit> units;
  for (std::string_view raw : SplitOutsideQuotes(line, ';')) {
    std::string_view text = Trim(raw);
    if (text.empty()) continue;
    MessageUnit unit;
    std::size_t space = text.find_first_of(" \t");
    std::string_view header = text.substr(0, space);
    std::string_view rest = space == std::string_view::npos ? std::string_view{} : Trim(text.substr(space));
    if (!header.empty() && header.front() == ':') {
      unit.absolute = true;
      header.remove_prefix(1);
    }
    if (!header.empty() && header.back() == '?') {
      unit.query = true;
      header.remove_suffix(1);
    }
    unit.header = std::string(header);
    if (!rest.empty()) {
      for (std::string_view p : SplitOutsideQuotes(rest, ',')) {
        std::string_view param = Trim(p);
        if (param.empty()) unit.syntax_error = true;  // "1,,2" or a trailing comma
        unit.params.emplace_back(param);
      }
    }
    units.push_back(std::move(unit));
  }
  return units;
}

std::vector<std::string> Mnemonics(std::string_view header) {
  std::vector<std::string> out;
  if (header.empty()) return out;
  for (std::string_view part : SplitOutsideQuotes(header, ':')) {
    if (part.empty()) return {};
    for (char c : part) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '*' && c != '_') return {};
    }
    out.push_back(Upper(part));
  }
  return out;
}

Pattern::Pattern(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    bool optional = false;
    std::string_view word;
    if (text[i] == '[') {
      std::size_t close = text.find(']', i);
      word = text.substr(i + 1, close - i - 1);
      optional = true;
      i = close + 1;
    } else {
      std::size_t end = text.find_first_of(":[", i + (text[i] == ':' ? 1 : 0));
      word = text.substr(i, end == std::string_view::npos ? end : end - i);
      i = end == std::string_view::npos ? text.size() : end;
    }
    while (!word.empty() && word.front() == ':') word.remove_prefix(1);
    while (!word.empty() && word.back() == ':') word.remove_suffix(1);
    if (word.empty()) continue;
    Node node;
    node.optional = optional;
    if (word.back() == '#') {
      node.suffix = true;
      word.remove_suffix(1);
    }
    for (char c : word) {
      if (std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c)) || c == '*')
        node.short_form.push_back(c);
    }
    node.long_form = Upper(word);
    nodes_.push_back(std::move(node));
  }
}

bool Pattern::MatchFrom(std::size_t node, std::size_t input, const std::vector<std::string>& mnemonics,
                        std::vector<int>& suffixes) const {
  if (node == nodes_.size()) return input == mnemonics.size();
  const Node& n = nodes_[node];
  if (input < mnemonics.size()) {
    std::string word = mnemonics[input];
    int suffix = 1;
    bool suffix_ok = true;
    if (n.suffix) {
      std::size_t digits = word.size();
      while (digits > 0 && std::isdigit(static_cast<unsigned char>(word[digits - 1]))) --digits;
      if (digits < word.size()) {
        auto [p, ec] = std::from_chars(word.data() + digits, word.data() + word.size(), suffix);
        suffix_ok = ec == std::errc{};
        word.resize(digits);
      }
    }
    if (suffix_ok && (word == n.short_form || word == n.long_form)) {
      std::size_t before = suffixes.size();
      if (n.suffix) suffixes.push_back(suffix);
      if (MatchFrom(node + 1, input + 1, mnemonics, suffixes)) return true;
      suffixes.resize(before);
    }
  }
  if (n.optional) {
    std::size_t before = suffixes.size();
    if (n.suffix) suffixes.push_back(1);
    if (MatchFrom(node + 1, input, mnemonics, suffixes)) return true;
    suffixes.resize(before);
  }
  return false;
}

bool Pattern::Match(const std::vector<std::string>& mnemonics, std::vector<int>& suffixes) const {
  suffixes.clear();
  return !mnemonics.empty() && MatchFrom(0, 0, mnemonics, suffixes);
}

std::optional<double> Number(std::string_view text, double min, double max, double def) {
  std::string word = Upper(Trim(text));
  if (word == "MIN" || word == "MINIMUM") return min;
  if (word == "MAX" || word == "MAXIMUM") return max;
  if (word == "DEF" || word == "DEFAULT") return def;
  std::string_view digits = word;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  double value = 0;
  auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc{} || p != digits.data() + digits.size() || !std::isfinite(value))
    return std::nullopt;
  return value + 0.0;  // "-0" is a level of 0: no instrument answers a query with "-0"
}

std::optional<bool> Boolean(std::string_view text) {
  std::string word = Upper(Trim(text));
  if (word == "ON" || word == "1") return true;
  if (word == "OFF" || word == "0") return false;
  return std::nullopt;
}

std::optional<long long> Integer(std::string_view text) {
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  long long value = 0;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || ec != std::errc{} || p != t.data() + t.size()) return std::nullopt;
  return value;
}

std::string Unquote(std::string_view text) {
  std::string_view t = Trim(text);
  if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front())
    return std::string(t.substr(1, t.size() - 2));
  return std::string(t);
}

bool IsMnemonic(std::string_view text, std::string_view pattern_word) {
  Pattern pattern(pattern_word);
  std::vector<int> suffixes;
  return pattern.Match({Upper(Trim(text))}, suffixes);
}

}  // namespace emulator::scpi
