// SPDX-License-Identifier: MIT
// A driver session's instrument I/O over VISA.
#include "driver_session.h"
#include "ivi_status.h"
#include "visa.h"

namespace vexo {

namespace {
// Standard event status bits that mean an instrument error: query, device,
// execution and command errors.
constexpr ViInt32 kEventStatusErrorMask = 0x3C;
}  // namespace

ViStatus DriverSession::OpenIo() {
  if (GetSimulate()) return VI_SUCCESS;
  ViStatus st = viOpenDefaultRM(resource_manager_.Out());
  if (st < 0) return st;
  st = viOpen(resource_manager_.get(), GetResourceDescriptor().c_str(), VI_NULL, GetOpenTimeout(),
              &instrument_session_);
  if (st < 0) {
    // Nothing else will close the resource manager of a failed open.
    resource_manager_.Close();
    instrument_session_ = 0;
  }
  return st;
}

ViStatus DriverSession::CloseIo() {
  if (GetSimulate() || resource_manager_.get() == 0) return VI_SUCCESS;
  ViStatus st = resource_manager_.Close();
  if (st < 0) return st;
  instrument_session_ = 0;
  return st;
}

ViStatus DriverSession::ClearInstrumentStatus() {
  if (GetSimulate()) return VI_SUCCESS;
  ViStatus st = viPrintf(InstrumentSession(), "*CLS\n");
  if (st < 0) return st;
  return CheckInstrumentStatus();
}

ViStatus DriverSession::QueryIdentity(std::string& manufacturer, std::string& model, std::string& serial_number,
                                      std::string& firmware_revision) {
  if (GetSimulate()) return VI_SUCCESS;
  char fields[4][257] = {};
  ViStatus st = viQueryf(InstrumentSession(), "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", fields[0],
                         fields[1], fields[2], fields[3]);
  if (st < 0) return st;
  manufacturer = fields[0];
  model = fields[1];
  serial_number = fields[2];
  firmware_revision = fields[3];
  return CheckInstrumentStatus();
}

ViStatus DriverSession::CheckInstrumentStatus() {
  if (!GetQueryInstrStatus() || GetSimulate()) return VI_SUCCESS;
  ViInt32 event_status = 0;
  ViStatus st = viQueryf(InstrumentSession(), "*ESR?\n", "%ld%*T", &event_status);
  if (st < 0) return st;
  if ((event_status & kEventStatusErrorMask) == 0) return st;
  return ReportError(IVI_ERROR_INSTRUMENT_STATUS);
}

}  // namespace vexo
