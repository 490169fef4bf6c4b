// SPDX-License-Identifier: MIT
// Numbers on the wire are always written and read in the C locale, whatever
// locale the calling program has set.
#pragma once

#include <locale.h>

#include <string>

namespace visa {

class ScopedCLocale {
 public:
  ScopedCLocale();
  ~ScopedCLocale();
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
#ifdef _WIN32
  // Windows has no uselocale: the thread's own locale is set to "C" and back.
  int previous_mode_;
  std::string previous_;
#else
  locale_t previous_;
#endif
};

}  // namespace visa
