// SPDX-License-Identifier: MIT
// The inherent utility functions.
#include "Vexo"
#include "ZEVRA.h"

using vexo::DriverSession;
using vexo::Frame;

extern "C" {

ViStatus ZEVRA_reset(ViSession Vi) {
  return Frame(Vi, [](DriverSession& s) { return vexo::ResetOperation(s); });
}

ViStatus ZEVRA_ResetWithDefaults(ViSession Vi) {
  return Frame(Vi, [](DriverSession& s) {
    ViStatus st = vexo::ResetOperation(s);
    if (st < 0) return st;
    s.RestoreInitialOptions();
    return VI_SUCCESS;
  });
}

ViStatus ZEVRA_Disable(ViSession Vi) {
  return Frame(Vi, [](DriverSession& s) { return vexo::DisableOperation(s); });
}

ViStatus ZEVRA_self_test(ViSession Vi, ViInt16* TestResult, ViChar TestMessage[]) {
  return Frame(Vi, [&](DriverSession& s) {
    ViStatus st = vexo::CheckPointers(Vi, "ZEVRA_self_test", "TestResult, TestMessage", {TestResult, TestMessage});
    if (st < 0) return st;
    return vexo::SelfTest(s, TestResult, TestMessage);
  });
}

ViStatus ZEVRA_error_query(ViSession Vi, ViInt32* ErrorCode, ViChar ErrorMessage[]) {
  if (vexo::ResolveSession(Vi) == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
  // The pointers are tested before the session lock is taken.
  ViStatus st = vexo::CheckPointers(Vi, "ZEVRA_error_query", "ErrorCode, ErrorMessage", {ErrorCode, ErrorMessage});
  if (st < 0) return st;
  return Frame(Vi, [&](DriverSession& s) { return vexo::ErrorQuery(s, ErrorCode, ErrorMessage); });
}

ViStatus ZEVRA_revision_query(ViSession Vi, ViChar DriverRev[], ViChar InstrRev[]) {
  return Frame(Vi, [&](DriverSession& s) {
    ViStatus st = vexo::CheckPointers(Vi, "ZEVRA_revision_query", "DriverRev, InstrRev", {DriverRev, InstrRev});
    if (st < 0) return st;
    return vexo::RevisionQuery(s, DriverRev, InstrRev);
  });
}

ViStatus ZEVRA_LockSession(ViSession Vi, ViBoolean* CallerHasLock) {
  return Frame(Vi, [&](DriverSession&) { return IviSession_Lock(Vi, CallerHasLock); });
}

ViStatus ZEVRA_UnlockSession(ViSession Vi, ViBoolean* CallerHasLock) {
  // No frame: a holder must be able to let go while another thread's close
  // waits for the lock (and has made the session unresolvable meanwhile).
  return IviSession_Unlock(Vi, CallerHasLock);
}

ViStatus ZEVRA_InvalidateAllAttributes(ViSession Vi) {
  return Frame(Vi, [](DriverSession& s) {
    s.InvalidateAllAttributes();
    return VI_SUCCESS;
  });
}

}  // extern "C"
