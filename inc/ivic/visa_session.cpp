// The instrument I/O operations over VISA.
#include "visa_session.h"

#include "ZEVRA.h"
#include "driver_session.h"
#include "visa.h"

namespace vexo {

namespace {
// Standard event status bits that mean an instrument error: query, device,
// execution and command errors.
constexpr ViInt32 kEventStatusErrorMask = 0x3C;
}  // namespace

template <typename Session>
ViStatus VisaSession<Session>::OpenIo() {
  Session& s = self();
  if (s.GetSimulate()) return VI_SUCCESS;
  ViStatus st = viOpenDefaultRM(&s.ResourceManagerSession());
  if (st < 0) return st;
  return viOpen(s.ResourceManagerSession(), s.GetResourceDescriptor().c_str(), VI_NULL, s.GetOpenTimeout(),
                &s.InstrumentSession());
}

template <typename Session>
ViStatus VisaSession<Session>::CloseIo() {
  Session& s = self();
  if (s.GetSimulate() || s.ResourceManagerSession() == 0) return VI_SUCCESS;
  ViStatus st = viClose(s.ResourceManagerSession());
  if (st < 0) return st;
  s.ResourceManagerSession() = 0;
  s.InstrumentSession() = 0;
  return st;
}

template <typename Session>
ViStatus VisaSession<Session>::ClearInstrumentStatus() {
  Session& s = self();
  if (s.GetSimulate()) return VI_SUCCESS;
  ViStatus st = viPrintf(s.InstrumentSession(), "*CLS\n");
  if (st < 0) return st;
  return s.CheckInstrumentStatus();
}

template <typename Session>
ViStatus VisaSession<Session>::QueryIdentity(std::string& manufacturer, std::string& model,
                                             std::string& serial_number, std::string& firmware_revision) {
  Session& s = self();
  if (s.GetSimulate()) return VI_SUCCESS;
  char fields[4][257] = {};
  ViStatus st = viQueryf(s.InstrumentSession(), "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", fields[0],
                         fields[1], fields[2], fields[3]);
  if (st < 0) return st;
  manufacturer = fields[0];
  model = fields[1];
  serial_number = fields[2];
  firmware_revision = fields[3];
  return s.CheckInstrumentStatus();
}

template <typename Session>
ViStatus VisaSession<Session>::CheckInstrumentStatus() {
  Session& s = self();
  if (!s.GetQueryInstrStatus() || s.GetSimulate()) return VI_SUCCESS;
  ViInt32 event_status = 0;
  ViStatus st = viQueryf(s.InstrumentSession(), "*ESR?\n", "%ld%*T", &event_status);
  if (st < 0) return st;
  if ((event_status & kEventStatusErrorMask) == 0) return st;
  return s.ReportError(IVI_ERROR_INSTRUMENT_STATUS);
}

template class VisaSession<DriverSession>;

}  // namespace vexo
