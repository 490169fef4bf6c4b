/* SPDX-License-Identifier: MIT */
/*
 * A stand-in visa64.dll for the Windows tests: the VISA functions the driver
 * imports, each writing its call to the file ZEVRA_STAND_IN_VISA_LOG names.
 * It finds no instrument, so a real session fails at viOpen. Loading the
 * driver with it shows the driver binds to whatever visa64.dll it is given,
 * by name.
 */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include "visa.h"

static void log_call(const char *call, const char *detail) {
  const char *path = getenv("ZEVRA_STAND_IN_VISA_LOG");
  FILE *f = path != NULL ? fopen(path, "a") : NULL;
  if (f == NULL) return;
  fprintf(f, "%s%s%s\n", call, detail[0] != '\0' ? " " : "", detail);
  fclose(f);
}

ViStatus viOpenDefaultRM(ViPSession vi) {
  log_call("viOpenDefaultRM", "");
  *vi = 1;
  return VI_SUCCESS;
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout, ViPSession vi) {
  (void)sesn, (void)mode, (void)timeout;
  log_call("viOpen", name);
  *vi = VI_NULL;
  return VI_ERROR_RSRC_NFOUND;
}

ViStatus viClose(ViObject vi) {
  log_call("viClose", vi == 1 ? "RM" : "?");
  return VI_SUCCESS;
}

/* Never reached without an open instrument session. */
ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void *attrValue) {
  (void)vi, (void)attrName, (void)attrValue;
  log_call("viGetAttribute", "");
  return VI_ERROR_INV_OBJECT;
}
ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
  (void)vi, (void)attrName, (void)attrValue;
  log_call("viSetAttribute", "");
  return VI_ERROR_INV_OBJECT;
}
ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  (void)vi, (void)buf, (void)cnt, (void)retCnt;
  log_call("viRead", "");
  return VI_ERROR_INV_OBJECT;
}
ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  (void)vi, (void)buf, (void)cnt, (void)retCnt;
  log_call("viWrite", "");
  return VI_ERROR_INV_OBJECT;
}
ViStatus viPrintf(ViSession vi, ViConstString writeFmt, ...) {
  (void)vi, (void)writeFmt;
  log_call("viPrintf", "");
  return VI_ERROR_INV_OBJECT;
}
ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...) {
  (void)vi, (void)writeFmt, (void)readFmt;
  log_call("viQueryf", "");
  return VI_ERROR_INV_OBJECT;
}
