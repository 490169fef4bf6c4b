// SPDX-License-Identifier: MIT
// The repeated-capability selector grammar, scanned in one pass without
// recursion: levels separated by ':', each an optionally bracketed list of
// names and ranges separated by ',', blanks around every part.
//   "CH1"  " CH1 "  "[CH1]"  "CH1,CH3"  "CH1-CH4"  "OutputChannel!!CH1"
#pragma once

#include <string_view>

namespace vexo::grammar {

bool IsWellFormedSelector(std::string_view text);

// A range item "CH1 - CH4": the base name and the two indexes' digits.
struct RangeParts {
  std::string_view base;
  std::string_view first_digits;
  std::string_view last_digits;
};

// Splits a range item; false when the item is not "<base><digits> - <base><digits>"
// with the same base (in any case) on both sides.
bool SplitRange(std::string_view item, RangeParts& parts);

// Calls `f(position, run)` for each maximal run of selector name characters.
template <typename F>
void ForEachNameRun(std::string_view text, F&& f);

}  // namespace vexo::grammar

#include "char_class.h"

template <typename F>
void vexo::grammar::ForEachNameRun(std::string_view text, F&& f) {
  for (std::size_t at = 0; at < text.size();) {
    if (!chars::IsNameChar(text[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && chars::IsNameChar(text[end])) ++end;
    f(at, text.substr(at, end - at));
    at = end;
  }
}
