// SPDX-License-Identifier: MIT
// Numbers on the wire are always written and read in the C locale, whatever
// locale the calling program has set.
#pragma once

#include <locale.h>

namespace visa {

class ScopedCLocale {
 public:
  ScopedCLocale();
  ~ScopedCLocale();
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  locale_t previous_;
};

}  // namespace visa
