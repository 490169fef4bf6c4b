// SPDX-License-Identifier: MIT
#include <cstdio>

#include "vexo_assert.h"

#include "instrument.h"

namespace vexo {

void AssertionFailed(const char* expression, int line) noexcept {
  const char* prefix = Identity().prefix;
  std::fprintf(stderr, "%s: internal assertion failed: %s (inc/ivic/Vexo, line %d)\n", *prefix != '\0' ? prefix : "vexo",
               expression, line);
}

}  // namespace vexo
