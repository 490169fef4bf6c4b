// SPDX-License-Identifier: MIT
#include "inherent.h"

#include <string>
#include <string_view>

#include "errors.h"
#include "instrument.h"
#include "ivi_status.h"
#include "text.h"
#include "vexo_assert.h"
#include "visa.h"

namespace vexo {
namespace {

constexpr ViInt32 kLeaveTimeoutAlone = -2;
constexpr std::size_t kTextBuffer = 256;

// Installs an I/O timeout for the duration of an operation and puts the
// previous one back afterwards, whatever happened in between.
class TimeoutOverride {
 public:
  TimeoutOverride(ViSession io, ViUInt32 timeout) : io_(io) {
    if (static_cast<ViInt32>(timeout) == kLeaveTimeoutAlone) return;
    ViStatus status = viGetAttribute(io_, VI_ATTR_TMO_VALUE, &saved_);
    VEXO_ASSERT(status >= 0);
    if (status < 0) return;
    saved_valid_ = true;
    status = viSetAttribute(io_, VI_ATTR_TMO_VALUE, timeout);
    VEXO_ASSERT(status >= 0);
  }
  ~TimeoutOverride() { Restore(); }
  TimeoutOverride(const TimeoutOverride&) = delete;
  TimeoutOverride& operator=(const TimeoutOverride&) = delete;
  void Restore() {
    if (!saved_valid_) return;
    saved_valid_ = false;
    [[maybe_unused]] ViStatus status = viSetAttribute(io_, VI_ATTR_TMO_VALUE, saved_);
    VEXO_ASSERT(status >= 0);
  }

 private:
  ViSession io_;
  ViUInt32 saved_ = 0;
  bool saved_valid_ = false;
};

// "*RST", then "*OPC?" to wait for it, then the status check.
ViStatus ResetExchange(DriverSession& session) {
  ViSession io = session.InstrumentSession();
  ViStatus st = viPrintf(io, "*RST\n");
  if (st < 0) return st;
  ViInt32 complete = 0;
  st = viQueryf(io, "*OPC?\n", "%ld%*T", &complete);
  if (st < 0) return st;
  return session.CheckInstrumentStatus();
}

}  // namespace

ViStatus ResetOperation(DriverSession& session) {
  if (session.GetSimulate()) {
    session.InvalidateAllAttributes();
    return VI_SUCCESS;
  }
  TimeoutOverride timeout(session.InstrumentSession(), session.GetResetTimeout());
  ViStatus st = ResetExchange(session);
  timeout.Restore();
  if (st >= 0) session.InvalidateAllAttributes();
  return st;
}

ViStatus DisableOperation(DriverSession& session) {
  if (session.GetSimulate()) return VI_SUCCESS;
  TimeoutOverride timeout(session.InstrumentSession(), session.GetResetTimeout());
  return ResetExchange(session);
}

ViStatus SelfTest(DriverSession& session, ViInt16* result, char* message) {
  if (session.GetSimulate()) {
    *result = 0;
    CopyToBuffer("Selftest passed", message, kTextBuffer);
    return VI_SUCCESS;
  }
  TimeoutOverride timeout(session.InstrumentSession(), session.GetSelfTestTimeout());
  ViStatus st = viQueryf(session.InstrumentSession(), "*TST?\n", "%hd%*T", result);
  if (st < 0) return st;
  st = session.CheckInstrumentStatus();
  if (st < 0) return st;
  CopyToBuffer(*result != 0 ? "Selftest failed" : "Selftest passed", message, kTextBuffer);
  return st;
}

ViStatus ErrorQuery(DriverSession& session, ViInt32* code, char* message) {
  if (session.GetSimulate()) {
    *code = 0;
    CopyToBuffer("No error.", message, kTextBuffer);
    return VI_SUCCESS;
  }
  // A width keeps a long reply inside the buffer: it is truncated, never overrun.
  char response[kTextBuffer] = "";
  ViStatus query_status = viQueryf(session.InstrumentSession(), ":SYST:ERR?\n", "%255T", response);
  if (query_status < 0) return query_status;
  std::string_view text = Trim(Trim(response, kBlanks), "\"");
  std::size_t comma = text.find(',');
  ViInt32 parsed = 0;
  if (comma == std::string_view::npos || !ParseLeadingInteger(Trim(text.substr(0, comma), kBlanks), parsed)) {
    return session.ReportErrorWithElaboration(
        IVI_ERROR_UNEXPECTED_RESPONSE,
        "Failed to parse the response to the SYST:ERR? query.  The response is expected to be a comma-separated "
        "list of 2 items in the form '<error code>,<error message>'.");
  }
  *code = parsed;
  CopyToBuffer(Trim(Trim(text.substr(comma + 1), kBlanks), "\""), message, kTextBuffer);
  return query_status;
}

ViStatus RevisionQuery(DriverSession& session, char* driver_revision, char* firmware_revision) {
  const std::string revision = Identity().revision;
  CopyToBuffer(revision, driver_revision, kTextBuffer);
  CopyToBuffer(session.GetSimulate() ? "Sim" + revision : session.GetInstrumentFirmwareRevision(),
               firmware_revision, kTextBuffer);
  return VI_SUCCESS;
}

}  // namespace vexo
