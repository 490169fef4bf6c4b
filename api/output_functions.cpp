// SPDX-License-Identifier: MIT
// Output levels, protection, output state and ranges.
#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "Vexo"
#include "ZEVRA.h"
#include "attribute.h"
#include "command.h"
#include "module_ratings.h"
#include "selector.h"
#include "visa.h"

using vexo::DriverSession;

namespace {

// For each channel the selector names: select it, then `step`. Takes no lock
// of its own: every attribute access inside locks.
template <typename Step>
ViStatus ForEachChannel(ViSession vi, ViConstString selector, Step&& step) {
  return vexo::Guarded(vi, [&]() -> ViStatus {
    std::vector<std::string> channels;
    ViStatus st = vexo::Frame(vi, [&](DriverSession&) { return vexo::ResolveSelector(vi, selector, true, channels); });
    for (const std::string& channel : channels) {
      st = vexo::SelectChannel(vi, channel);
      if (st >= 0) st = step(channel);
      if (st < 0) return st;
    }
    return st;
  });
}

enum class Limit { Current, Voltage };

// The largest current (at `other` volts) or voltage (at `other` amperes) the
// module of the selected channel delivers.
ViStatus QueryMax(ViSession vi, ViConstString selector, ViReal64 other, ViReal64* result, Limit limit,
                  const char* function, const char* parameter) {
  return vexo::Frame(vi, [&](DriverSession& s) -> ViStatus {
    if (result == nullptr) return vexo::ReportNullPointer(vi, function, parameter, 0);
    std::string channel;
    ViStatus st = vexo::ResolveSingleSelector(vi, selector, channel);
    if (st >= 0) st = vexo::SelectChannel(s, vi, channel);
    if (st < 0) return st;
    char identity[1024] = "";
    st = vexo::GetAttributeViString(vi, nullptr, ZEVRA_ATTR_MODULE_IDENTITY, sizeof identity, identity);
    if (st < 0) return st;
    const zevra::ModuleRating* rating = zevra::FindModuleRating(identity);
    if (rating == nullptr) return s.ReportErrorWithElaboration(IVI_ERROR_UNEXPECTED_RESPONSE, "Unexpected module.");
    // An input of 0 gives an infinite quotient, hence the module's maximum.
    double quotient = rating->max_power / other;
    double maximum = limit == Limit::Current ? rating->max_current : rating->max_voltage;
    *result = maximum <= quotient ? maximum : quotient;
    return VI_SUCCESS;
  });
}

}  // namespace

extern "C" {

ViStatus ZEVRA_ConfigureVoltageLevel(ViSession Vi, ViConstString ChannelName, ViReal64 Level) {
  return ForEachChannel(Vi, ChannelName, [&](const std::string&) {
    return vexo::SetAttributeViReal64(Vi, ChannelName, ZEVRA_ATTR_VOLTAGE_LEVEL, Level);
  });
}

ViStatus ZEVRA_ConfigureCurrentLimit(ViSession Vi, ViConstString ChannelName, ViInt32 Behavior, ViReal64 Limit) {
  return ForEachChannel(Vi, ChannelName, [&](const std::string&) {
    ViStatus st = vexo::SetAttributeViInt32(Vi, ChannelName, ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, Behavior);
    if (st < 0) return st;
    return vexo::SetAttributeViReal64(Vi, ChannelName, ZEVRA_ATTR_CURRENT_LIMIT, Limit);
  });
}

ViStatus ZEVRA_ConfigureOVP(ViSession Vi, ViConstString ChannelName, ViBoolean Enabled, ViReal64 Limit) {
  return ForEachChannel(Vi, ChannelName, [&](const std::string&) {
    ViStatus st = vexo::SetAttributeViBoolean(Vi, ChannelName, ZEVRA_ATTR_OVP_ENABLED, Enabled);
    if (st < 0) return st;
    return vexo::SetAttributeViReal64(Vi, ChannelName, ZEVRA_ATTR_OVP_LIMIT, Limit);
  });
}

ViStatus ZEVRA_ConfigureOutputEnabled(ViSession Vi, ViConstString ChannelName, ViBoolean Enabled) {
  return ForEachChannel(Vi, ChannelName, [&](const std::string&) {
    return vexo::SetAttributeViBoolean(Vi, ChannelName, ZEVRA_ATTR_OUTPUT_ENABLED, Enabled);
  });
}

ViStatus ZEVRA_QueryMaxCurrentLimit(ViSession Vi, ViConstString ChannelName, ViReal64 VoltageLevel,
                                    ViReal64* MaxCurrentLimit) {
  return QueryMax(Vi, ChannelName, VoltageLevel, MaxCurrentLimit, Limit::Current, "ZEVRA_QueryMaxCurrentLimit",
                  "MaxCurrentLimit");
}

ViStatus ZEVRA_QueryMaxVoltageLevel(ViSession Vi, ViConstString ChannelName, ViReal64 CurrentLimit,
                                    ViReal64* MaxVoltageLevel) {
  return QueryMax(Vi, ChannelName, CurrentLimit, MaxVoltageLevel, Limit::Voltage, "ZEVRA_QueryMaxVoltageLevel",
                  "MaxVoltageLevel");
}

// Clears the protection of every channel named, one after the other, then checks status once.
ViStatus ZEVRA_ResetOutputProtection(ViSession Vi, ViConstString ChannelName) {
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    std::vector<std::string> channels;
    ViStatus st = vexo::ResolveSelector(Vi, ChannelName, true, channels);
    if (st < 0) return st;
    st = vexo::ForEachChannel(s, Vi, channels, [&](const std::string&) -> ViStatus {
      return s.GetSimulate() ? VI_SUCCESS : viPrintf(s.InstrumentSession(), "OUTP:PROT:CLE\n");
    });
    if (st < 0) return st;
    return s.GetSimulate() ? VI_SUCCESS : s.CheckInstrumentStatus();
  });
}

