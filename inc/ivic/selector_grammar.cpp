// SPDX-License-Identifier: MIT
#include "selector_grammar.h"

#include "ci_map.h"

namespace vexo::grammar {
namespace {

using chars::IsDigit;
using chars::IsNameChar;
using chars::IsSpace;

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool at_end() const { return at_ == text_.size(); }
  bool take(char c) {
    if (at_end() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool peek(char c) const { return !at_end() && text_[at_] == c; }
  void skip_blanks() {
    while (!at_end() && IsSpace(text_[at_])) ++at_;
  }
  std::string_view name() {
    std::size_t start = at_;
    while (!at_end() && IsNameChar(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }
  std::size_t position() const { return at_; }
  void seek(std::size_t at) { at_ = at; }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

bool EndsWithDigit(std::string_view s) { return !s.empty() && IsDigit(s.back()); }

// One item: a name, or a range of two names that end in digits. Leaves the
// scanner after the item's trailing blanks.
bool ScanItem(Scanner& s) {
  s.skip_blanks();
  std::string_view first = s.name();
  if (first.empty()) return false;
  s.skip_blanks();
  if (!s.take('-')) return true;
  if (!EndsWithDigit(first)) return false;
  s.skip_blanks();
  if (!EndsWithDigit(s.name())) return false;
  s.skip_blanks();
  return true;
}

}  // namespace

bool IsWellFormedSelector(std::string_view text) {
  Scanner s(text);
  s.skip_blanks();
  for (;;) {
    s.take('[');
    do {
      if (!ScanItem(s)) return false;
    } while (s.take(','));
    if (s.take(']')) {
      // Blanks may follow a closing bracket only before the next level.
      if (s.at_end()) return true;
      s.skip_blanks();
      if (!s.take(':')) return false;
    } else {
      if (s.at_end()) return true;
      if (!s.take(':')) return false;
    }
    s.skip_blanks();
  }
}

bool SplitRange(std::string_view item, RangeParts& parts) {
  Scanner s(item);
  s.skip_blanks();
  std::string_view first = s.name();
  s.skip_blanks();
  if (!EndsWithDigit(first) || !s.take('-')) return false;
  s.skip_blanks();
  std::string_view last = item.substr(s.position());
  std::size_t base_size = first.size();
  while (base_size > 0 && IsDigit(first[base_size - 1])) --base_size;
  if (last.size() <= base_size || !EqualsIgnoringCase(last.substr(0, base_size), first.substr(0, base_size)))
    return false;
  for (char c : last.substr(base_size)) {
    if (!IsDigit(c)) return false;
  }
  parts = {first.substr(0, base_size), first.substr(base_size), last.substr(base_size)};
  return true;
}

}  // namespace vexo::grammar
