// SPDX-License-Identifier: MIT
#include "attribute_behaviors.h"

#include "ZEVRA.h"
#include "enum_maps.h"
#include "special_attributes.h"

namespace zevra {
namespace {

// clang-format off
constexpr AttributeBehavior kBehaviors[] = {
    // Inherent attributes: the session's own state.
    {.id = ZEVRA_ATTR_RANGE_CHECK, .read = ReadInherentFlag, .write = WriteInherentFlag},
    {.id = ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS, .read = ReadInherentFlag, .write = WriteInherentFlag},
    {.id = ZEVRA_ATTR_CACHE, .read = ReadInherentFlag, .write = WriteInherentFlag},
    {.id = ZEVRA_ATTR_SIMULATE, .read = ReadInherentFlag, .write = WriteInherentFlag},
    {.id = ZEVRA_ATTR_RECORD_COERCIONS, .read = ReadInherentFlag, .write = WriteInherentFlag},
    {.id = ZEVRA_ATTR_INTERCHANGE_CHECK, .read = ReadInherentFlag, .write = WriteInherentFlag},
    {.id = ZEVRA_ATTR_DRIVER_SETUP, .read = ReadSessionText},
    {.id = ZEVRA_ATTR_IO_RESOURCE_DESCRIPTOR, .read = ReadSessionText},
    {.id = ZEVRA_ATTR_LOGICAL_NAME, .read = ReadSessionText},
    {.id = ZEVRA_ATTR_INSTRUMENT_FIRMWARE_REVISION, .read = ReadSessionText},
    {.id = ZEVRA_ATTR_INSTRUMENT_MANUFACTURER, .read = ReadSessionText},
    {.id = ZEVRA_ATTR_INSTRUMENT_MODEL, .read = ReadSessionText},
    {.id = ZEVRA_ATTR_CHANNEL_COUNT, .read = ReadChannelCount},
    {.id = ZEVRA_ATTR_SPECIFIC_DRIVER_PREFIX, .read = ReadDriverIdentity, .framing = vexo::Framing::kNoSession},
    {.id = ZEVRA_ATTR_SUPPORTED_INSTRUMENT_MODELS, .read = ReadDriverIdentity, .framing = vexo::Framing::kNoSession},
    {.id = ZEVRA_ATTR_GROUP_CAPABILITIES, .read = ReadDriverIdentity, .framing = vexo::Framing::kNoSession},
    {.id = ZEVRA_ATTR_SPECIFIC_DRIVER_VENDOR, .read = ReadDriverIdentity, .framing = vexo::Framing::kNoSession},
    {.id = ZEVRA_ATTR_SPECIFIC_DRIVER_DESCRIPTION, .read = ReadDriverIdentity, .framing = vexo::Framing::kNoSession},
    {.id = ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION, .read = ReadDriverIdentity, .framing = vexo::Framing::kNoSession},
    {.id = ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MINOR_VERSION, .read = ReadDriverIdentity, .framing = vexo::Framing::kNoSession},
    {.id = ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION, .read = ReadDriverIdentity, .framing = vexo::Framing::kNoSession},

    // Direct I/O.
    {.id = ZEVRA_ATTR_SYSTEM_IO_SESSION, .read = ReadIoSession},
    {.id = ZEVRA_ATTR_SYSTEM_IO_TIMEOUT, .read = ReadIoTimeout, .write = WriteIoTimeout},

    // Digital I/O and inhibit.
    {.id = ZEVRA_ATTR_DIGITAL_INHIBIT_MODE, .query = "OUTP:INH:MODE?\n", .command = "OUTP:INH:MODE %s\n", .map = InhibitModeMap},
    {.id = ZEVRA_ATTR_DIGITAL_INPUT_DATA, .query = "DIG:INP:DATA?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_DIGITAL_OUTPUT_DATA, .query = "DIG:OUTP:DATA?\n", .command = "DIG:OUTP:DATA %ld\n"},

    // Channel selection.
    {.id = ZEVRA_ATTR_SELECTED_CHANNEL, .query = "INST:SEL?\n", .command = "INST:SEL %s\n", .map = ChannelMap},

    // List mode.
    {.id = ZEVRA_ATTR_BEGINNING_OF_STEP_TRIGGER_ENABLED, .query = "LIST:TOUT:BOST:DATA?\n", .command = "LIST:TOUT:BOST:DATA %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_LIST_DWELL, .query = "LIST:DWEL?\n", .command = "LIST:DWEL %ld\n"},
    {.id = ZEVRA_ATTR_END_OF_STEP_TRIGGER_ENABLED, .query = "LIST:TOUT:EOST:DATA?\n", .command = "LIST:TOUT:EOST:DATA %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_LIST_REPEAT_COUNT, .query = "LIST:COUN?\n", .command = "LIST:COUN %ld\n"},
    {.id = ZEVRA_ATTR_STEP_CURRENT, .query = "LIST:CURR?\n", .command = "LIST:CURR %0.15lg\n"},
    {.id = ZEVRA_ATTR_STEP_VOLTAGE, .query = "LIST:VOLT?\n", .command = "LIST:VOLT %0.15lg\n"},
    {.id = ZEVRA_ATTR_NEXT_LIST, .query = "LIST:NEXT?\n", .command = "LIST:NEXT %ld\n"},
    {.id = ZEVRA_ATTR_SELECTED_LIST, .query = "LIST:NUMB?\n", .command = "LIST:NUMB %ld\n"},
    {.id = ZEVRA_ATTR_LIST_IS_RUNNING, .query = "LIST:STAT?\n", .map = BooleanMap, .simulated = Always(VI_TRUE)},
    {.id = ZEVRA_ATTR_LIST_PACE, .query = "LIST:STEP?\n", .command = "LIST:STEP %s\n", .map = ListPaceMap},
    {.id = ZEVRA_ATTR_SELECTED_STEP, .query = "LIST:STEP:NUMB?\n", .command = "LIST:STEP:NUMB %ld\n"},
    {.id = ZEVRA_ATTR_LIST_TERMINATE_STATE, .query = "LIST:TERM:LAST?\n", .command = "LIST:TERM:LAST %s\n", .map = ListTerminateStateMap},
    {.id = ZEVRA_ATTR_LIST_TRIGGER_SOURCE, .query = "TRIG:SEQ:SOUR?\n", .command = "TRIG:SEQ:SOUR %s\n", .map = SpecificTriggerSourceMap},

    // Output state and modes.
    {.id = ZEVRA_ATTR_ALL_OUTPUTS_ENABLED, .command = "OUTP:ALL:STATE %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_OUTPUT_DELAY_RISE, .query = "OUTP:DEL:RISE?\n", .command = "OUTP:DEL:RISE %ld\n"},
    {.id = ZEVRA_ATTR_OUTPUT_DELAY_FALL, .query = "OUTP:DEL:FALL?\n", .command = "OUTP:DEL:FALL %ld\n"},
    {.id = ZEVRA_ATTR_OUTPUT_MODE, .query = "OUTP:PAIR?\n", .command = "OUTP:PAIR %s\n", .map = OutputModeMap},
    {.id = ZEVRA_ATTR_OUTPUT_TIMER_ENABLED, .query = "OUTP:TIM?\n", .command = "OUTP:TIM %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_OUTPUT_TIMER_DWELL, .query = "OUTP:TIM:COUN?\n", .command = "OUTP:TIM:COUN %s\n", .simulated = CachedElseText("0")},

    // Levels and protection of the selected channel.
    {.id = ZEVRA_ATTR_CURRENT_LEVEL, .query = ":CURR?\n", .command = ":CURR %0.15lg\n"},
    {.id = ZEVRA_ATTR_OCP_ENABLED, .query = ":CURR:PROT:STAT?\n", .command = ":CURR:PROT:STAT %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_OCP_TRIPPED, .query = ":CURR:PROT:TRIP?\n", .map = BooleanMap, .simulated = Always(VI_TRUE)},
    {.id = ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL, .query = ":CURR:PROT?\n", .command = ":CURR:PROT %0.15lg\n"},
    {.id = ZEVRA_ATTR_CURRENT_SLEW_RATE, .query = ":CURR:SLOPE?\n", .command = ":CURR:SLOPE %0.15lg\n"},
    {.id = ZEVRA_ATTR_VOLTAGE_MAXIMUM, .query = "VOLT:MAX?\n", .command = "VOLT:MAX %0.15lg\n"},
    {.id = ZEVRA_ATTR_VOLTAGE_MINIMUM, .query = "VOLT:MIN?\n", .command = "VOLT:MIN %0.15lg\n"},
    {.id = ZEVRA_ATTR_OVP_TRIPPED, .query = ":VOLT:PROT:TRIP?\n", .map = BooleanMap, .simulated = Always(VI_TRUE)},
    {.id = ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL, .query = ":VOLT:PROT?\n", .command = ":VOLT:PROT %0.15lg\n"},
    {.id = ZEVRA_ATTR_VOLTAGE_SLEW_RATE, .query = "VOLT:SLOP?\n", .command = "VOLT:SLOP %0.15lg\n"},
    {.id = ZEVRA_ATTR_VOLTAGE_SENSE_ENABLED, .query = ":VOLT:SENS?\n", .command = ":VOLT:SENS %s\n", .map = BooleanMap},

    // Status registers.
    {.id = ZEVRA_ATTR_POWER_ON_STATUS_CLEAR_ENABLED, .query = "*PSC?\n", .command = "*PSC %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_OPERATION_ENABLE_REGISTER, .query = "STAT:OPER:ENAB?\n", .command = "STAT:OPER:ENAB %ld\n"},
    {.id = ZEVRA_ATTR_OPERATION_EVENT_REGISTER, .query = "STAT:OPER:EVEN?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_ENABLE_REGISTER, .query = "STAT:QUES:ENAB?\n", .command = "STAT:QUES:ENAB %ld\n"},
    {.id = ZEVRA_ATTR_QUESTIONABLE_EVENT_REGISTER, .query = "STAT:QUES:EVEN?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_ENABLE_REGISTER, .query = "STAT:QUES:INST:ENAB?\n", .command = "STAT:QUES:INST:ENAB %ld\n"},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_EVENT_REGISTER, .query = "STAT:QUES:INST?\n", .simulated = Always(2)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_CONDITION_REGISTER, .query = "STAT:QUES:ISUM1:COND?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_ENABLE_REGISTER, .query = "STAT:QUES:ISUM1:ENAB?\n", .command = "STAT:QUES:ISUM1:ENAB %ld\n"},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_EVENT_REGISTER, .query = "STAT:QUES:ISUM1?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_CONDITION_REGISTER, .query = "STAT:QUES:ISUM2:COND?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_ENABLE_REGISTER, .query = "STAT:QUES:ISUM2:ENAB?\n", .command = "STAT:QUES:ISUM2:ENAB %ld\n"},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_EVENT_REGISTER, .query = "STAT:QUES:ISUM2?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_CONDITION_REGISTER, .query = "STAT:QUES:ISUM3:COND?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_ENABLE_REGISTER, .query = "STAT:QUES:ISUM3:ENAB?\n", .command = "STAT:QUES:ISUM3:ENAB %ld\n"},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_EVENT_REGISTER, .query = "STAT:QUES:ISUM3?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_CONDITION_REGISTER, .query = "STAT:QUES:ISUM4:COND?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_ENABLE_REGISTER, .query = "STAT:QUES:ISUM4:ENAB?\n", .command = "STAT:QUES:ISUM4:ENAB %ld\n"},
    {.id = ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_EVENT_REGISTER, .query = "STAT:QUES:ISUM4?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_STANDARD_EVENT_ENABLE_REGISTER, .query = "*ESE?\n", .command = "*ESE %ld\n"},
    {.id = ZEVRA_ATTR_STANDARD_EVENT_EVENT_REGISTER, .query = "*ESR?\n", .simulated = Always(0)},
    {.id = ZEVRA_ATTR_STATUS_BYTE_ENABLE_REGISTER, .query = "*SRE?\n", .command = "*SRE %ld\n"},
    {.id = ZEVRA_ATTR_STATUS_BYTE_EVENT_REGISTER, .query = "*STB?\n", .simulated = Always(0)},

    // System settings.
    {.id = ZEVRA_ATTR_BEEPER_ENABLED, .query = "SYST:BEEP:STAT?\n", .command = "SYST:BEEP:STAT %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_SYSTEM_DATE, .query = "SYST:DATE?\n", .command = "SYST:DATE %s\n"},
    {.id = ZEVRA_ATTR_DISPLAY_ENABLED, .query = "DISP:WIND:STAT?\n", .command = "DISP:WIND:STAT %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_LXI_IDENTIFY_ENABLED, .query = "LXI:IDEN:STAT?\n", .command = "LXI:IDEN:STAT %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_MODULE_IDENTITY, .query = "SYST:CHAN:MOD?\n", .simulated = AlwaysText("")},
    {.id = ZEVRA_ATTR_MODULE_SERIAL_NUMBER, .query = "SYST:CHAN:SERI?\n", .simulated = AlwaysText("")},
    {.id = ZEVRA_ATTR_MODULE_FIRMWARE_VERSION, .query = "SYST:CHAN:VERS?\n", .simulated = AlwaysText("")},
    {.id = ZEVRA_ATTR_SYSTEM_TIME, .query = "SYST:TIME?\n", .command = "SYST:TIME %s\n", .simulated = AlwaysText("0")},
    {.id = ZEVRA_ATTR_REMOTE_STATE, .query = "SYST:COMM:RLST?\n", .command = "SYST:COMM:RLST %s\n", .map = RemoteStateMap},
    {.id = ZEVRA_ATTR_SCPI_VERSION, .query = "SYST:VERS?\n", .simulated = AlwaysText("")},
    {.id = ZEVRA_ATTR_TCP_CONTROL_PORT, .query = "SYST:COMM:TCP:CONT?\n", .simulated = Always(0)},

    // Class attributes, channel-based.
    {.id = ZEVRA_ATTR_VOLTAGE_LEVEL, .query = ":VOLT?\n", .command = ":VOLT %0.15lg\n"},
    {.id = ZEVRA_ATTR_OVP_ENABLED, .read = ReadOvpEnabled, .write = WriteOvpEnabled},
    {.id = ZEVRA_ATTR_OVP_LIMIT, .read = ReadOvpLimit, .write = WriteOvpLimit, .framing = vexo::Framing::kOwnNullCheck},
    {.id = ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, .read = ReadCurrentLimitBehavior, .write = WriteCurrentLimitBehavior},
    {.id = ZEVRA_ATTR_CURRENT_LIMIT, .read = ReadCurrentLimit, .write = WriteCurrentLimit},
    {.id = ZEVRA_ATTR_OUTPUT_ENABLED, .query = "OUTP:STAT?\n", .command = "OUTP:STAT %s\n", .map = BooleanMap},
    {.id = ZEVRA_ATTR_TRIGGER_SOURCE, .read = ReadTriggerSource, .write = WriteTriggerSource},
    {.id = ZEVRA_ATTR_TRIGGERED_CURRENT_LIMIT, .read = ReadNotSupported, .write = WriteNotSupported, .framing = vexo::Framing::kNoSelector},
    {.id = ZEVRA_ATTR_TRIGGERED_VOLTAGE_LEVEL, .read = ReadNotSupported, .write = WriteNotSupported, .framing = vexo::Framing::kNoSelector},
};
// clang-format on

}  // namespace

std::span<const AttributeBehavior> AttributeBehaviors() { return kBehaviors; }

}  // namespace zevra
