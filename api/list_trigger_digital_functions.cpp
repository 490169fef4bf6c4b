// SPDX-License-Identifier: MIT
// List mode, triggering and digital I/O functions.
#include <string>

#include "Vexo"
#include "ZEVRA.h"
#include "attribute.h"
#include "command.h"
#include "enum_maps.h"
#include "visa.h"

using vexo::DriverSession;
using zevra::SendCommand;

namespace {

// Converts `value` through `map`, then sends `format` with the token, after
// the pin number when the command carries one.
ViStatus SendWithToken(ViSession vi, const char* format, const vexo::EnumMap& map, ViInt32 value,
                       const ViInt32* pin = nullptr) {
  return vexo::Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (s.GetSimulate()) return VI_SUCCESS;
    std::string token;
    ViStatus st = map.ValueToCommand(vi, value, token);
    if (st < 0) return st;
    ViSession io = s.InstrumentSession();
    st = pin != nullptr ? viPrintf(io, format, *pin, token.c_str()) : viPrintf(io, format, token.c_str());
    if (st < 0) return st;
    return s.CheckInstrumentStatus();
  });
}

ViStatus NotSupported(ViSession vi) {
  return vexo::Frame(vi, [](DriverSession&) -> ViStatus { return IVI_ERROR_FUNCTION_NOT_SUPPORTED; });
}

}  // namespace

extern "C" {

ViStatus ZEVRA_ClearList(ViSession Vi) { return SendCommand(Vi, "LIST:CLE\n"); }
ViStatus ZEVRA_DeleteSelectedList(ViSession Vi, ViInt32 ListNumber) { return SendCommand(Vi, "LIST:DEL %ld\n", ListNumber); }
ViStatus ZEVRA_SaveListData(ViSession Vi) { return SendCommand(Vi, "LIST:SAVE\n"); }
ViStatus ZEVRA_EnableList(ViSession Vi, ViInt32 ListNumber) {
  return SendCommand(Vi, "OUTP:MODE LIST,%ld\n", ListNumber);
}
ViStatus ZEVRA_DisableList(ViSession Vi) { return SendCommand(Vi, "OUTP:MODE FIX\n"); }

ViStatus ZEVRA_StartList(ViSession Vi, ViInt32 Channel) {
  return SendWithToken(Vi, "INIT %s\n", zevra::ChannelMap(), Channel);
}

ViStatus ZEVRA_StartListContinuous(ViSession Vi, ViInt32 Channel, ViBoolean Continuous) {
  // The boolean is converted first; the command carries the channel first.
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    if (s.GetSimulate()) return VI_SUCCESS;
    std::string continuous, channel;
    ViStatus st = zevra::BooleanMap().ValueToCommand(Vi, Continuous, continuous);
    if (st >= 0) st = zevra::ChannelMap().ValueToCommand(Vi, Channel, channel);
    if (st < 0) return st;
    st = viPrintf(s.InstrumentSession(), "INIT:CONT %s,%s\n", channel.c_str(), continuous.c_str());
    if (st < 0) return st;
    return s.CheckInstrumentStatus();
  });
}

ViStatus ZEVRA_AbortList(ViSession Vi, ViInt32 Channel) {
  return SendWithToken(Vi, "ABOR %s\n", zevra::ChannelMap(), Channel);
}

ViStatus ZEVRA_ConfigureTriggerSource(ViSession Vi, ViConstString ChannelName, ViInt32 Source) {
  return vexo::Guarded(Vi, [&] { return vexo::SetAttributeViInt32(Vi, ChannelName, ZEVRA_ATTR_TRIGGER_SOURCE, Source); });
}

ViStatus ZEVRA_ConfigureTriggeredCurrentLimit(ViSession Vi, ViConstString, ViReal64) { return NotSupported(Vi); }
ViStatus ZEVRA_ConfigureTriggeredVoltageLevel(ViSession Vi, ViConstString, ViReal64) { return NotSupported(Vi); }
ViStatus ZEVRA_Initiate(ViSession Vi) { return NotSupported(Vi); }
ViStatus ZEVRA_Abort(ViSession Vi) { return NotSupported(Vi); }
ViStatus ZEVRA_SendSoftwareTrigger(ViSession Vi) { return SendCommand(Vi, "*TRG\n"); }
ViStatus ZEVRA_GenerateImmediateTrigger(ViSession Vi) { return SendCommand(Vi, "*TRG\n"); }

ViStatus ZEVRA_ConfigureDigitalFunction(ViSession Vi, ViInt32 PinNumber, ViInt32 PinFunction) {
  return SendWithToken(Vi, "DIG:PIN%ld:FUNC %s\n", zevra::DigitalPinFunctionMap(), PinFunction, &PinNumber);
}

ViStatus ZEVRA_ConfigureDigitalPolarity(ViSession Vi, ViInt32 PinNumber, ViInt32 PinPolarity) {
  return SendWithToken(Vi, "DIG:PIN%ld:POL %s\n", zevra::DigitalPinPolarityMap(), PinPolarity, &PinNumber);
}

}  // extern "C"
