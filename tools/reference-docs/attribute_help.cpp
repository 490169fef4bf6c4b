// SPDX-License-Identifier: MIT
#include "attribute_help.h"

#include <cstdio>
#include <map>

#include "ZEVRA.h"
#include "attribute_registry.h"
#include "module_ratings.h"

namespace reference_docs {
namespace {

// "{V}" and "{A}" in a row's values stand for the module ratings, per model.
constexpr const char* kVoltageRatings = "{V}";
constexpr const char* kCurrentRatings = "{A}";

struct Row {
  ViAttr id;
  const char* meaning;
  const char* values;  // units and valid values; null: what the type and value map say
};

// clang-format off
constexpr Row kRows[] = {
    {ZEVRA_ATTR_RANGE_CHECK, "Whether values are range-checked before they are sent. This driver checks no ranges itself on a real session: the instrument refuses what it cannot take, and with query_instrument_status on its error is reported.", nullptr},
    {ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS, "Whether every instrument operation ends with a status check (\"*ESR?\") that turns an error the instrument has queued into IVI_ERROR_INSTRUMENT_STATUS.", nullptr},
    {ZEVRA_ATTR_CACHE, "Whether the driver keeps the last value of each attribute. On a real session the values are kept but never consulted: every read asks the instrument and every write is sent.", nullptr},
    {ZEVRA_ATTR_SIMULATE, "Whether the session simulates the instrument: reads answer the last value written (or a default), functions answer without I/O. Cannot be turned off on a session opened simulating.", nullptr},
    {ZEVRA_ATTR_RECORD_COERCIONS, "Whether coerced values are recorded. This driver coerces no value, so there is never a record.", nullptr},
    {ZEVRA_ATTR_DRIVER_SETUP, "The DriverSetup text of the option string or the configuration store (for example \"Model=QDX7000\").", nullptr},
    {ZEVRA_ATTR_INTERCHANGE_CHECK, "Whether interchangeability is checked. Not supported: VI_TRUE is refused.", "VI_FALSE only"},
    {ZEVRA_ATTR_CHANNEL_COUNT, "The number of output channels.", "always 4"},
    {ZEVRA_ATTR_SPECIFIC_DRIVER_PREFIX, "The driver's prefix.", "\"ZEVRA\""},
    {ZEVRA_ATTR_IO_RESOURCE_DESCRIPTOR, "The VISA resource the session opened (a logical name resolved through the configuration store).", nullptr},
    {ZEVRA_ATTR_LOGICAL_NAME, "The logical name the session was opened by, or empty when it was opened by a resource.", nullptr},
    {ZEVRA_ATTR_SUPPORTED_INSTRUMENT_MODELS, "The instrument models the driver supports, separated by commas.", nullptr},
    {ZEVRA_ATTR_GROUP_CAPABILITIES, "The IviDCPwr class capability groups the driver implements, separated by commas.", nullptr},
    {ZEVRA_ATTR_INSTRUMENT_FIRMWARE_REVISION, "The instrument's firmware revision, the fourth field of its identity (\"*IDN?\"); \"Sim\" and the driver revision when simulating.", nullptr},
    {ZEVRA_ATTR_INSTRUMENT_MANUFACTURER, "The instrument's manufacturer, the first field of its identity (\"*IDN?\").", nullptr},
    {ZEVRA_ATTR_INSTRUMENT_MODEL, "The instrument's model, the second field of its identity, or the model DriverSetup or the configuration store chose.", nullptr},
    {ZEVRA_ATTR_SPECIFIC_DRIVER_VENDOR, "The driver's vendor.", nullptr},
    {ZEVRA_ATTR_SPECIFIC_DRIVER_DESCRIPTION, "A description of the driver.", nullptr},
    {ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION, "The major version of the IviDCPwr class specification the driver implements.", nullptr},
    {ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MINOR_VERSION, "The minor version of the IviDCPwr class specification the driver implements.", nullptr},
    {ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION, "The driver's revision.", nullptr},
    {ZEVRA_ATTR_SYSTEM_IO_SESSION, "The VISA session the driver talks to the instrument through, for direct I/O beside the driver. Not available when simulating.", nullptr},
    {ZEVRA_ATTR_SYSTEM_IO_TIMEOUT, "The VISA session's I/O timeout. Not available when simulating.", "milliseconds"},
    {ZEVRA_ATTR_DIGITAL_INHIBIT_MODE, "How the inhibit input of the digital port acts on the outputs: latching, live, or off.", nullptr},
    {ZEVRA_ATTR_DIGITAL_INPUT_DATA, "The levels of the digital port's input pins, one bit per pin.", "a bit mask, one bit per pin"},
    {ZEVRA_ATTR_DIGITAL_OUTPUT_DATA, "The levels the digital port's output pins drive, one bit per pin.", "a bit mask, one bit per pin"},
    {ZEVRA_ATTR_SELECTED_CHANNEL, "The channel the instrument's channel-less commands act on (\"INST:SEL\"); channel-based operations set it themselves.", nullptr},
    {ZEVRA_ATTR_BEGINNING_OF_STEP_TRIGGER_ENABLED, "Whether the selected list step sends a trigger out when it begins.", nullptr},
    {ZEVRA_ATTR_LIST_DWELL, "The dwell time of the selected list step.", "the instrument's units and range; passed unchanged"},
    {ZEVRA_ATTR_END_OF_STEP_TRIGGER_ENABLED, "Whether the selected list step sends a trigger out when it ends.", nullptr},
    {ZEVRA_ATTR_LIST_REPEAT_COUNT, "How many times the selected list runs.", "the instrument's range; passed unchanged"},
    {ZEVRA_ATTR_STEP_CURRENT, "The current of the selected list step.", "amperes; 0 to the module's maximum current: {A}"},
    {ZEVRA_ATTR_STEP_VOLTAGE, "The voltage of the selected list step.", "volts; 0 to the module's maximum voltage: {V}"},
    {ZEVRA_ATTR_NEXT_LIST, "The list that runs after the selected list ends.", "a list number of the instrument; passed unchanged"},
    {ZEVRA_ATTR_SELECTED_LIST, "The list that list commands and attributes act on.", "a list number of the instrument; passed unchanged"},
    {ZEVRA_ATTR_LIST_IS_RUNNING, "Whether a list is running.", nullptr},
    {ZEVRA_ATTR_LIST_PACE, "What advances a list from step to step: each step's dwell time, or a trigger.", nullptr},
    {ZEVRA_ATTR_SELECTED_STEP, "The step of the selected list that step attributes act on.", "a step number of the instrument; passed unchanged"},
    {ZEVRA_ATTR_LIST_TERMINATE_STATE, "What the output does when a list ends: returns to its DC settings or keeps the last step's.", nullptr},
    {ZEVRA_ATTR_LIST_TRIGGER_SOURCE, "What triggers the instrument: immediately (MANUAL, sent as \"IMM\"), a bus trigger such as \"*TRG\" (REMOTE, \"BUS\"), or the digital port (DIGITAL_IO, \"EXT\").", nullptr},
    {ZEVRA_ATTR_ALL_OUTPUTS_ENABLED, "Switches every output on or off at once.", nullptr},
    {ZEVRA_ATTR_OUTPUT_DELAY_RISE, "The delay before the selected output switches on.", "the instrument's units and range; passed unchanged"},
    {ZEVRA_ATTR_OUTPUT_DELAY_FALL, "The delay before the selected output switches off.", "the instrument's units and range; passed unchanged"},
    {ZEVRA_ATTR_OUTPUT_MODE, "How the outputs are combined: independent (normal), in parallel, in series, or tracking, over 2 to 4 channels.", nullptr},
    {ZEVRA_ATTR_OUTPUT_TIMER_ENABLED, "Whether the instrument's output timer is on.", nullptr},
    {ZEVRA_ATTR_OUTPUT_TIMER_DWELL, "The output timer's time.", "text in the instrument's format; passed unchanged"},
    {ZEVRA_ATTR_CURRENT_LEVEL, "The regulated current of the selected channel.", "amperes; 0 to the module's maximum current: {A}"},
    {ZEVRA_ATTR_OCP_ENABLED, "Whether overcurrent protection is on for the selected channel.", nullptr},
    {ZEVRA_ATTR_OCP_TRIPPED, "Whether the selected channel's overcurrent protection has tripped.", nullptr},
    {ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL, "The current at which the selected channel's overcurrent protection trips.", "amperes; 0 to the module's maximum current: {A}"},
    {ZEVRA_ATTR_CURRENT_SLEW_RATE, "How fast the selected channel's current changes to a new level.", "the instrument's units (amperes per time) and range; passed unchanged"},
    {ZEVRA_ATTR_VOLTAGE_MAXIMUM, "The highest voltage the selected channel may be set to.", "volts; 0 to the module's maximum voltage: {V}"},
    {ZEVRA_ATTR_VOLTAGE_MINIMUM, "The lowest voltage the selected channel may be set to.", "volts; 0 to the module's maximum voltage: {V}"},
    {ZEVRA_ATTR_OVP_TRIPPED, "Whether the selected channel's overvoltage protection has tripped.", nullptr},
    {ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL, "The voltage at which the selected channel's overvoltage protection trips.", "volts; 0 to the module's maximum voltage: {V}"},
    {ZEVRA_ATTR_VOLTAGE_SLEW_RATE, "How fast the selected channel's voltage changes to a new level.", "the instrument's units (volts per time) and range; passed unchanged"},
    {ZEVRA_ATTR_VOLTAGE_SENSE_ENABLED, "Whether the selected channel regulates at its remote sense terminals.", nullptr},
    {ZEVRA_ATTR_POWER_ON_STATUS_CLEAR_ENABLED, "Whether the instrument clears its status enable registers at power-on (\"*PSC\").", nullptr},
    {ZEVRA_ATTR_OPERATION_ENABLE_REGISTER, "Which operation status events are summarised in the status byte.", "a bit mask"},
    {ZEVRA_ATTR_OPERATION_EVENT_REGISTER, "The operation status events since the register was last read (reading clears it).", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_ENABLE_REGISTER, "Which questionable status events are summarised in the status byte.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_EVENT_REGISTER, "The questionable status events since the register was last read (reading clears it).", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_ENABLE_REGISTER, "Which channels' questionable summaries are summarised in the questionable status register.", "a bit mask, one bit per channel"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_EVENT_REGISTER, "Which channels have reported a questionable event since the register was last read.", "a bit mask, one bit per channel"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_CONDITION_REGISTER, "Channel 1's questionable state now: bit 0 constant current, bit 1 overvoltage, bit 2 unregulated.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_ENABLE_REGISTER, "Which of channel 1's questionable events are summarised.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_EVENT_REGISTER, "Channel 1's questionable events since the register was last read.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_CONDITION_REGISTER, "Channel 2's questionable state now: bit 0 constant current, bit 1 overvoltage, bit 2 unregulated.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_ENABLE_REGISTER, "Which of channel 2's questionable events are summarised.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_EVENT_REGISTER, "Channel 2's questionable events since the register was last read.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_CONDITION_REGISTER, "Channel 3's questionable state now: bit 0 constant current, bit 1 overvoltage, bit 2 unregulated.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_ENABLE_REGISTER, "Which of channel 3's questionable events are summarised.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_EVENT_REGISTER, "Channel 3's questionable events since the register was last read.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_CONDITION_REGISTER, "Channel 4's questionable state now: bit 0 constant current, bit 1 overvoltage, bit 2 unregulated.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_ENABLE_REGISTER, "Which of channel 4's questionable events are summarised.", "a bit mask"},
    {ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_EVENT_REGISTER, "Channel 4's questionable events since the register was last read.", "a bit mask"},
    {ZEVRA_ATTR_STANDARD_EVENT_ENABLE_REGISTER, "Which standard events (IEEE 488.2) are summarised in the status byte (\"*ESE\").", "a bit mask, 0 to 255"},
    {ZEVRA_ATTR_STANDARD_EVENT_EVENT_REGISTER, "The standard events (IEEE 488.2) since the register was last read (\"*ESR?\"; reading clears it). With query_instrument_status on, the driver's own checks read it too.", "a bit mask, 0 to 255"},
    {ZEVRA_ATTR_STATUS_BYTE_ENABLE_REGISTER, "Which status byte bits request service (\"*SRE\").", "a bit mask, 0 to 255"},
    {ZEVRA_ATTR_STATUS_BYTE_EVENT_REGISTER, "The instrument's status byte (\"*STB?\").", "a bit mask, 0 to 255"},
    {ZEVRA_ATTR_BEEPER_ENABLED, "Whether the instrument's beeper sounds.", nullptr},
    {ZEVRA_ATTR_SYSTEM_DATE, "The instrument's calendar date.", "text in the instrument's format (\"2026,12,7\"); passed unchanged"},
    {ZEVRA_ATTR_DISPLAY_ENABLED, "Whether the instrument's display is on.", nullptr},
    {ZEVRA_ATTR_LXI_IDENTIFY_ENABLED, "Whether the instrument shows its LXI identify indication.", nullptr},
    {ZEVRA_ATTR_MODULE_IDENTITY, "The model of the selected channel's output module (\"QDX7102\"...), which gives its ratings.", nullptr},
    {ZEVRA_ATTR_MODULE_SERIAL_NUMBER, "The serial number of the selected channel's output module.", nullptr},
    {ZEVRA_ATTR_MODULE_FIRMWARE_VERSION, "The firmware version of the selected channel's output module.", nullptr},
    {ZEVRA_ATTR_SYSTEM_TIME, "The instrument's time of day.", "text in the instrument's format; passed unchanged"},
    {ZEVRA_ATTR_REMOTE_STATE, "Whether the instrument is in remote, local, or remote with its front panel locked.", nullptr},
    {ZEVRA_ATTR_SCPI_VERSION, "The SCPI version the instrument reports.", nullptr},
    {ZEVRA_ATTR_TCP_CONTROL_PORT, "The TCP port of the instrument's control connection.", nullptr},
    {ZEVRA_ATTR_VOLTAGE_LEVEL, "The voltage the channel regulates to.", "volts; 0 to the module's maximum voltage: {V}"},
    {ZEVRA_ATTR_OVP_ENABLED, "Whether overvoltage protection is on. Always on with this instrument: VI_FALSE is refused.", "VI_TRUE only"},
    {ZEVRA_ATTR_OVP_LIMIT, "The voltage at which the channel's overvoltage protection trips (its voltage protection level).", "volts; 0 to the module's maximum voltage: {V}"},
    {ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, "What the current limit does: 0 regulates (the limit is the current level), 1 trips (the limit is the overcurrent protection level). Kept by the driver per channel.", "0 (regulate) or 1 (trip)"},
    {ZEVRA_ATTR_CURRENT_LIMIT, "The channel's current limit: its current level, or its overcurrent protection level when the behaviour is trip.", "amperes; 0 to the module's maximum current: {A}"},
    {ZEVRA_ATTR_OUTPUT_ENABLED, "Whether the channel's output is on.", nullptr},
    {ZEVRA_ATTR_TRIGGER_SOURCE, "What triggers the channel, mapped onto the instrument's trigger source: immediate, external (the digital port) or software (\"*TRG\"); other sources are refused.", "ZEVRA_VAL_TRIG_IMMEDIATE, ZEVRA_VAL_TRIG_EXTERNAL or ZEVRA_VAL_SOFTWARE_TRIG"},
    {ZEVRA_ATTR_TRIGGERED_CURRENT_LIMIT, "The current limit a trigger applies. Not supported by the instrument.", nullptr},
    {ZEVRA_ATTR_TRIGGERED_VOLTAGE_LEVEL, "The voltage level a trigger applies. Not supported by the instrument.", nullptr},
};
// clang-format on

std::string Number(ViReal64 value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// "15 V (QDX7101, QDX7301), 32 V (...)": each distinct rating with the modules that have it.
std::string Ratings(ViReal64 zevra::ModuleRating::*field, const char* unit) {
  std::map<ViReal64, std::string> models;
  for (const zevra::ModuleRating& rating : zevra::ModuleRatings()) {
    std::string& list = models[rating.*field];
    list += (list.empty() ? "" : ", ") + std::string(rating.model);
  }
  std::string text;
  for (const auto& [value, list] : models)
    text += (text.empty() ? "" : ", ") + Number(value) + " " + unit + " (" + list + ")";
  return text;
}

std::string Expanded(const char* text) {
  std::string out = text;
  for (const auto& [mark, ratings] : {std::pair{std::string(kVoltageRatings), Ratings(&zevra::ModuleRating::max_voltage, "V")},
                                      std::pair{std::string(kCurrentRatings), Ratings(&zevra::ModuleRating::max_current, "A")}}) {
    for (std::size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at + ratings.size()))
      out.replace(at, mark.size(), ratings);
  }
  return out;
}

}  // namespace

const AttributeHelp* FindAttributeHelp(ViAttr id) {
  static const std::map<ViAttr, AttributeHelp> table = [] {
    std::map<ViAttr, AttributeHelp> m;
    for (const Row& row : kRows) m[row.id] = {row.meaning, row.values == nullptr ? std::string() : Expanded(row.values)};
    return m;
  }();
  auto it = table.find(id);
  return it == table.end() ? nullptr : &it->second;
}

std::string AttributesWithoutHelp() {
  std::string missing;
  for (const auto& [id, registered] : zevra::AttributeRegistry())
    if (FindAttributeHelp(id) == nullptr) missing += (missing.empty() ? "" : ", ") + std::string(registered.descriptor.name);
  return missing;
}

}  // namespace reference_docs
