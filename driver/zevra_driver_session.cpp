// SPDX-License-Identifier: MIT
#include "zevra_driver_session.h"

#include "ci_map.h"
#include "visa.h"

namespace {

constexpr vexo::SessionSettings kSettings{
    .open_timeout_ms = 2000, .self_test_timeout_ms = 2000, .reset_timeout_ms = 2000,
    .interchange_check_supported = false};

}  // namespace

ZEVRADriverSession::ZEVRADriverSession(ViSession session_handle)
    : vexo::DriverSession(session_handle, kSettings),
      current_limit_behavior_{{"CH1", 0}, {"CH2", 0}, {"CH3", 0}, {"CH4", 0}} {}

ZEVRADriverSession::~ZEVRADriverSession() = default;

ViStatus ZEVRADriverSession::OpenIo() {
  ViStatus st = DriverSession::OpenIo();
  if (st < 0 || GetSimulate()) return st;
  ViUInt16 interface_type = 0;
  st = viGetAttribute(InstrumentSession(), VI_ATTR_INTF_TYPE, &interface_type);
  if (st < 0) return st;
  char resource_class[1024] = "";
  st = viGetAttribute(InstrumentSession(), VI_ATTR_RSRC_CLASS, resource_class);
  if (st < 0) return st;
  // A raw socket and a serial line have no END indicator: replies end at the line feed.
  if ((interface_type == VI_INTF_TCPIP && vexo::EqualsIgnoringCase(resource_class, "SOCKET")) ||
      interface_type == VI_INTF_ASRL) {
    ViStatus term = viSetAttribute(InstrumentSession(), VI_ATTR_TERMCHAR, 10);
    if (term < 0) return term;
    return viSetAttribute(InstrumentSession(), VI_ATTR_TERMCHAR_EN, VI_TRUE);
  }
  return st;
}
