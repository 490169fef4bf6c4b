// SPDX-License-Identifier: MIT
#include "parameter_help.h"

#include <map>

namespace reference_docs {
namespace {

struct Row {
  const char* function;  // "" for every function with a parameter of this name
  const char* parameter;
  const char* help;
};

constexpr const char* kVolts = "volts; 0 to the channel module's maximum voltage (see ZEVRA_ATTR_VOLTAGE_LEVEL)";
constexpr const char* kAmperes = "amperes; 0 to the channel module's maximum current (see ZEVRA_ATTR_CURRENT_LIMIT)";

// clang-format off
constexpr Row kRows[] = {
    {"", "Vi", "the session handle from ZEVRA_init or ZEVRA_InitWithOptions"},
    {"", "ChannelName", "a channel selector: \"CH1\" to \"CH4\", a virtual name of the configuration store, a list (\"CH1,CH3\") or a range (\"CH1-CH4\")"},
    {"", "RepCapIdentifier", "the channel of a channel-based attribute as a selector (\"CH1\", a virtual name, a list or range when writing); \"\" or VI_NULL for an instrument-wide attribute"},
    {"", "AttributeID", "the attribute's ZEVRA_ATTR_ constant"},
    {"", "AttributeValue", "the attribute's value: its type, units and valid values are the attribute's"},
    {"", "AttributeValueBufferSize", "the size of the AttributeValue buffer in bytes, terminating NUL included; 0 asks only for the size needed"},
    {"", "ResourceName", "a VISA resource (\"TCPIP0::192.168.1.20::5025::SOCKET\", \"TCPIP0::host::hislip0::INSTR\", \"USB0::...::INSTR\", \"ASRL/dev/ttyUSB0::INSTR\") or a logical name of the configuration store"},
    {"", "IdQuery", "VI_TRUE checks that the instrument (\"*IDN?\") is a model the driver supports"},
    {"", "Reset", "VI_TRUE resets the instrument after opening"},
    {"", "OptionString", "inherent options, \"Name=value\" separated by commas (Simulate, Cache, RangeCheck, QueryInstrStatus, RecordCoercions, InterchangeCheck; values 1/0, true/false, VI_TRUE/VI_FALSE), optionally ending with \"DriverSetup=Model=QDX7000\"; \"\" for none"},
    {"", "TestResult", "0 when the self-test passed, else the instrument's code"},
    {"", "TestMessage", "a buffer of at least 256 bytes for the self-test's message"},
    {"", "ErrorCode", "the status or instrument error code"},
    {"ZEVRA_error_query", "ErrorMessage", "a buffer of at least 256 bytes for the message, without quotes"},
    {"ZEVRA_error_message", "ErrorMessage", "a buffer of at least 256 bytes for the status's message"},
    {"", "ErrorDescription", "a buffer for the description; VI_NULL with a size of 0 asks only for the size needed"},
    {"", "ErrorDescriptionBufferSize", "the size of ErrorDescription in bytes, terminating NUL included"},
    {"", "DriverRev", "a buffer of at least 256 bytes for the driver's revision"},
    {"", "InstrRev", "a buffer of at least 256 bytes for the instrument's firmware revision"},
    {"", "CallerHasLock", "VI_NULL, or a flag saying whether the caller holds the lock, updated by the call"},
    {"", "BufferSize", "the size of Buffer in bytes"},
    {"ZEVRA_viWrite", "Buffer", "the bytes to send, any byte included"},
    {"ZEVRA_viRead", "Buffer", "a buffer for the reply's bytes (not NUL-terminated)"},
    {"", "ReturnCount", "how many bytes were sent or read; may be VI_NULL"},
    {"", "CoercionRecord", "a buffer for the record; always receives \"\" (the driver coerces nothing)"},
    {"", "InterchangeWarning", "a buffer for the warning (not supported)"},
    {"", "Index", "the channel's number, 1 to 4"},
    {"", "NameBufferSize", "the size of Name in bytes, terminating NUL included; 0 asks only for the size needed"},
    {"", "Name", "a buffer for the physical channel name, \"CH1\" to \"CH4\""},
    {"ZEVRA_ConfigureVoltageLevel", "Level", kVolts},
    {"ZEVRA_ConfigureTriggeredVoltageLevel", "Level", kVolts},
    {"", "Behavior", "0 regulate (Limit is the current level) or 1 trip (Limit is the overcurrent protection level)"},
    {"ZEVRA_ConfigureCurrentLimit", "Limit", kAmperes},
    {"ZEVRA_ConfigureTriggeredCurrentLimit", "Limit", kAmperes},
    {"ZEVRA_ConfigureOVP", "Limit", "the overvoltage protection level in volts; 0 to the channel module's maximum voltage"},
    {"ZEVRA_ConfigureOVP", "Enabled", "must be VI_TRUE: the instrument's overvoltage protection is always on"},
    {"ZEVRA_ConfigureOutputEnabled", "Enabled", "VI_TRUE switches the output on, VI_FALSE off"},
    {"", "VoltageLevel", kVolts},
    {"", "MaxCurrentLimit", "receives the highest current in amperes the module allows at VoltageLevel (its power rating over the voltage, at most its current rating)"},
    {"", "CurrentLimit", kAmperes},
    {"", "MaxVoltageLevel", "receives the highest voltage in volts the module allows at CurrentLimit (its power rating over the current, at most its voltage rating)"},
    {"", "RangeType", "0 the current range, 1 the voltage range"},
    {"", "Range", "amperes (RangeType 0) or volts (RangeType 1) the channel must reach"},
    {"", "OutputState", "the state asked about: a ZEVRA_VAL_OUTPUT_ value"},
    {"", "InState", "receives VI_TRUE when the channel is in that state"},
    {"", "Source", "ZEVRA_VAL_TRIG_IMMEDIATE, ZEVRA_VAL_TRIG_EXTERNAL or ZEVRA_VAL_SOFTWARE_TRIG"},
    {"", "MeasurementType", "ZEVRA_VAL_MEASURE_VOLTAGE or ZEVRA_VAL_MEASURE_CURRENT"},
    {"", "Measurement", "receives the measurement: volts or amperes"},
    {"ZEVRA_MeasureVoltage", "Val", "receives the voltage in volts"},
    {"ZEVRA_MeasureCurrent", "Val", "receives the current in amperes"},
    {"ZEVRA_MeasurePower", "Val", "receives the power in watts"},
    {"", "Voltage", "receives the voltage in volts"},
    {"", "Current", "receives the current in amperes"},
    {"", "Power", "receives the power in watts"},
    {"", "VoltagesBufferSize", "how many values Voltages holds"},
    {"", "Voltages", "receives each channel's voltage in volts"},
    {"", "VoltagesActualSize", "receives how many voltages were written"},
    {"", "CurrentsBufferSize", "how many values Currents holds"},
    {"", "Currents", "receives each channel's current in amperes"},
    {"", "CurrentsActualSize", "receives how many currents were written"},
    {"", "PowersBufferSize", "how many values Powers holds"},
    {"", "Powers", "receives each channel's power in watts"},
    {"", "PowersActualSize", "receives how many powers were written"},
    {"", "ListNumber", "a list number of the instrument; passed unchanged"},
    {"", "Channel", "ZEVRA_VAL_CHANNEL1 to ZEVRA_VAL_CHANNEL4"},
    {"", "Continuous", "VI_TRUE runs the list again and again, VI_FALSE once"},
    {"", "PinNumber", "the digital port's pin, from 1; the instrument's range, passed unchanged"},
    {"", "PinFunction", "a ZEVRA_VAL_DIGITAL_PIN_FUNCTION_ value"},
    {"", "PinPolarity", "ZEVRA_VAL_DIGITAL_PIN_POLARITY_POSITIVE or _NEGATIVE"},
    {"", "Location", "the instrument's memory location for a state; passed unchanged"},
    {"ZEVRA_ConfigurePowerOnState", "State", "a ZEVRA_VAL_POWER_ON_STATE_ value"},
    {"ZEVRA_QueryPowerOnState", "State", "receives a ZEVRA_VAL_POWER_ON_STATE_ value"},
    {"ZEVRA_ConfigurePowerOnState", "MemoryLocation", "the saved state to take with USER_STATE (ignored otherwise); passed unchanged"},
    {"ZEVRA_QueryPowerOnState", "MemoryLocation", "receives the saved state USER_STATE takes"},
};
// clang-format on

}  // namespace

const char* ParameterHelp(const std::string& function, const std::string& parameter) {
  static const std::map<std::pair<std::string, std::string>, const char*> table = [] {
    std::map<std::pair<std::string, std::string>, const char*> m;
    for (const Row& row : kRows) m[{row.function, row.parameter}] = row.help;
    return m;
  }();
  auto it = table.find({function, parameter});
  if (it == table.end()) it = table.find({"", parameter});
  return it == table.end() ? nullptr : it->second;
}

std::string ParametersWithoutHelp(const std::vector<Declaration>& declarations) {
  std::string missing;
  for (const Declaration& d : declarations)
    for (const Parameter& p : d.parsed)
      if (ParameterHelp(d.name, p.name) == nullptr) missing += (missing.empty() ? "" : ", ") + d.name + "." + p.name;
  return missing;
}

}  // namespace reference_docs
