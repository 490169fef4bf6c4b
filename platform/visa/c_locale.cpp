// SPDX-License-Identifier: MIT
#include "c_locale.h"

namespace visa {
namespace {

locale_t c_locale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

}  // namespace

ScopedCLocale::ScopedCLocale() : previous_(uselocale(c_locale())) {}
ScopedCLocale::~ScopedCLocale() { uselocale(previous_); }

}  // namespace visa
