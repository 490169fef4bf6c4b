#include <cstdio>

#include "vexo_assert.h"

namespace vexo {

void AssertionFailed(const char* expression, int line) noexcept {
  std::fprintf(stderr, "ZEVRA: internal assertion failed: %s (inc/ivic/Vexo, line %d)\n", expression, line);
}

}  // namespace vexo
