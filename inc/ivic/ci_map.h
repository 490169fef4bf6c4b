// SPDX-License-Identifier: MIT
// Maps keyed by text, compared after converting each ASCII letter to upper
// case. Names, keywords and SCPI replies are ASCII; folding them without the C
// library keeps the comparison cheap and the same in every locale.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace vexo {

constexpr unsigned char FoldAscii(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      unsigned char x = FoldAscii(static_cast<unsigned char>(a[i]));
      unsigned char y = FoldAscii(static_cast<unsigned char>(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

template <typename V>
using CiMap = std::map<std::string, V, CaseInsensitiveLess>;

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

}  // namespace vexo
