// Maps keyed by text, compared after converting each character to upper case.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <string_view>

namespace vexo {

struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      int x = std::toupper(static_cast<unsigned char>(a[i]));
      int y = std::toupper(static_cast<unsigned char>(b[i]));
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

template <typename V>
using CiMap = std::map<std::string, V, CaseInsensitiveLess>;

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  CaseInsensitiveLess less;
  return !less(a, b) && !less(b, a);
}

}  // namespace vexo
