/* SPDX-License-Identifier: MIT */
/* Polls the status registers and drains the instrument's error queue: sets
 * up the questionable-instrument structure so that constant-current operation
 * of CH1 reaches the status byte, drives CH1 into its current limit, sends
 * one bad setting, and prints what the registers and the error queue say.
 *
 * Usage: status_and_errors [NAME [OPTIONS]]   (default "PSU1", "QueryInstrStatus=1")
 */
#include <stdio.h>

#include "ZEVRA.h"

static int failed(ViSession vi, ViStatus status, const char *what) {
  ViStatus code = 0;
  ViChar text[1024] = "";
  if (status >= VI_SUCCESS) return 0;
  ZEVRA_GetError(vi, &code, (ViInt32)sizeof text, text);
  fprintf(stderr, "%s failed: status 0x%08X%s%s\n", what, (unsigned)status, text[0] ? ": " : "", text);
  return 1;
}

int main(int argc, char **argv) {
  ViChar default_name[] = "PSU1";
  ViRsrc name = argc > 1 ? argv[1] : default_name;
  const char *options = argc > 2 ? argv[2] : "QueryInstrStatus=1";
  ViSession vi = VI_NULL;
  ViInt32 stb = 0, summary = 0, code = 0;
  ViChar message[256];
  ViStatus status;

  if (failed(VI_NULL, ZEVRA_InitWithOptions(name, VI_TRUE, VI_TRUE, options, &vi), "ZEVRA_InitWithOptions")) return 1;

  /* CH1's constant-current bit -> questionable instrument -> questionable -> status byte. */
  if (failed(vi, ZEVRA_SetQuestionableInstrumentSummary1EnableRegister(vi, 1), "enable ISUM1") ||
      failed(vi, ZEVRA_SetQuestionableInstrumentEnableRegister(vi, 2), "enable QUES:INST") ||
      failed(vi, ZEVRA_SetQuestionableEnableRegister(vi, 1 << 13), "enable QUES") ||
      failed(vi, ZEVRA_SetStatusByteEnableRegister(vi, 8), "enable the status byte"))
    goto done;

  /* A limit far below what the load draws: CH1 goes into constant current. */
  if (failed(vi, ZEVRA_ConfigureVoltageLevel(vi, "CH1", 10.0), "voltage level") ||
      failed(vi, ZEVRA_ConfigureCurrentLimit(vi, "CH1", 0, 0.1), "current limit") ||
      failed(vi, ZEVRA_ConfigureOutputEnabled(vi, "CH1", VI_TRUE), "output on"))
    goto done;
  if (failed(vi, ZEVRA_GetQuestionableInstrumentSummary1ConditionRegister(vi, &summary), "ISUM1 condition") ||
      failed(vi, ZEVRA_GetStatusByteEventRegister(vi, &stb), "status byte"))
    goto done;
  printf("CH1 summary condition: %ld (%s)\n", (long)summary, (summary & 1) ? "constant current" : "regulating");
  printf("Status byte:           %ld (questionable summary %s)\n", (long)stb, (stb & 8) ? "set" : "clear");

  /* A setting beyond the module: the status check reports it. */
  status = ZEVRA_ConfigureVoltageLevel(vi, "CH1", 1000.0);
  printf("Setting 1000 V:        0x%08X%s\n", (unsigned)status,
         status == IVI_ERROR_INSTRUMENT_STATUS ? " (instrument error detected)" : "");
  ZEVRA_ClearError(vi);

  printf("Error queue:\n");
  do {
    if (failed(vi, ZEVRA_error_query(vi, &code, message), "error query")) goto done;
    printf("  %ld, %s\n", (long)code, message);
  } while (code != 0);

done:
  ZEVRA_ConfigureOutputEnabled(vi, "CH1", VI_FALSE);
  ZEVRA_close(vi);
  return 0;
}
