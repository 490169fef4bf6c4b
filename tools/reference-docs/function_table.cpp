// SPDX-License-Identifier: MIT
#include "function_table.h"

namespace reference_docs {
namespace {

// The statuses several functions return of their own.
constexpr const char* kOpening =
    "IVI_ERROR_BAD_OPTION_NAME, IVI_ERROR_BAD_OPTION_VALUE, IVI_ERROR_ID_QUERY_FAILED, a configuration store status";
constexpr const char* kDirectIo =
    "ZEVRA_ERROR_IO (in simulation), a VISA status (VI_ERROR_TMO, VI_ERROR_CONN_LOST, ...)";
constexpr const char* kReading =
    "IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH, IVI_ERROR_IVI_ATTR_NOT_READABLE";
constexpr const char* kWriting =
    "IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH, IVI_ERROR_IVI_ATTR_NOT_WRITABLE";
constexpr const char* kNotSupported = "IVI_ERROR_FUNCTION_NOT_SUPPORTED";
constexpr const char* kRefusedValue = "IVI_ERROR_VALUE_NOT_SUPPORTED";
constexpr const char* kInvalidValue = "IVI_ERROR_INVALID_VALUE";
constexpr const char* kOddReply = "IVI_ERROR_UNEXPECTED_RESPONSE";

// clang-format off
constexpr FunctionRow kFunctions[] = {
    {"Session life", "ZEVRA_init",
     "ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset, ViSession *Vi",
         "Opens a session. ResourceName is a VISA resource descriptor\n"
         "(\"TCPIP0::192.168.1.20::5025::SOCKET\") or a logical name of the IVI\n"
         "configuration store. With IdQuery VI_TRUE the instrument's model must be\n"
         "QDX7000 or QDX7001. A non-zero Reset resets the instrument after opening.\n"
         "On failure *Vi is 0 and ZEVRA_GetError(VI_NULL, ...) describes why.",
     kOpening, Io::kTalks},
    {"Session life", "ZEVRA_InitWithOptions",
     "ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset, ViConstString OptionString, ViSession *Vi",
         "As ZEVRA_init, with an option string: any of\n"
         "\"Simulate=1, Cache=1, RangeCheck=1, QueryInstrStatus=1, RecordCoercions=0,\n"
         " InterchangeCheck=0\" (values true/false, 1/0, VI_TRUE/VI_FALSE; names and\n"
         "values in any case), optionally ending with \"DriverSetup=Model=QDX7000\".",
     kOpening, Io::kTalks},
    {"Session life", "ZEVRA_close",
     "ViSession Vi",
         "Closes the session and its I/O; the handle answers\n"
         "IVI_ERROR_INVALID_SESSION_HANDLE afterwards. Calls already running on other\n"
         "threads (and a lock another thread holds) finish first; calls that start\n"
         "after the close began are refused."},
    {"Inherent utilities", "ZEVRA_reset",
     "ViSession Vi",
         "\"*RST\", \"*OPC?\" and the status check; empties the attribute cache."},
    {"Inherent utilities", "ZEVRA_ResetWithDefaults",
     "ViSession Vi",
         "Reset, then the six inherent options return to their values after opening."},
    {"Inherent utilities", "ZEVRA_Disable",
     "ViSession Vi",
         "Puts the instrument in a safe state (\"*RST\"); the cache is kept."},
    {"Inherent utilities", "ZEVRA_self_test",
     "ViSession Vi, ViInt16 *TestResult, ViChar TestMessage[]",
         "\"*TST?\": TestResult 0 and \"Selftest passed\", or the instrument's code and\n"
         "\"Selftest failed\". TestMessage holds 256 bytes."},
    {"Inherent utilities", "ZEVRA_error_query",
     "ViSession Vi, ViInt32 *ErrorCode, ViChar ErrorMessage[]",
         "One entry of the instrument's error queue (\":SYST:ERR?\"): its code and\n"
         "message without quotes. ErrorMessage holds 256 bytes."},
    {"Inherent utilities", "ZEVRA_revision_query",
     "ViSession Vi, ViChar DriverRev[], ViChar InstrRev[]",
         "Driver revision and the instrument's firmware revision, 256 bytes each."},
    {"Inherent utilities", "ZEVRA_LockSession",
     "ViSession Vi, ViBoolean *CallerHasLock",
         "Hold the session lock across several calls. With a non-null CallerHasLock\n"
         "the lock is taken only when *CallerHasLock is VI_FALSE (and released only\n"
         "when it is VI_TRUE), and the flag is updated."},
    {"Inherent utilities", "ZEVRA_UnlockSession",
     "ViSession Vi, ViBoolean *CallerHasLock",
         "Releases the lock ZEVRA_LockSession took; with CallerHasLock, only when *CallerHasLock is\n"
         "VI_TRUE, which it then sets to VI_FALSE.",
     "0xBFFA1191 (this thread does not hold the lock)"},
    {"Inherent utilities", "ZEVRA_InvalidateAllAttributes",
     "ViSession Vi",
         "Empties the attribute cache."},
    {"Direct I/O (refused in simulation with ZEVRA_ERROR_IO)", "ZEVRA_viWrite",
     "ViSession Vi, ViInt64 BufferSize, ViConstString Buffer, ViInt64 *ReturnCount",
         "Sends BufferSize bytes of Buffer to the instrument as they are (any byte, NUL included), ending\n"
         "the message; ReturnCount receives how many were sent (it may be VI_NULL).",
     kDirectIo, Io::kDirect},
    {"Direct I/O (refused in simulation with ZEVRA_ERROR_IO)", "ZEVRA_viRead",
     "ViSession Vi, ViInt64 BufferSize, ViChar Buffer[], ViInt64 *ReturnCount",
         "Reads one response; when Buffer is too small the rest of that response is\n"
         "read and discarded, so the next read starts a fresh one.",
     kDirectIo, Io::kDirect},
    {"Errors", "ZEVRA_GetError",
     "ViSession Vi, ViStatus *ErrorCode, ViInt32 ErrorDescriptionBufferSize, ViChar ErrorDescription[]",
         "The error recorded on the session (Vi 0: the calling thread's last error),\n"
         "then cleared. BufferSize 0 returns the size needed and clears nothing; a\n"
         "smaller buffer gets a truncated text and the size needed as result."},
    {"Errors", "ZEVRA_ClearError",
     "ViSession Vi",
         "Clears the error ZEVRA_GetError would return for the session (Vi 0: for this thread)."},
    {"Errors", "ZEVRA_error_message",
     "ViSession Vi, ViStatus ErrorCode, ViChar ErrorMessage[]",
         "The message template of one of the status codes above (256 bytes).",
     kInvalidValue},
    {"Attribute access", "ZEVRA_GetAttributeViInt32",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViInt32 *AttributeValue",
         "RepCapIdentifier names the channel of a channel-based attribute (\"CH1\", a\n"
         "virtual name from the configuration store, or several for a write:\n"
         "\"CH1,CH3\", \"CH1-CH4\"); other attributes ignore it. The type of the function\n"
         "must be the attribute's type.\n"
         "ZEVRA_GetAttributeViString follows the IVI buffer rules: size 0 returns\n"
         "4096; a value that filled the buffer returns 4096 (it may have been cut).",
     kReading, Io::kTalks},
    {"Attribute access", "ZEVRA_GetAttributeViReal64",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViReal64 *AttributeValue",
         "Reads a ViReal64 attribute into *AttributeValue; RepCapIdentifier names the channel of a\n"
         "channel-based attribute (\"\" for an instrument-wide one).",
     kReading, Io::kTalks},
    {"Attribute access", "ZEVRA_GetAttributeViBoolean",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViBoolean *AttributeValue",
         "Reads a ViBoolean attribute into *AttributeValue; RepCapIdentifier names the channel of a\n"
         "channel-based attribute (\"\" for an instrument-wide one).",
     kReading, Io::kTalks},
    {"Attribute access", "ZEVRA_GetAttributeViSession",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViSession *AttributeValue",
         "Reads a ViSession attribute into *AttributeValue; RepCapIdentifier names the channel of a\n"
         "channel-based attribute (\"\" for an instrument-wide one).",
     kReading, Io::kTalks},
    {"Attribute access", "ZEVRA_GetAttributeViString",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]",
         "Reads a ViString attribute into AttributeValue, at most AttributeValueBufferSize bytes with the\n"
         "terminating NUL; returns the size the whole value needs when the buffer is too small (0 size:\n"
         "only the size).",
     kReading, Io::kTalks},
    {"Attribute access", "ZEVRA_SetAttributeViInt32",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViInt32 AttributeValue",
         "Writes a ViInt32 attribute; RepCapIdentifier names the channel (or channels) of a channel-based\n"
         "attribute (\"\" for an instrument-wide one).",
     kWriting, Io::kTalks},
    {"Attribute access", "ZEVRA_SetAttributeViReal64",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViReal64 AttributeValue",
         "Writes a ViReal64 attribute; RepCapIdentifier names the channel (or channels) of a channel-based\n"
         "attribute (\"\" for an instrument-wide one).",
     kWriting, Io::kTalks},
    {"Attribute access", "ZEVRA_SetAttributeViBoolean",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViBoolean AttributeValue",
         "Writes a ViBoolean attribute; RepCapIdentifier names the channel (or channels) of a\n"
         "channel-based attribute (\"\" for an instrument-wide one).",
     kWriting, Io::kTalks},
    {"Attribute access", "ZEVRA_SetAttributeViSession",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViSession AttributeValue",
         "Writes a ViSession attribute; RepCapIdentifier names the channel (or channels) of a\n"
         "channel-based attribute (\"\" for an instrument-wide one).",
     kWriting, Io::kTalks},
    {"Attribute access", "ZEVRA_SetAttributeViString",
     "ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID, ViConstString AttributeValue",
         "Writes a ViString attribute; RepCapIdentifier names the channel (or channels) of a channel-based\n"
         "attribute (\"\" for an instrument-wide one).",
     kWriting, Io::kTalks},
    {"Attribute access", "ZEVRA_GetChannelName",
     "ViSession Vi, ViInt32 Index, ViInt32 NameBufferSize, ViChar Name[]",
         "The physical name of output channel Index (1 to 4): \"CH1\" ... \"CH4\".",
     kInvalidValue},
    {"Coercion records and interchange warnings", "ZEVRA_GetNextCoercionRecord",
     "ViSession Vi, ViInt32 BufferSize, ViChar CoercionRecord[]",
         "The driver never coerces a value: the queue is always empty."},
    {"Coercion records and interchange warnings", "ZEVRA_ClearInterchangeWarnings",
     "ViSession Vi",
         "Interchange checking is not supported: these answer IVI_ERROR_FUNCTION_NOT_SUPPORTED.",
     kNotSupported},
    {"Coercion records and interchange warnings", "ZEVRA_GetNextInterchangeWarning",
     "ViSession Vi, ViInt32 BufferSize, ViChar InterchangeWarning[]",
         "Not supported: the driver does not check interchangeability (IVI_ERROR_FUNCTION_NOT_SUPPORTED).",
     kNotSupported},
    {"Coercion records and interchange warnings", "ZEVRA_ResetInterchangeCheck",
     "ViSession Vi",
         "Not supported: the driver does not check interchangeability (IVI_ERROR_FUNCTION_NOT_SUPPORTED).",
     kNotSupported},
    {"Output levels and protection", "ZEVRA_ConfigureVoltageLevel",
     "ViSession Vi, ViConstString ChannelName, ViReal64 Level",
         "ChannelName is a channel selector (\"CH1\", \"CH1,CH3\", \"CH1-CH4\", a virtual name)."},
    {"Output levels and protection", "ZEVRA_ConfigureCurrentLimit",
     "ViSession Vi, ViConstString ChannelName, ViInt32 Behavior, ViReal64 Limit",
         "Behavior 1 (trip): the limit is the overcurrent protection level; otherwise\n"
         "the regulated current level."},
    {"Output levels and protection", "ZEVRA_ConfigureOVP",
     "ViSession Vi, ViConstString ChannelName, ViBoolean Enabled, ViReal64 Limit",
         "Overvoltage protection is always on: Enabled must be VI_TRUE.",
     kRefusedValue},
    {"Output levels and protection", "ZEVRA_QueryMaxCurrentLimit",
     "ViSession Vi, ViConstString ChannelName, ViReal64 VoltageLevel, ViReal64 *MaxCurrentLimit",
         "From the ratings of the channel's module.",
     kOddReply},
    {"Output levels and protection", "ZEVRA_QueryMaxVoltageLevel",
     "ViSession Vi, ViConstString ChannelName, ViReal64 CurrentLimit, ViReal64 *MaxVoltageLevel",
         "The highest voltage the channel's module allows at CurrentLimit, from its ratings\n"
         "(\"SYST:CHAN:MOD?\" names the module).",
     kOddReply},
    {"Output levels and protection", "ZEVRA_ResetOutputProtection",
     "ViSession Vi, ViConstString ChannelName",
         "Clears the protection of each channel named."},
    {"Output levels and protection", "ZEVRA_ClearOCP",
     "ViSession Vi",
         "These act on the instrument's selected channel."},
    {"Output levels and protection", "ZEVRA_ClearOVP",
     "ViSession Vi",
         "Clears a tripped overvoltage protection (\":VOLT:PROT:CLE\")."},
    {"Output levels and protection", "ZEVRA_ClearProtectionErrors",
     "ViSession Vi",
         "Clears the protection errors of the outputs (\"OUTP:PROT:CLE\")."},
    {"Output state, range and modes", "ZEVRA_ConfigureOutputEnabled",
     "ViSession Vi, ViConstString ChannelName, ViBoolean Enabled",
         "Switches the output of each channel named on (Enabled VI_TRUE) or off (\"OUTP:STAT\")."},
    {"Output state, range and modes", "ZEVRA_ConfigureOutputRange",
     "ViSession Vi, ViConstString ChannelName, ViInt32 RangeType, ViReal64 Range",
         "Checks that Range is reachable on each channel (RangeType 0 current, 1\n"
         "voltage); the instrument has no ranges to switch.",
     kInvalidValue},
    {"Output state, range and modes", "ZEVRA_QueryOutputState",
     "ViSession Vi, ViConstString ChannelName, ViInt32 OutputState, ViBoolean *InState",
         "Whether the channel is in OutputState (ZEVRA_VAL_OUTPUT_...), from its own\n"
         "questionable-instrument summary condition register.",
     kRefusedValue},
    {"Triggering", "ZEVRA_ConfigureTriggerSource",
     "ViSession Vi, ViConstString ChannelName, ViInt32 Source",
         "Sets what triggers the channel: ZEVRA_VAL_TRIG_IMMEDIATE, ZEVRA_VAL_TRIG_EXTERNAL (the digital\n"
         "port) or ZEVRA_VAL_SOFTWARE_TRIG (\"*TRG\"), sent as the instrument's trigger source\n"
         "(\"TRIG:SEQ:SOUR\"); other sources are refused.",
     kRefusedValue},
    {"Triggering", "ZEVRA_ConfigureTriggeredCurrentLimit",
     "ViSession Vi, ViConstString ChannelName, ViReal64 Limit",
         "Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED.",
     kNotSupported},
    {"Triggering", "ZEVRA_ConfigureTriggeredVoltageLevel",
     "ViSession Vi, ViConstString ChannelName, ViReal64 Level",
         "Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED.",
     kNotSupported},
    {"Triggering", "ZEVRA_Initiate",
     "ViSession Vi",
         "Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED.",
     kNotSupported},
    {"Triggering", "ZEVRA_Abort",
     "ViSession Vi",
         "Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED.",
     kNotSupported},
    {"Triggering", "ZEVRA_SendSoftwareTrigger",
     "ViSession Vi",
         "\"*TRG\", whatever the trigger source."},
    {"Triggering", "ZEVRA_GenerateImmediateTrigger",
     "ViSession Vi",
         "Triggers the instrument now (\"*TRG\")."},
    {"Measurement", "ZEVRA_Measure",
     "ViSession Vi, ViConstString ChannelName, ViInt32 MeasurementType, ViReal64 *Measurement",
         "Measures the channel's output voltage (volts) or current (amperes) as MeasurementType says\n"
         "(\"MEAS:VOLT?\", \"MEAS:CURR?\").",
     kRefusedValue},
    {"Measurement", "ZEVRA_MeasureVoltage",
     "ViSession Vi, ViReal64 *Val",
         "These measure the instrument's selected channel."},
    {"Measurement", "ZEVRA_MeasureCurrent",
     "ViSession Vi, ViReal64 *Val",
         "The output current of the instrument's selected channel, in amperes (\"MEAS:CURR?\")."},
    {"Measurement", "ZEVRA_MeasurePower",
     "ViSession Vi, ViReal64 *Val",
         "The output power of the instrument's selected channel, in watts (\"MEAS:POW?\")."},
    {"Measurement", "ZEVRA_MeasureSelectedChannel",
     "ViSession Vi, ViReal64 *Voltage, ViReal64 *Current, ViReal64 *Power",
         "Voltage (volts), current (amperes) and power (watts) of the instrument's selected channel, in\n"
         "one exchange (\"MEAS:ALL?\")."},
    {"Measurement", "ZEVRA_MeasureAllChannels",
     "ViSession Vi, ViInt32 VoltagesBufferSize, ViReal64 Voltages[], ViInt32 *VoltagesActualSize, ViInt32 CurrentsBufferSize, ViReal64 Currents[], ViInt32 *CurrentsActualSize, ViInt32 PowersBufferSize, ViReal64 Powers[], ViInt32 *PowersActualSize",
         "Voltage, current and power of every channel; each array is filled up to its\n"
         "buffer size (a negative size counts as 0) and its actual size says how many\n"
         "values it received.",
     kOddReply},
    {"List mode", "ZEVRA_ClearList",
     "ViSession Vi",
         "Clears the steps of the selected list (\"LIST:CLE\")."},
    {"List mode", "ZEVRA_DeleteSelectedList",
     "ViSession Vi, ViInt32 ListNumber",
         "Deletes list ListNumber (\"LIST:DEL\")."},
    {"List mode", "ZEVRA_SaveListData",
     "ViSession Vi",
         "Saves the selected list in the instrument's memory (\"LIST:SAVE\")."},
    {"List mode", "ZEVRA_EnableList",
     "ViSession Vi, ViInt32 ListNumber",
         "Puts the outputs in list mode, running list ListNumber (\"OUTP:MODE LIST,n\")."},
    {"List mode", "ZEVRA_DisableList",
     "ViSession Vi",
         "Returns the outputs from list mode to fixed levels (\"OUTP:MODE FIX\")."},
    {"List mode", "ZEVRA_StartList",
     "ViSession Vi, ViInt32 Channel",
         "Channel is ZEVRA_VAL_CHANNEL1 .. ZEVRA_VAL_CHANNEL4."},
    {"List mode", "ZEVRA_StartListContinuous",
     "ViSession Vi, ViInt32 Channel, ViBoolean Continuous",
         "Starts the list on Channel, running it again and again while Continuous is VI_TRUE\n"
         "(\"INIT:CONT\")."},
    {"List mode", "ZEVRA_AbortList",
     "ViSession Vi, ViInt32 Channel",
         "Stops the list running on Channel (\"ABOR\")."},
    {"Digital I/O", "ZEVRA_ConfigureDigitalFunction",
     "ViSession Vi, ViInt32 PinNumber, ViInt32 PinFunction",
         "Sets what pin PinNumber of the digital port does (\"DIG:PINn:FUNC\")."},
    {"Digital I/O", "ZEVRA_ConfigureDigitalPolarity",
     "ViSession Vi, ViInt32 PinNumber, ViInt32 PinPolarity",
         "Sets the polarity of pin PinNumber of the digital port (\"DIG:PINn:POL\")."},
    {"Status system", "ZEVRA_ClearStatus",
     "ViSession Vi",
         "Clears the instrument's event registers and error queue (\"*CLS\")."},
    {"Status system", "ZEVRA_Preset",
     "ViSession Vi",
         "Returns the instrument's status enable registers to their preset values (\"STAT:PRES\")."},
    {"Status system", "ZEVRA_SetOperationComplete",
     "ViSession Vi",
         "Makes the instrument set the operation-complete bit of its standard event register when pending\n"
         "operations finish (\"*OPC\")."},
    {"Status system", "ZEVRA_WaitForOperationComplete",
     "ViSession Vi",
         "Waits for \"*OPC?\" as long as the I/O timeout allows."},
    {"Status system", "ZEVRA_WaitToContinue",
     "ViSession Vi",
         "Makes the instrument finish pending operations before it takes the next command (\"*WAI\")."},
    {"System settings and stored states", "ZEVRA_Beep",
     "ViSession Vi",
         "Sounds the instrument's beeper once (\"SYST:BEEP:IMM\")."},
    {"System settings and stored states", "ZEVRA_ClearAndReboot",
     "ViSession Vi",
         "Clears stored states and lists and resets the instrument."},
    {"System settings and stored states", "ZEVRA_RemoteLock",
     "ViSession Vi",
         "Puts the instrument in remote with its front panel locked (\"SYST:RWL\")."},
    {"System settings and stored states", "ZEVRA_SaveState",
     "ViSession Vi, ViInt32 Location",
         "Saves the instrument's settings in memory Location (\"*SAV\")."},
    {"System settings and stored states", "ZEVRA_RecallState",
     "ViSession Vi, ViInt32 Location",
         "Restores the settings saved in memory Location (\"*RCL\")."},
    {"System settings and stored states", "ZEVRA_ConfigurePowerOnState",
     "ViSession Vi, ViInt32 State, ViInt32 MemoryLocation",
         "State: ZEVRA_VAL_POWER_ON_STATE_...; MemoryLocation is used with USER_STATE only."},
    {"System settings and stored states", "ZEVRA_QueryPowerOnState",
     "ViSession Vi, ViInt32 *State, ViInt32 *MemoryLocation",
         "What the outputs do at power-on and, for USER_STATE, which saved state they take\n"
         "(\"OUTP:PON:STAT?\").",
     kOddReply},
};
// clang-format on

}  // namespace

std::span<const FunctionRow> WrittenFunctions() { return kFunctions; }

}  // namespace reference_docs
