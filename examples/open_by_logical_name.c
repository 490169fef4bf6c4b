/* SPDX-License-Identifier: MIT */
/* Opens a driver session by logical name (or VISA resource), prints the
 * instrument's identity, runs its self-test, reads its error queue and
 * revisions, and closes.
 *
 * Usage: open_by_logical_name [NAME [OPTIONS]]
 *   NAME     a logical name of the IVI configuration store (default "PSU1")
 *            or a VISA resource such as TCPIP0::192.168.1.20::5025::SOCKET
 *   OPTIONS  an option string, for example "Simulate=1"
 */
#include <stdio.h>

#include "ZEVRA.h"

/* Prints the failure of `status` with the recorded description, if any. */
static int report(ViSession vi, ViStatus status, const char *what) {
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
  ViChar driver_rev[256], firmware_rev[256], message[256], manufacturer[256], model[256];
  ViInt16 test_result = -1;
  ViInt32 error_code = 0;
  int failed = 0;

  if (report(VI_NULL, ZEVRA_InitWithOptions(name, VI_TRUE, VI_FALSE, options, &vi), "ZEVRA_InitWithOptions"))
    return 1;
  printf("Opened %s with \"%s\"\n", name, options);

  failed |= report(vi, ZEVRA_GetAttributeViString(vi, "", ZEVRA_ATTR_INSTRUMENT_MANUFACTURER, sizeof manufacturer,
                                                  manufacturer), "ZEVRA_ATTR_INSTRUMENT_MANUFACTURER");
  failed |= report(vi, ZEVRA_GetAttributeViString(vi, "", ZEVRA_ATTR_INSTRUMENT_MODEL, sizeof model, model),
                   "ZEVRA_ATTR_INSTRUMENT_MODEL");
  if (!failed) printf("Instrument:        %s %s\n", manufacturer, model);

  failed |= report(vi, ZEVRA_revision_query(vi, driver_rev, firmware_rev), "ZEVRA_revision_query");
  if (!failed) printf("Driver revision:   %s\nFirmware revision: %s\n", driver_rev, firmware_rev);

  failed |= report(vi, ZEVRA_self_test(vi, &test_result, message), "ZEVRA_self_test");
  if (!failed) printf("Self-test:         %d (%s)\n", test_result, message);

  failed |= report(vi, ZEVRA_error_query(vi, &error_code, message), "ZEVRA_error_query");
  if (!failed) printf("Error query:       %ld, %s\n", (long)error_code, message);

  failed |= report(vi, ZEVRA_close(vi), "ZEVRA_close");
  return failed ? 1 : 0;
}
