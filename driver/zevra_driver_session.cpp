#include "zevra_driver_session.h"

#include <cstring>
#include <strings.h>

#include "visa.h"

ZEVRADriverSession::ZEVRADriverSession(ViSession session_handle)
    : vexo::DriverSession(session_handle, 2000, 2000, 2000, false, 1000),
      current_limit_behavior_{{"CH1", 0}, {"CH2", 0}, {"CH3", 0}, {"CH4", 0}} {}

ZEVRADriverSession::~ZEVRADriverSession() = default;

ViStatus ZEVRADriverSession::OpenIo() {
  if (!GetSimulate()) {
    ViStatus st = viOpenDefaultRM(&ResourceManagerSession());
    if (st < 0) return st;
    st = viOpen(ResourceManagerSession(), GetResourceDescriptor().c_str(), VI_NULL, GetOpenTimeout(),
                &InstrumentSession());
    if (st < 0) {
      // Nothing else will close the resource manager of a failed open.
      viClose(ResourceManagerSession());
      ResourceManagerSession() = 0;
      InstrumentSession() = 0;
      return st;
    }
  }
  if (GetSimulate()) return VI_SUCCESS;
  ViUInt16 interface_type = 0;
  ViStatus st = viGetAttribute(InstrumentSession(), VI_ATTR_INTF_TYPE, &interface_type);
  if (st < 0) return st;
  char resource_class[1024] = "";
  st = viGetAttribute(InstrumentSession(), VI_ATTR_RSRC_CLASS, resource_class);
  if (st < 0) return st;
  // A raw socket has no END indicator: replies end at the line feed.
  if (interface_type == VI_INTF_TCPIP && strcasecmp(resource_class, "SOCKET") == 0) {
    ViStatus term = viSetAttribute(InstrumentSession(), VI_ATTR_TERMCHAR, 10);
    if (term < 0) return term;
    return viSetAttribute(InstrumentSession(), VI_ATTR_TERMCHAR_EN, VI_TRUE);
  }
  return st;
}
