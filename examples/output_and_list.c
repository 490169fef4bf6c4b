/* SPDX-License-Identifier: MIT */
/* Programs a channel, switches its output on, reads the settings and the
 * output state back, measures every channel, and runs a short list on the
 * channel with software triggers, printing the results as tables.
 *
 * Usage: output_and_list [NAME [OPTIONS]]   (default "PSU1", "QueryInstrStatus=1")
 */
#include <stdio.h>

#include "ZEVRA.h"

#define CHECK(call)                                                                       \
  do {                                                                                    \
    ViStatus status_ = (call);                                                            \
    if (status_ < VI_SUCCESS) {                                                           \
      ViStatus code_ = 0;                                                                 \
      ViChar text_[1024] = "";                                                            \
      ZEVRA_GetError(vi, &code_, (ViInt32)sizeof text_, text_);                           \
      fprintf(stderr, "%s failed: status 0x%08X%s%s\n", #call, (unsigned)status_,        \
              text_[0] ? ": " : "", text_);                                               \
      if (vi != VI_NULL) ZEVRA_close(vi);                                                 \
      return 1;                                                                           \
    }                                                                                     \
  } while (0)

int main(int argc, char **argv) {
  ViChar default_name[] = "PSU1";
  ViRsrc name = argc > 1 ? argv[1] : default_name;
  const char *options = argc > 2 ? argv[2] : "QueryInstrStatus=1";
  ViSession vi = VI_NULL;
  ViReal64 level = 0, limit = 0, volts[4], amps[4], watts[4];
  ViInt32 nv = 0, ni = 0, np = 0, ch, step;
  ViBoolean enabled = VI_FALSE, cv = VI_FALSE, cc = VI_FALSE;
  static const ViReal64 steps[3] = {1.0, 2.5, 4.0};

  CHECK(ZEVRA_InitWithOptions(name, VI_TRUE, VI_TRUE, options, &vi));

  /* One channel: level, limit, output on, then read everything back. */
  CHECK(ZEVRA_ConfigureVoltageLevel(vi, "CH1", 5.0));
  CHECK(ZEVRA_ConfigureCurrentLimit(vi, "CH1", 0, 1.0));
  CHECK(ZEVRA_ConfigureOutputEnabled(vi, "CH1", VI_TRUE));
  CHECK(ZEVRA_GetAttributeViReal64(vi, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, &level));
  CHECK(ZEVRA_GetAttributeViReal64(vi, "CH1", ZEVRA_ATTR_CURRENT_LIMIT, &limit));
  CHECK(ZEVRA_GetAttributeViBoolean(vi, "CH1", ZEVRA_ATTR_OUTPUT_ENABLED, &enabled));
  CHECK(ZEVRA_QueryOutputState(vi, "CH1", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, &cv));
  CHECK(ZEVRA_QueryOutputState(vi, "CH1", ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT, &cc));
  printf("CH1 settings\n");
  printf("  voltage level   %8.3f V\n", level);
  printf("  current limit   %8.3f A\n", limit);
  printf("  output          %8s\n", enabled ? "on" : "off");
  printf("  state           %8s\n", cv ? "CV" : cc ? "CC" : "other");

  /* Every channel in one exchange. */
  CHECK(ZEVRA_MeasureAllChannels(vi, 4, volts, &nv, 4, amps, &ni, 4, watts, &np));
  printf("\nChannel   Voltage (V)  Current (A)  Power (W)\n");
  for (ch = 0; ch < nv && ch < ni && ch < np; ++ch)
    printf("CH%-6ld  %11.4f  %11.4f  %9.4f\n", (long)ch + 1, volts[ch], amps[ch], watts[ch]);

  /* A three-step list on CH1, stepped by software triggers. */
  CHECK(ZEVRA_SetSelectedChannel(vi, ZEVRA_VAL_CHANNEL1));
  CHECK(ZEVRA_SetSelectedList(vi, 1));
  for (step = 0; step < 3; ++step) {
    CHECK(ZEVRA_SetSelectedStep(vi, step));
    CHECK(ZEVRA_SetStepVoltage(vi, steps[step]));
    CHECK(ZEVRA_SetStepCurrent(vi, 1.0));
    CHECK(ZEVRA_SetListDwell(vi, 100));
  }
  CHECK(ZEVRA_SetListPace(vi, ZEVRA_VAL_LIST_PACE_TRIGGER));
  CHECK(ZEVRA_ConfigureTriggerSource(vi, "CH1", ZEVRA_VAL_SOFTWARE_TRIG));
  CHECK(ZEVRA_EnableList(vi, 1));
  CHECK(ZEVRA_StartList(vi, ZEVRA_VAL_CHANNEL1));
  printf("\nList step  Voltage (V)  Current (A)\n");
  for (step = 0; step < 3; ++step) {
    CHECK(ZEVRA_SendSoftwareTrigger(vi));
    CHECK(ZEVRA_Measure(vi, "CH1", ZEVRA_VAL_MEASURE_VOLTAGE, &volts[0]));
    CHECK(ZEVRA_MeasureCurrent(vi, &amps[0]));
    printf("%-9ld  %11.4f  %11.4f\n", (long)step, volts[0], amps[0]);
  }
  CHECK(ZEVRA_AbortList(vi, ZEVRA_VAL_CHANNEL1));
  CHECK(ZEVRA_DisableList(vi));
  CHECK(ZEVRA_ConfigureOutputEnabled(vi, "CH1", VI_FALSE));
  CHECK(ZEVRA_close(vi));
  return 0;
}
