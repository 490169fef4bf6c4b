/* SPDX-License-Identifier: MIT */
/* A user's program against the installed driver: a simulated session opened
 * by a logical name, a level written and read back, and the VISA library
 * called directly. */
#include <stdio.h>

#include "ZEVRA.h"
#include "visa.h"

static int check(ViSession vi, ViStatus status, const char* what) {
  if (status >= VI_SUCCESS) return 0;
  char text[512] = "";
  ZEVRA_GetError(vi, &status, (ViInt32)sizeof text, text);
  fprintf(stderr, "%s failed: 0x%08lX %s\n", what, (unsigned long)(ViUInt32)status, text);
  return 1;
}

int main(int argc, char** argv) {
  const char* name = argc > 1 ? argv[1] : "SimPSU";
  ViSession rm = VI_NULL;
  if (viOpenDefaultRM(&rm) < VI_SUCCESS) return 1;
  viClose(rm);

  ViSession vi = VI_NULL;
  if (check(VI_NULL, ZEVRA_InitWithOptions((ViRsrc)name, VI_TRUE, VI_FALSE, "", &vi), "open")) return 1;
  ViChar revision[256] = "";
  ViReal64 level = 0;
  if (check(vi, ZEVRA_GetAttributeViString(vi, "", ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION,
                                           (ViInt32)sizeof revision, revision), "revision") ||
      check(vi, ZEVRA_ConfigureVoltageLevel(vi, "CH1", 5.25), "set level") ||
      check(vi, ZEVRA_GetAttributeViReal64(vi, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, &level), "get level")) {
    ZEVRA_close(vi);
    return 1;
  }
  printf("driver %s, CH1 level %.2f V\n", revision, level);
  return check(VI_NULL, ZEVRA_close(vi), "close");
}
