// SPDX-License-Identifier: MIT
#include "option_grammar.h"

#include <cstddef>

#include "char_class.h"
#include "ci_map.h"

namespace vexo::grammar {
namespace {

using chars::IsSpace;
using chars::IsWord;

constexpr bool IsDriverSetupNameChar(char c) { return IsWord(c) || c == '+'; }

// Start of the run of `in_run` characters that ends at `end`, not before `floor`.
template <typename Pred>
std::size_t RunStartBefore(std::string_view text, std::size_t end, std::size_t floor, Pred in_run) {
  while (end > floor && in_run(text[end - 1])) --end;
  return end;
}

template <typename Pred>
std::size_t RunEndFrom(std::string_view text, std::size_t at, Pred in_run) {
  while (at < text.size() && in_run(text[at])) ++at;
  return at;
}

// The name ending just before `separator` (blanks allowed between), scanned
// back no further than `floor`; empty when there is none.
template <typename Pred>
std::string_view NameBefore(std::string_view text, std::size_t separator, std::size_t floor, Pred is_name_char) {
  std::size_t name_end = RunStartBefore(text, separator, floor, IsSpace);
  std::size_t name_start = RunStartBefore(text, name_end, floor, is_name_char);
  return text.substr(name_start, name_end - name_start);
}

}  // namespace

DriverSetupClause FindDriverSetupClause(std::string_view text) {
  constexpr std::string_view kKeyword = "DriverSetup";
  for (std::size_t at = 0; at + kKeyword.size() <= text.size(); ++at) {
    if (!EqualsIgnoringCase(text.substr(at, kKeyword.size()), kKeyword)) continue;
    std::size_t equals = RunEndFrom(text, at + kKeyword.size(), IsSpace);
    if (equals == text.size() || text[equals] != '=') continue;
    std::size_t start = RunStartBefore(text, at, 0, IsSpace);
    std::size_t body_end = text.find_first_of("\r\n", equals + 1);
    if (body_end == std::string_view::npos) body_end = text.size();
    return {true, text.substr(0, start), text.substr(equals + 1, body_end - equals - 1)};
  }
  return {};
}

std::vector<OptionPair> InherentOptionPairs(std::string_view text) {
  std::vector<OptionPair> pairs;
  std::size_t from = 0;
  for (std::size_t equals = text.find('=', from); equals != std::string_view::npos;
       equals = text.find('=', equals + 1)) {
    std::string_view name = NameBefore(text, equals, from, IsWord);
    if (name.empty()) continue;
    std::size_t value_start = RunEndFrom(text, equals + 1, IsSpace);
    std::size_t value_end = RunEndFrom(text, value_start, IsWord);
    if (value_end == value_start) continue;
    pairs.push_back({name, text.substr(value_start, value_end - value_start)});
    from = RunEndFrom(text, value_end, IsSpace);
    if (from < text.size() && text[from] == ',') ++from;
    if (from > equals + 1) equals = from - 1;
  }
  return pairs;
}

std::vector<OptionPair> DriverSetupPairs(std::string_view text) {
  std::vector<OptionPair> pairs;
  std::size_t from = 0;
  for (std::size_t separator = text.find_first_of("=:", from); separator != std::string_view::npos;
       separator = text.find_first_of("=:", separator + 1)) {
    std::string_view name = NameBefore(text, separator, from, IsDriverSetupNameChar);
    std::size_t after = separator + 1;
    if (name.empty() || after == text.size() || text[after] == ',') continue;
    // Blanks before the value are skipped, unless only blanks stand before the
    // next comma: then the value is the last of them.
    std::size_t value_start = RunEndFrom(text, after, IsSpace);
    if (value_start == text.size() || text[value_start] == ',') --value_start;
    std::size_t value_end = text.find(',', value_start);
    if (value_end == std::string_view::npos) value_end = text.size();
    pairs.push_back({name, text.substr(value_start, value_end - value_start)});
    from = value_end;
    separator = from - 1;  // the next separator is looked for from the comma on
  }
  return pairs;
}

}  // namespace vexo::grammar
