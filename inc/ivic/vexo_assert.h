// SPDX-License-Identifier: MIT
// Internal invariants. A broken one is reported on standard error with its
// expression and the runtime header's name; execution goes on, since a test
// program must not be brought down by its instrument driver.
#pragma once

namespace vexo {

void AssertionFailed(const char* expression, int line) noexcept;

}  // namespace vexo

#define VEXO_ASSERT(expression) \
  ((expression) ? static_cast<void>(0) : ::vexo::AssertionFailed(#expression, __LINE__))
