/* SPDX-License-Identifier: MIT */
/* Opens a VISA session to an instrument, prints its identity and a few
 * exchanges.  Usage: visa_identify "TCPIP0::127.0.0.1::5025::SOCKET" */
#include <stdio.h>

#include "visa.h"

static int check(ViSession vi, ViStatus status, const char *what) {
  ViChar text[256];
  if (status >= VI_SUCCESS) return 0;
  viStatusDesc(vi, status, text);
  fprintf(stderr, "%s failed: 0x%08X %s\n", what, (unsigned)status, text);
  return 1;
}

int main(int argc, char **argv) {
  ViSession rm = VI_NULL, vi = VI_NULL;
  ViChar maker[257], model[257], serial[257], firmware[257], error[256];
  ViInt32 esr = 0, opc = 0, count = (ViInt32)sizeof error;
  int failed = 0;

  if (argc != 2) {
    fprintf(stderr, "usage: %s RESOURCE\n", argv[0]);
    return 2;
  }
  if (check(VI_NULL, viOpenDefaultRM(&rm), "viOpenDefaultRM")) return 1;
  if (check(rm, viOpen(rm, argv[1], VI_NULL, 2000, &vi), "viOpen")) {
    viClose(rm);
    return 1;
  }
  /* A raw socket has no END indicator: replies end at the line feed. */
  viSetAttribute(vi, VI_ATTR_TERMCHAR, '\n');
  viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE);

  failed |= check(vi, viQueryf(vi, "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", maker,
                               model, serial, firmware), "*IDN?");
  if (!failed) {
    printf("Manufacturer: %s\nModel:        %s\nSerial:       %s\nFirmware:     %s\n", maker,
           model, serial, firmware);
  }
  failed |= check(vi, viPrintf(vi, "*CLS\n"), "*CLS");
  failed |= check(vi, viQueryf(vi, "*ESR?\n", "%ld%*T", &esr), "*ESR?");
  failed |= check(vi, viQueryf(vi, "*OPC?\n", "%ld%*T", &opc), "*OPC?");
  failed |= check(vi, viQueryf(vi, ":SYST:ERR?\n", "%#[^\n]%*T", &count, error), ":SYST:ERR?");
  if (!failed) printf("*ESR?         %ld\n*OPC?         %ld\n:SYST:ERR?    %s\n", (long)esr,
                      (long)opc, error);
  viClose(rm);
  return failed ? 1 : 0;
}