ViStatus ZEVRA_ClearOCP(ViSession Vi) { return zevra::SendCommand(Vi, ":CURR:PROT:CLE\n"); }
ViStatus ZEVRA_ClearOVP(ViSession Vi) { return zevra::SendCommand(Vi, ":VOLT:PROT:CLE\n"); }
ViStatus ZEVRA_ClearProtectionErrors(ViSession Vi) { return zevra::SendCommand(Vi, "OUTP:PROT:CLE\n"); }

ViStatus ZEVRA_ConfigureOutputRange(ViSession Vi, ViConstString ChannelName, ViInt32 RangeType, ViReal64 Range) {
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    std::vector<std::string> channels;
    ViStatus st = vexo::ResolveSelector(Vi, ChannelName, true, channels);
    if (st < 0) return st;
    return vexo::ForEachChannel(s, Vi, channels, [&](const std::string& channel) -> ViStatus {
      ViStatus st = VI_SUCCESS;
      ViReal64 level = 0, maximum = 0;
      if (RangeType == 1) {
        st = vexo::GetAttributeViReal64(Vi, nullptr, ZEVRA_ATTR_CURRENT_LEVEL, &level);
        if (st >= 0) st = ZEVRA_QueryMaxVoltageLevel(Vi, channel.c_str(), level, &maximum);
      } else if (RangeType == 0) {
        st = vexo::GetAttributeViReal64(Vi, channel.c_str(), ZEVRA_ATTR_VOLTAGE_LEVEL, &level);
        if (st >= 0) st = ZEVRA_QueryMaxCurrentLimit(Vi, channel.c_str(), level, &maximum);
      } else {
        return s.ReportError(IVI_ERROR_INVALID_VALUE, {std::to_string(RangeType), "ConfigureOutputRange", "RangeType"});
      }
      if (st < 0) return st;
      if (Range > maximum) {
        char text[64];
        std::snprintf(text, sizeof text, "%f", Range);
        return s.ReportError(IVI_ERROR_INVALID_VALUE, {text, "ConfigureOutputRange", "Range"});
      }
      return st;
    });
  });
}

ViStatus ZEVRA_QueryOutputState(ViSession Vi, ViConstString ChannelName, ViInt32 OutputState, ViBoolean* InState) {
  // Each channel's own summary condition register (CH1: ISUM1 ... CH4: ISUM4).
  static constexpr ViAttr kSummaryConditions[] = {
      ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_CONDITION_REGISTER,
      ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_CONDITION_REGISTER,
      ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_CONDITION_REGISTER,
      ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_CONDITION_REGISTER,
  };
  constexpr ViInt32 kConstantCurrent = 1, kOverVoltage = 2, kUnregulated = 4, kOverCurrent = 8;
  return vexo::Frame(Vi, [&](DriverSession& s) -> ViStatus {
    if (InState == nullptr) return vexo::ReportNullPointer(Vi, "ZEVRA_QueryOutputState", "InState", 0);
    std::string channel;
    ViStatus st = vexo::ResolveSingleSelector(Vi, ChannelName, channel);
    if (st < 0) return st;
    if (s.GetSimulate()) {
      *InState = OutputState == ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE ? VI_TRUE : VI_FALSE;
      return VI_SUCCESS;
    }
    st = vexo::SelectChannel(s, Vi, channel);
    if (st < 0) return st;
    if (OutputState < ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE || OutputState > ZEVRA_VAL_OUTPUT_UNREGULATED)
      return s.ReportError(IVI_ERROR_VALUE_NOT_SUPPORTED, {std::to_string(OutputState), "OutputState", "QueryOutputState"});
    const std::vector<std::string>& physical = vexo::PhysicalNames(Vi);
    std::size_t index = static_cast<std::size_t>(std::find(physical.begin(), physical.end(), channel) - physical.begin());
    ViInt32 bits = 0;
    st = vexo::GetAttributeViInt32(Vi, nullptr, kSummaryConditions[index < 4 ? index : 0], &bits);
    if (st < 0) return st;
    ViInt32 mask = 0;
    switch (OutputState) {
      case ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT: mask = kConstantCurrent; break;
      case ZEVRA_VAL_OUTPUT_OVER_VOLTAGE: mask = kOverVoltage; break;
      case ZEVRA_VAL_OUTPUT_UNREGULATED: mask = kUnregulated; break;
      case ZEVRA_VAL_OUTPUT_OVER_CURRENT: mask = kOverCurrent; break;
      default: break;
    }
    // Constant voltage: regulating, so none of constant current, overvoltage,
    // unregulated and overcurrent.
    bool in_state = OutputState == ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE
                        ? (bits & (kConstantCurrent | kOverVoltage | kUnregulated | kOverCurrent)) == 0
                        : (bits & mask) != 0;
    *InState = in_state ? VI_TRUE : VI_FALSE;
    return s.CheckInstrumentStatus();
  });
}

}  // extern "C"
