// Opening and closing driver sessions.
#include <memory>

#include "Vexo"
#include "ZEVRA.h"
#include "zevra_driver_session.h"

namespace {

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
  if (vexo::ResolveSession(Vi) == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
  return vexo::Guarded(Vi, [&]() -> ViStatus {
    vexo::RunCloseHooks(Vi);
    ViAddr data = nullptr;
    ViStatus st = IviSession_GetDataPtr(Vi, &data);
    VEXO_ASSERT(!(st >= 0 && data == nullptr) && "Failed to retrieve driver session.");
    if (st < 0 || data == nullptr) return st;
    std::unique_ptr<vexo::DriverSession> session(static_cast<vexo::DriverSession*>(data));
    session->Close();
    session.reset();
    return IviSession_Dispose(Vi);
  });
}

}  // extern "C"
