// SPDX-License-Identifier: MIT
#include "c_locale.h"

namespace visa {

#ifdef _WIN32

ScopedCLocale::ScopedCLocale() : previous_mode_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
  const char* current = setlocale(LC_ALL, nullptr);
  previous_ = current != nullptr ? current : "C";
  setlocale(LC_ALL, "C");
}

ScopedCLocale::~ScopedCLocale() {
  setlocale(LC_ALL, previous_.c_str());
  _configthreadlocale(previous_mode_);
}

#else

namespace {

locale_t c_locale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

}  // namespace

ScopedCLocale::ScopedCLocale() : previous_(uselocale(c_locale())) {}
ScopedCLocale::~ScopedCLocale() { uselocale(previous_); }

#endif

}  // namespace visa
