/* SPDX-License-Identifier: MIT */
/* The public headers compile as strict C99, and the VISA types have the sizes
 * the driver's ABI promises. */
#include <stdio.h>

#include "ZEVRA.h"
#include "visa.h"

#define EXPECT_SIZE(type, size)                                              \
  if (sizeof(type) != (size)) {                                              \
    fprintf(stderr, "sizeof(%s) is %u, not %u\n", #type, (unsigned)sizeof(type), (unsigned)(size)); \
    failed = 1;                                                              \
  }

int main(void) {
  int failed = 0;
  EXPECT_SIZE(ViInt32, 4);
  EXPECT_SIZE(ViUInt32, 4);
  EXPECT_SIZE(ViSession, 4);
  EXPECT_SIZE(ViStatus, 4);
  EXPECT_SIZE(ViAttr, 4);
  EXPECT_SIZE(ViInt16, 2);
  EXPECT_SIZE(ViBoolean, 2);
  EXPECT_SIZE(ViInt64, 8);
  EXPECT_SIZE(ViAttrState, 8);
  EXPECT_SIZE(ViReal64, 8);
  if (IVI_ERROR_INVALID_SESSION_HANDLE >= 0 || VI_ERROR_TMO >= 0) {
    fprintf(stderr, "error codes must be negative ViStatus values\n");
    failed = 1;
  }
  return failed;
}
