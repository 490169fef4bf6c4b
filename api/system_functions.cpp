// SPDX-License-Identifier: MIT
// System settings, stored states and the common status commands.
#include <string>

#include "Vexo"
#include "ZEVRA.h"
#include "command.h"
#include "enum_maps.h"
#include "replies.h"
#include "text.h"
#include "visa.h"

using vexo::DriverSession;
using zevra::SendCommand;

extern "C" {

ViStatus ZEVRA_Beep(ViSession Vi) { return SendCommand(Vi, "SYST:BEEP:IMM\n"); }
ViStatus ZEVRA_ClearAndReboot(ViSession Vi) { return SendCommand(Vi, "SYST:SEC:IMM\n"); }
ViStatus ZEVRA_RemoteLock(ViSession Vi) { return SendCommand(Vi, "SYST:RWL\n"); }
ViStatus ZEVRA_SaveState(ViSession Vi, ViInt32 Location) { return SendCommand(Vi, "*SAV %ld\n", Location); }
ViStatus ZEVRA_RecallState(ViSession Vi, ViInt32 Location) { return SendCommand(Vi, "*RCL %ld\n", Location); }

ViStatus ZEVRA_ConfigurePowerOnState(ViSession Vi, ViInt32 State, ViInt32 MemoryLocation) {
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    if (s.GetSimulate()) return VI_SUCCESS;
    std::string token;
    ViStatus st = zevra::PowerOnStateMap().ValueToCommand(Vi, State, token);
    if (st < 0) return st;
    st = State == ZEVRA_VAL_POWER_ON_STATE_USER_STATE
             ? viPrintf(s.InstrumentSession(), "OUTP:PON:STAT %s,%d\n", token.c_str(), MemoryLocation)
             : viPrintf(s.InstrumentSession(), "OUTP:PON:STAT %s\n", token.c_str());
    if (st < 0) return st;
    return s.CheckInstrumentStatus();
  });
}

ViStatus ZEVRA_QueryPowerOnState(ViSession Vi, ViInt32* State, ViInt32* MemoryLocation) {
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    ViStatus st = vexo::CheckPointers(Vi, "ZEVRA_QueryPowerOnState", "State, MemoryLocation", {State, MemoryLocation});
    if (st < 0) return st;
    *State = 0;
    *MemoryLocation = 0;
    if (s.GetSimulate()) {
      *State = ZEVRA_VAL_POWER_ON_STATE_USER_STATE;
      *MemoryLocation = 2;
      return VI_SUCCESS;
    }
    char reply[256] = "";
    ViInt32 count = sizeof reply;
    st = viQueryf(s.InstrumentSession(), "OUTP:PON:STAT?\n", "%#[^\n]%*t", &count, reply);
    if (st < 0) return st;
    zevra::PowerOnStateFields fields;
    if (!zevra::SplitPowerOnState(reply, fields)) return s.ReportError(IVI_ERROR_UNEXPECTED_RESPONSE);
    // The state is converted straight into the output, so a token the map does
    // not know leaves the converter's failure value (-1) there.
    st = zevra::PowerOnStateMap().ResponseToValue(Vi, fields.state, *State);
    if (st < 0) return st;
    // A location that is no 32-bit integer is an unusable reply like any other;
    // the location output then stays 0.
    ViInt32 location = 0;
    if (fields.location && !vexo::ParseLeadingInteger(*fields.location, location))
      return s.ReportError(IVI_ERROR_UNEXPECTED_RESPONSE);
    *MemoryLocation = location;
    return s.CheckInstrumentStatus();
  });
}

ViStatus ZEVRA_ClearStatus(ViSession Vi) { return SendCommand(Vi, "*CLS\n"); }
ViStatus ZEVRA_Preset(ViSession Vi) { return SendCommand(Vi, "STAT:PRES\n"); }
ViStatus ZEVRA_SetOperationComplete(ViSession Vi) { return SendCommand(Vi, "*OPC\n"); }
ViStatus ZEVRA_WaitToContinue(ViSession Vi) { return SendCommand(Vi, "*WAI\n"); }

ViStatus ZEVRA_WaitForOperationComplete(ViSession Vi) {
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    if (s.GetSimulate()) return VI_SUCCESS;
    ViInt32 complete = 0;
    ViStatus st = viQueryf(s.InstrumentSession(), "*OPC?\n", "%ld%*t", &complete);
    if (st < 0) return st;
    return s.CheckInstrumentStatus();
  });
}

}  // extern "C"
