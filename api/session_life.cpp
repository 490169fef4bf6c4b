// SPDX-License-Identifier: MIT
// Opening and closing driver sessions.
#include <memory>

#include "Vexo"
#include "ZEVRA.h"
#include "description.h"
#include "zevra_driver_session.h"

namespace {

// The runtime learns its instrument as the library loads, before any export can run.
[[maybe_unused]] const bool kInstrumentHandedOver = (vexo::UseInstrument(zevra::Description()), true);

ViStatus Open(ViRsrc resource_name, ViBoolean id_query, ViBoolean reset, ViConstString option_string,
              ViSession* vi) noexcept {
  if (vi == nullptr) return IVI_ERROR_NULL_POINTER;
  *vi = VI_NULL;
  if (resource_name == nullptr || option_string == nullptr) return IVI_ERROR_NULL_POINTER;
  // A failure that records nothing (a VISA status) must not leave an older description behind.
  IviSession_ClearError(VI_NULL);
  ViSession handle = VI_NULL;
  ViStatus st = IviSession_New(&handle);
  if (st < 0) return st;

  ViStatus opened = vexo::Guarded(handle, [&]() -> ViStatus {
    auto session = std::make_unique<ZEVRADriverSession>(handle);
    ViStatus status = IviSession_SetDataPtr(handle, session.get());
    if (status >= 0) status = session->Initialize(resource_name, id_query == VI_TRUE, reset == VI_TRUE, option_string);
    if (status < 0) {
      IviSession_SetDataPtr(handle, nullptr);
      return status;  // the session object goes with `session`
    }
    session.release();  // owned by the handle from here until ZEVRA_close
    return status;
  });
  if (opened < 0) {
    // The error is recorded on this thread too; the handle itself is of no further use.
    IviSession_Dispose(handle);
    return opened;
  }
  *vi = handle;
  if (reset == 0) return opened;
  return vexo::Frame(handle, [](vexo::DriverSession& session) { return vexo::ResetOperation(session); });
}

}  // namespace

extern "C" {

ViStatus ZEVRA_init(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset, ViSession* Vi) {
  return Open(ResourceName, IdQuery, Reset, "", Vi);
}

ViStatus ZEVRA_InitWithOptions(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset, ViConstString OptionString,
                               ViSession* Vi) {
  return Open(ResourceName, IdQuery, Reset, OptionString, Vi);
}

ViStatus ZEVRA_close(ViSession Vi) {
  vexo::DriverSession* session = vexo::ResolveSession(Vi);
  if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
  // New calls no longer find the session; calls in flight and other threads'
  // lock holders finish first (this thread may hold the lock itself). The lock
  // is never released: the handle is disposed with it, which turns away every
  // call still waiting for it.
  IviSession_SetDataPtr(Vi, nullptr);
  if (IviSession_Lock(Vi, nullptr) < 0) return IVI_ERROR_INVALID_SESSION_HANDLE;  // another close won
  return vexo::Guarded(Vi, [&]() -> ViStatus {
    vexo::RunCloseHooks(Vi);
    std::unique_ptr<vexo::DriverSession> owned(session);
    owned->Close();
    owned.reset();
    return IviSession_Dispose(Vi);
  });
}

}  // extern "C"
