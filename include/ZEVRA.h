/*
 * ZEVRA.h - IVI-C specific driver for the QDX series of multi-channel
 * programmable DC power supplies (mainframes QDX7001 and QDX7000, output
 * channels CH1 to CH4).
 *
 * Every function returns a ViStatus: negative is an error, positive a warning
 * or a VISA completion code, 0 success. When a function fails for a reason the
 * driver detects, the description is recorded on the session and fetched with
 * ZEVRA_GetError; VISA failures are returned as they are (describe them with
 * viStatusDesc). A handle that is 0, was never issued or is closed answers
 * IVI_ERROR_INVALID_SESSION_HANDLE and records nothing.
 *
 * Sessions are thread-safe: calls on one session are serialised by its lock;
 * different sessions run in parallel.
 */
#ifndef ZEVRA_HEADER
#define ZEVRA_HEADER

#include "visatype.h"

#if defined(_WIN32)
#define ZEVRA_API __declspec(dllexport)
#elif defined(__GNUC__)
#define ZEVRA_API __attribute__((visibility("default")))
#else
#define ZEVRA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*- Status codes -------------------------------------------------------------*/

#define IVI_ERROR_BASE 0xBFFA0000L
#define IVI_CROSS_CLASS_ERROR_BASE 0xBFFA1000L
#define IVI_SPECIFIC_ERROR_BASE 0xBFFA4000L
#define IVI_WARN_BASE 0x3FFA0000L

#define ZEVRA_ERROR_IO ((ViStatus)0xBFFA4214L)
#define ZEVRA_ERROR_IO_TIMEOUT ((ViStatus)0xBFFA4215L)
#define IVI_ERROR_CANNOT_RECOVER ((ViStatus)0xBFFA0000L)
#define IVI_ERROR_INSTRUMENT_STATUS ((ViStatus)0xBFFA0001L)
#define IVI_ERROR_CANNOT_OPEN_FILE ((ViStatus)0xBFFA0002L)
#define IVI_ERROR_READING_FILE ((ViStatus)0xBFFA0003L)
#define IVI_ERROR_WRITING_FILE ((ViStatus)0xBFFA0004L)
#define IVI_ERROR_INVALID_PATHNAME ((ViStatus)0xBFFA000BL)
#define IVI_ERROR_INVALID_ATTRIBUTE ((ViStatus)0xBFFA000CL)
#define IVI_ERROR_IVI_ATTR_NOT_WRITABLE ((ViStatus)0xBFFA000DL)
#define IVI_ERROR_IVI_ATTR_NOT_READABLE ((ViStatus)0xBFFA000EL)
#define IVI_ERROR_INVALID_VALUE ((ViStatus)0xBFFA0010L)
#define IVI_ERROR_FUNCTION_NOT_SUPPORTED ((ViStatus)0xBFFA0011L)
#define IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED ((ViStatus)0xBFFA0012L)
#define IVI_ERROR_VALUE_NOT_SUPPORTED ((ViStatus)0xBFFA0013L)
#define IVI_ERROR_TYPES_DO_NOT_MATCH ((ViStatus)0xBFFA0015L)
#define IVI_ERROR_NOT_INITIALIZED ((ViStatus)0xBFFA001DL)
#define IVI_ERROR_UNKNOWN_CHANNEL_NAME ((ViStatus)0xBFFA0020L)
#define IVI_ERROR_TOO_MANY_OPEN_FILES ((ViStatus)0xBFFA0023L)
#define IVI_ERROR_CHANNEL_NAME_REQUIRED ((ViStatus)0xBFFA0044L)
#define IVI_ERROR_MISSING_OPTION_NAME ((ViStatus)0xBFFA0049L)
#define IVI_ERROR_MISSING_OPTION_VALUE ((ViStatus)0xBFFA004AL)
#define IVI_ERROR_BAD_OPTION_NAME ((ViStatus)0xBFFA004BL)
#define IVI_ERROR_BAD_OPTION_VALUE ((ViStatus)0xBFFA004CL)
#define IVI_ERROR_OUT_OF_MEMORY ((ViStatus)0xBFFA0056L)
#define IVI_ERROR_OPERATION_PENDING ((ViStatus)0xBFFA0057L)
#define IVI_ERROR_NULL_POINTER ((ViStatus)0xBFFA0058L)
#define IVI_ERROR_UNEXPECTED_RESPONSE ((ViStatus)0xBFFA0059L)
#define IVI_ERROR_FILE_NOT_FOUND ((ViStatus)0xBFFA005BL)
#define IVI_ERROR_INVALID_FILE_FORMAT ((ViStatus)0xBFFA005CL)
#define IVI_ERROR_STATUS_NOT_AVAILABLE ((ViStatus)0xBFFA005DL)
#define IVI_ERROR_ID_QUERY_FAILED ((ViStatus)0xBFFA005EL)
#define IVI_ERROR_RESET_FAILED ((ViStatus)0xBFFA005FL)
#define IVI_ERROR_RESOURCE_UNKNOWN ((ViStatus)0xBFFA0060L)
#define IVI_ERROR_ALREADY_INITIALIZED ((ViStatus)0xBFFA0061L)
#define IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE ((ViStatus)0xBFFA0062L)
#define IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR ((ViStatus)0xBFFA0063L)
#define IVI_ERROR_INVALID_RANGE_IN_SELECTOR ((ViStatus)0xBFFA0064L)
#define IVI_ERROR_UNKNOWN_NAME_IN_SELECTOR ((ViStatus)0xBFFA0065L)
#define IVI_ERROR_BADLY_FORMED_SELECTOR ((ViStatus)0xBFFA0066L)
#define IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER ((ViStatus)0xBFFA0067L)
#define IVI_ERROR_INVALID_SESSION_HANDLE ((ViStatus)0xBFFA1190L)
#define IVIDCPWR_ERROR_TRIGGER_NOT_SOFTWARE ((ViStatus)0xBFFA1001L)
#define IVI_WARN_NSUP_ID_QUERY ((ViStatus)0x3FFA0065L)
#define IVI_WARN_NSUP_RESET ((ViStatus)0x3FFA0066L)
#define IVI_WARN_NSUP_SELF_TEST ((ViStatus)0x3FFA0067L)
#define IVI_WARN_NSUP_ERROR_QUERY ((ViStatus)0x3FFA0068L)
#define IVI_WARN_NSUP_REV_QUERY ((ViStatus)0x3FFA0069L)

/*- Session life ----------------------------------------------------------------*/

/* Opens a session. ResourceName is a VISA resource descriptor
 * ("TCPIP0::192.168.1.20::5025::SOCKET") or a logical name of the IVI
 * configuration store. With IdQuery VI_TRUE the instrument's model must be
 * QDX7000 or QDX7001. A non-zero Reset resets the instrument after opening.
 * On failure *Vi is 0 and ZEVRA_GetError(VI_NULL, ...) describes why. */
ZEVRA_API ViStatus ZEVRA_init(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset, ViSession *Vi);

/* As ZEVRA_init, with an option string: any of
 * "Simulate=1, Cache=1, RangeCheck=1, QueryInstrStatus=1, RecordCoercions=0,
 *  InterchangeCheck=0" (values true/false, 1/0, VI_TRUE/VI_FALSE; names and
 * values in any case), optionally ending with "DriverSetup=Model=QDX7000". */
ZEVRA_API ViStatus ZEVRA_InitWithOptions(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset,
                                         ViConstString OptionString, ViSession *Vi);

/* Closes the session and its I/O; the handle answers
 * IVI_ERROR_INVALID_SESSION_HANDLE afterwards. Takes no lock: do not close a
 * session another thread is still using. */
ZEVRA_API ViStatus ZEVRA_close(ViSession Vi);

/*- Inherent utilities -----------------------------------------------------------*/

/* "*RST", "*OPC?" and the status check; empties the attribute cache. */
ZEVRA_API ViStatus ZEVRA_reset(ViSession Vi);
/* Reset, then the six inherent options return to their values after opening. */
ZEVRA_API ViStatus ZEVRA_ResetWithDefaults(ViSession Vi);
/* Puts the instrument in a safe state ("*RST"); the cache is kept. */
ZEVRA_API ViStatus ZEVRA_Disable(ViSession Vi);
/* "*TST?": TestResult 0 and "Selftest passed", or the instrument's code and
 * "Selftest failed". TestMessage holds 256 bytes. */
ZEVRA_API ViStatus ZEVRA_self_test(ViSession Vi, ViInt16 *TestResult, ViChar TestMessage[]);
/* One entry of the instrument's error queue (":SYST:ERR?"): its code and
 * message without quotes. ErrorMessage holds 256 bytes. */
ZEVRA_API ViStatus ZEVRA_error_query(ViSession Vi, ViInt32 *ErrorCode, ViChar ErrorMessage[]);
/* Driver revision and the instrument's firmware revision, 256 bytes each. */
ZEVRA_API ViStatus ZEVRA_revision_query(ViSession Vi, ViChar DriverRev[], ViChar InstrRev[]);
/* Hold the session lock across several calls. With a non-null CallerHasLock
 * the lock is taken only when *CallerHasLock is VI_FALSE (and released only
 * when it is VI_TRUE), and the flag is updated. */
ZEVRA_API ViStatus ZEVRA_LockSession(ViSession Vi, ViBoolean *CallerHasLock);
ZEVRA_API ViStatus ZEVRA_UnlockSession(ViSession Vi, ViBoolean *CallerHasLock);
/* Empties the attribute cache. */
ZEVRA_API ViStatus ZEVRA_InvalidateAllAttributes(ViSession Vi);

/*- Direct I/O (refused in simulation with ZEVRA_ERROR_IO) -------------------------*/

ZEVRA_API ViStatus ZEVRA_viWrite(ViSession Vi, ViInt64 BufferSize, ViConstString Buffer, ViInt64 *ReturnCount);
/* Reads one response; when Buffer is too small the rest of that response is
 * read and discarded, so the next read starts a fresh one. */
ZEVRA_API ViStatus ZEVRA_viRead(ViSession Vi, ViInt64 BufferSize, ViChar Buffer[], ViInt64 *ReturnCount);

/*- Errors -------------------------------------------------------------------------*/

/* The error recorded on the session (Vi 0: the calling thread's last error),
 * then cleared. BufferSize 0 returns the size needed and clears nothing; a
 * smaller buffer gets a truncated text and the size needed as result. */
ZEVRA_API ViStatus ZEVRA_GetError(ViSession Vi, ViStatus *ErrorCode, ViInt32 ErrorDescriptionBufferSize,
                                  ViChar ErrorDescription[]);
ZEVRA_API ViStatus ZEVRA_ClearError(ViSession Vi);
/* The message template of one of the status codes above (256 bytes). */
ZEVRA_API ViStatus ZEVRA_error_message(ViSession Vi, ViStatus ErrorCode, ViChar ErrorMessage[]);

/*- Attributes ----------------------------------------------------------------*/

#define IVI_INHERENT_ATTR_BASE 1050000
#define IVI_SPECIFIC_ATTR_BASE 1150000
#define IVI_CLASS_ATTR_BASE 1250000

#define ZEVRA_ATTR_RANGE_CHECK 1050002
#define ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS 1050003
#define ZEVRA_ATTR_CACHE 1050004
#define ZEVRA_ATTR_SIMULATE 1050005
#define ZEVRA_ATTR_RECORD_COERCIONS 1050006
#define ZEVRA_ATTR_DRIVER_SETUP 1050007
#define ZEVRA_ATTR_INTERCHANGE_CHECK 1050021
#define ZEVRA_ATTR_CHANNEL_COUNT 1050203
#define ZEVRA_ATTR_SPECIFIC_DRIVER_PREFIX 1050302
#define ZEVRA_ATTR_IO_RESOURCE_DESCRIPTOR 1050304
#define ZEVRA_ATTR_LOGICAL_NAME 1050305
#define ZEVRA_ATTR_SUPPORTED_INSTRUMENT_MODELS 1050327
#define ZEVRA_ATTR_GROUP_CAPABILITIES 1050401
#define ZEVRA_ATTR_INSTRUMENT_FIRMWARE_REVISION 1050510
#define ZEVRA_ATTR_INSTRUMENT_MANUFACTURER 1050511
#define ZEVRA_ATTR_INSTRUMENT_MODEL 1050512
#define ZEVRA_ATTR_SPECIFIC_DRIVER_VENDOR 1050513
#define ZEVRA_ATTR_SPECIFIC_DRIVER_DESCRIPTION 1050514
#define ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION 1050515
#define ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MINOR_VERSION 1050516
#define ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION 1050551
#define ZEVRA_ATTR_SYSTEM_IO_SESSION 1150001
#define ZEVRA_ATTR_SYSTEM_IO_TIMEOUT 1150002
#define ZEVRA_ATTR_DIGITAL_INHIBIT_MODE 1150003
#define ZEVRA_ATTR_DIGITAL_INPUT_DATA 1150004
#define ZEVRA_ATTR_DIGITAL_OUTPUT_DATA 1150005
#define ZEVRA_ATTR_SELECTED_CHANNEL 1150006
#define ZEVRA_ATTR_BEGINNING_OF_STEP_TRIGGER_ENABLED 1150007
#define ZEVRA_ATTR_LIST_DWELL 1150008
#define ZEVRA_ATTR_END_OF_STEP_TRIGGER_ENABLED 1150009
#define ZEVRA_ATTR_LIST_REPEAT_COUNT 1150010
#define ZEVRA_ATTR_STEP_CURRENT 1150011
#define ZEVRA_ATTR_STEP_VOLTAGE 1150012
#define ZEVRA_ATTR_NEXT_LIST 1150013
#define ZEVRA_ATTR_SELECTED_LIST 1150014
#define ZEVRA_ATTR_LIST_IS_RUNNING 1150015
#define ZEVRA_ATTR_LIST_PACE 1150016
#define ZEVRA_ATTR_SELECTED_STEP 1150017
#define ZEVRA_ATTR_LIST_TERMINATE_STATE 1150018
#define ZEVRA_ATTR_LIST_TRIGGER_SOURCE 1150019
#define ZEVRA_ATTR_ALL_OUTPUTS_ENABLED 1150020
#define ZEVRA_ATTR_OUTPUT_DELAY_RISE 1150021
#define ZEVRA_ATTR_OUTPUT_DELAY_FALL 1150022
#define ZEVRA_ATTR_OUTPUT_MODE 1150024
#define ZEVRA_ATTR_OUTPUT_TIMER_ENABLED 1150026
#define ZEVRA_ATTR_OUTPUT_TIMER_DWELL 1150027
#define ZEVRA_ATTR_CURRENT_LEVEL 1150028
#define ZEVRA_ATTR_OCP_ENABLED 1150029
#define ZEVRA_ATTR_OCP_TRIPPED 1150030
#define ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL 1150031
#define ZEVRA_ATTR_CURRENT_SLEW_RATE 1150032
#define ZEVRA_ATTR_VOLTAGE_MAXIMUM 1150034
#define ZEVRA_ATTR_VOLTAGE_MINIMUM 1150035
#define ZEVRA_ATTR_OVP_TRIPPED 1150036
#define ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL 1150038
#define ZEVRA_ATTR_VOLTAGE_SLEW_RATE 1150039
#define ZEVRA_ATTR_VOLTAGE_SENSE_ENABLED 1150040
#define ZEVRA_ATTR_POWER_ON_STATUS_CLEAR_ENABLED 1150041
#define ZEVRA_ATTR_OPERATION_ENABLE_REGISTER 1150042
#define ZEVRA_ATTR_OPERATION_EVENT_REGISTER 1150043
#define ZEVRA_ATTR_QUESTIONABLE_ENABLE_REGISTER 1150044
#define ZEVRA_ATTR_QUESTIONABLE_EVENT_REGISTER 1150045
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_ENABLE_REGISTER 1150046
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_EVENT_REGISTER 1150047
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_CONDITION_REGISTER 1150048
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_ENABLE_REGISTER 1150049
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_EVENT_REGISTER 1150050
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_CONDITION_REGISTER 1150051
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_ENABLE_REGISTER 1150052
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_EVENT_REGISTER 1150053
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_CONDITION_REGISTER 1150054
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_ENABLE_REGISTER 1150055
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_EVENT_REGISTER 1150056
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_CONDITION_REGISTER 1150057
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_ENABLE_REGISTER 1150058
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_EVENT_REGISTER 1150059
#define ZEVRA_ATTR_STANDARD_EVENT_ENABLE_REGISTER 1150060
#define ZEVRA_ATTR_STANDARD_EVENT_EVENT_REGISTER 1150061
#define ZEVRA_ATTR_STATUS_BYTE_ENABLE_REGISTER 1150062
#define ZEVRA_ATTR_STATUS_BYTE_EVENT_REGISTER 1150063
#define ZEVRA_ATTR_BEEPER_ENABLED 1150064
#define ZEVRA_ATTR_SYSTEM_DATE 1150065
#define ZEVRA_ATTR_DISPLAY_ENABLED 1150066
#define ZEVRA_ATTR_LXI_IDENTIFY_ENABLED 1150067
#define ZEVRA_ATTR_MODULE_IDENTITY 1150068
#define ZEVRA_ATTR_MODULE_SERIAL_NUMBER 1150069
#define ZEVRA_ATTR_MODULE_FIRMWARE_VERSION 1150070
#define ZEVRA_ATTR_SYSTEM_TIME 1150071
#define ZEVRA_ATTR_REMOTE_STATE 1150072
#define ZEVRA_ATTR_SCPI_VERSION 1150073
#define ZEVRA_ATTR_TCP_CONTROL_PORT 1150074
#define ZEVRA_ATTR_VOLTAGE_LEVEL 1250001
#define ZEVRA_ATTR_OVP_ENABLED 1250002
#define ZEVRA_ATTR_OVP_LIMIT 1250003
#define ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR 1250004
#define ZEVRA_ATTR_CURRENT_LIMIT 1250005
#define ZEVRA_ATTR_OUTPUT_ENABLED 1250006
#define ZEVRA_ATTR_TRIGGER_SOURCE 1250101
#define ZEVRA_ATTR_TRIGGERED_CURRENT_LIMIT 1250102
#define ZEVRA_ATTR_TRIGGERED_VOLTAGE_LEVEL 1250103

/*- Defined values ------------------------------------------------------------*/

#define ZEVRA_VAL_CHANNEL1 0
#define ZEVRA_VAL_CHANNEL2 1
#define ZEVRA_VAL_CHANNEL3 2
#define ZEVRA_VAL_CHANNEL4 3
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_OUTPUT 7
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_INPUT 1
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_FAULT 2
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_INHIBIT 3
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_TRIGGER_INPUT 4
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_TRIGGER_OUTPUT 5
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_NONE 0
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_SYNC_OUTPUT 8
#define ZEVRA_VAL_DIGITAL_PIN_FUNCTION_SYNC_INPUT 6
#define ZEVRA_VAL_DIGITAL_PIN_POLARITY_POSITIVE 0
#define ZEVRA_VAL_DIGITAL_PIN_POLARITY_NEGATIVE 1
#define ZEVRA_VAL_INHIBIT_MODE_LATCHING 0
#define ZEVRA_VAL_INHIBIT_MODE_LIVE 1
#define ZEVRA_VAL_INHIBIT_MODE_OFF 2
#define ZEVRA_VAL_LIST_PACE_DWELL 0
#define ZEVRA_VAL_LIST_PACE_TRIGGER 1
#define ZEVRA_VAL_LIST_TERMINATE_STATE_DC 0
#define ZEVRA_VAL_LIST_TERMINATE_STATE_LAST 1
#define ZEVRA_VAL_OUTPUT_MODE_NORMAL 0
#define ZEVRA_VAL_OUTPUT_MODE_PARALLEL_2 1
#define ZEVRA_VAL_OUTPUT_MODE_PARALLEL_3 2
#define ZEVRA_VAL_OUTPUT_MODE_PARALLEL_4 3
#define ZEVRA_VAL_OUTPUT_MODE_SERIES_2 4
#define ZEVRA_VAL_OUTPUT_MODE_SERIES_3 5
#define ZEVRA_VAL_OUTPUT_MODE_SERIES_4 6
#define ZEVRA_VAL_OUTPUT_MODE_TRACK_2 7
#define ZEVRA_VAL_OUTPUT_MODE_TRACK_3 8
#define ZEVRA_VAL_OUTPUT_MODE_TRACK_4 9
#define ZEVRA_VAL_POWER_ON_STATE_DISABLED 0
#define ZEVRA_VAL_POWER_ON_STATE_USER_STATE 2
#define ZEVRA_VAL_POWER_ON_STATE_LAST_STATE 1
#define ZEVRA_VAL_REMOTE_STATE_REMOTE 0
#define ZEVRA_VAL_REMOTE_STATE_LOCAL 1
#define ZEVRA_VAL_REMOTE_STATE_REMOTE_WITH_LOCK 2
#define ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_MANUAL 0
#define ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_REMOTE 1
#define ZEVRA_VAL_SPECIFIC_TRIGGER_SOURCE_DIGITAL_IO 2
#define ZEVRA_VAL_MEASURE_CURRENT 0
#define ZEVRA_VAL_MEASURE_VOLTAGE 1
#define ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE 0
#define ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT 1
#define ZEVRA_VAL_OUTPUT_OVER_VOLTAGE 2
#define ZEVRA_VAL_OUTPUT_OVER_CURRENT 3
#define ZEVRA_VAL_OUTPUT_UNREGULATED 4
#define ZEVRA_VAL_TRIG_IMMEDIATE 0
#define ZEVRA_VAL_TRIG_EXTERNAL 1
#define ZEVRA_VAL_SOFTWARE_TRIG 2
#define ZEVRA_VAL_TRIG_TTL0 3
#define ZEVRA_VAL_TRIG_TTL1 4
#define ZEVRA_VAL_TRIG_TTL2 5
#define ZEVRA_VAL_TRIG_TTL3 6
#define ZEVRA_VAL_TRIG_TTL4 7
#define ZEVRA_VAL_TRIG_TTL5 8
#define ZEVRA_VAL_TRIG_TTL6 9
#define ZEVRA_VAL_TRIG_TTL7 10
#define ZEVRA_VAL_TRIG_ECL0 11
#define ZEVRA_VAL_TRIG_ECL1 12
#define ZEVRA_VAL_TRIG_PXI_STAR 13
#define ZEVRA_VAL_TRIG_RTSI_0 14
#define ZEVRA_VAL_TRIG_RTSI_1 15
#define ZEVRA_VAL_TRIG_RTSI_2 16
#define ZEVRA_VAL_TRIG_RTSI_3 17
#define ZEVRA_VAL_TRIG_RTSI_4 18
#define ZEVRA_VAL_TRIG_RTSI_5 19
#define ZEVRA_VAL_TRIG_RTSI_6 20

/*- Attribute access ------------------------------------------------------------*/

/* RepCapIdentifier names the channel of a channel-based attribute ("CH1", a
 * virtual name from the configuration store, or several for a write:
 * "CH1,CH3", "CH1-CH4"); other attributes ignore it. The type of the function
 * must be the attribute's type.
 * ZEVRA_GetAttributeViString follows the IVI buffer rules: size 0 returns
 * 4096; a value that filled the buffer returns 4096 (it may have been cut). */
ZEVRA_API ViStatus ZEVRA_GetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                             ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                              ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViSession *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                              ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
ZEVRA_API ViStatus ZEVRA_SetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                             ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                              ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViSession AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                              ViConstString AttributeValue);

/* The physical name of output channel Index (1 to 4): "CH1" ... "CH4". */
ZEVRA_API ViStatus ZEVRA_GetChannelName(ViSession Vi, ViInt32 Index, ViInt32 NameBufferSize, ViChar Name[]);

/*- Coercion records and interchange warnings ---------------------------------------*/

/* The driver never coerces a value: the queue is always empty. */
ZEVRA_API ViStatus ZEVRA_GetNextCoercionRecord(ViSession Vi, ViInt32 BufferSize, ViChar CoercionRecord[]);
/* Interchange checking is not supported: these answer IVI_ERROR_FUNCTION_NOT_SUPPORTED. */
ZEVRA_API ViStatus ZEVRA_ClearInterchangeWarnings(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_GetNextInterchangeWarning(ViSession Vi, ViInt32 BufferSize, ViChar InterchangeWarning[]);
ZEVRA_API ViStatus ZEVRA_ResetInterchangeCheck(ViSession Vi);

/*- Output levels and protection ----------------------------------------------------*/

/* ChannelName is a channel selector ("CH1", "CH1,CH3", "CH1-CH4", a virtual name). */
ZEVRA_API ViStatus ZEVRA_ConfigureVoltageLevel(ViSession Vi, ViConstString ChannelName, ViReal64 Level);
/* Behavior 1 (trip): the limit is the overcurrent protection level; otherwise
 * the regulated current level. */
ZEVRA_API ViStatus ZEVRA_ConfigureCurrentLimit(ViSession Vi, ViConstString ChannelName, ViInt32 Behavior,
                                               ViReal64 Limit);
/* Overvoltage protection is always on: Enabled must be VI_TRUE. */
ZEVRA_API ViStatus ZEVRA_ConfigureOVP(ViSession Vi, ViConstString ChannelName, ViBoolean Enabled, ViReal64 Limit);
/* From the ratings of the channel's module. */
ZEVRA_API ViStatus ZEVRA_QueryMaxCurrentLimit(ViSession Vi, ViConstString ChannelName, ViReal64 VoltageLevel,
                                              ViReal64 *MaxCurrentLimit);
ZEVRA_API ViStatus ZEVRA_QueryMaxVoltageLevel(ViSession Vi, ViConstString ChannelName, ViReal64 CurrentLimit,
                                              ViReal64 *MaxVoltageLevel);
/* Clears the protection of each channel named. */
ZEVRA_API ViStatus ZEVRA_ResetOutputProtection(ViSession Vi, ViConstString ChannelName);
/* These act on the instrument's selected channel. */
ZEVRA_API ViStatus ZEVRA_ClearOCP(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_ClearOVP(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_ClearProtectionErrors(ViSession Vi);

/*- Output state, range and modes -----------------------------------------------------*/

ZEVRA_API ViStatus ZEVRA_ConfigureOutputEnabled(ViSession Vi, ViConstString ChannelName, ViBoolean Enabled);
/* Checks that Range is reachable on each channel (RangeType 0 current, 1
 * voltage); the instrument has no ranges to switch. */
ZEVRA_API ViStatus ZEVRA_ConfigureOutputRange(ViSession Vi, ViConstString ChannelName, ViInt32 RangeType,
                                              ViReal64 Range);
/* Whether the channel is in OutputState (ZEVRA_VAL_OUTPUT_...), from its own
 * questionable-instrument summary condition register. */
ZEVRA_API ViStatus ZEVRA_QueryOutputState(ViSession Vi, ViConstString ChannelName, ViInt32 OutputState,
                                          ViBoolean *InState);

/*- Triggering ------------------------------------------------------------------------*/

ZEVRA_API ViStatus ZEVRA_ConfigureTriggerSource(ViSession Vi, ViConstString ChannelName, ViInt32 Source);
/* Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED. */
ZEVRA_API ViStatus ZEVRA_ConfigureTriggeredCurrentLimit(ViSession Vi, ViConstString ChannelName, ViReal64 Limit);
ZEVRA_API ViStatus ZEVRA_ConfigureTriggeredVoltageLevel(ViSession Vi, ViConstString ChannelName, ViReal64 Level);
ZEVRA_API ViStatus ZEVRA_Initiate(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_Abort(ViSession Vi);
/* "*TRG", whatever the trigger source. */
ZEVRA_API ViStatus ZEVRA_SendSoftwareTrigger(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_GenerateImmediateTrigger(ViSession Vi);

/*- Measurement -------------------------------------------------------------------------*/

ZEVRA_API ViStatus ZEVRA_Measure(ViSession Vi, ViConstString ChannelName, ViInt32 MeasurementType,
                                 ViReal64 *Measurement);
/* These measure the instrument's selected channel. */
ZEVRA_API ViStatus ZEVRA_MeasureVoltage(ViSession Vi, ViReal64 *Val);
ZEVRA_API ViStatus ZEVRA_MeasureCurrent(ViSession Vi, ViReal64 *Val);
ZEVRA_API ViStatus ZEVRA_MeasurePower(ViSession Vi, ViReal64 *Val);
ZEVRA_API ViStatus ZEVRA_MeasureSelectedChannel(ViSession Vi, ViReal64 *Voltage, ViReal64 *Current, ViReal64 *Power);
/* Voltage, current and power of every channel; each array is filled up to its
 * buffer size (a negative size counts as 0) and its actual size says how many
 * values it received. */
ZEVRA_API ViStatus ZEVRA_MeasureAllChannels(ViSession Vi, ViInt32 VoltagesBufferSize, ViReal64 Voltages[],
                                            ViInt32 *VoltagesActualSize, ViInt32 CurrentsBufferSize,
                                            ViReal64 Currents[], ViInt32 *CurrentsActualSize,
                                            ViInt32 PowersBufferSize, ViReal64 Powers[], ViInt32 *PowersActualSize);

/*- List mode -----------------------------------------------------------------------------*/

ZEVRA_API ViStatus ZEVRA_ClearList(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_DeleteSelectedList(ViSession Vi, ViInt32 ListNumber);
ZEVRA_API ViStatus ZEVRA_SaveListData(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_EnableList(ViSession Vi, ViInt32 ListNumber);
ZEVRA_API ViStatus ZEVRA_DisableList(ViSession Vi);
/* Channel is ZEVRA_VAL_CHANNEL1 .. ZEVRA_VAL_CHANNEL4. */
ZEVRA_API ViStatus ZEVRA_StartList(ViSession Vi, ViInt32 Channel);
ZEVRA_API ViStatus ZEVRA_StartListContinuous(ViSession Vi, ViInt32 Channel, ViBoolean Continuous);
ZEVRA_API ViStatus ZEVRA_AbortList(ViSession Vi, ViInt32 Channel);

/*- Digital I/O -------------------------------------------------------------------------*/

ZEVRA_API ViStatus ZEVRA_ConfigureDigitalFunction(ViSession Vi, ViInt32 PinNumber, ViInt32 PinFunction);
ZEVRA_API ViStatus ZEVRA_ConfigureDigitalPolarity(ViSession Vi, ViInt32 PinNumber, ViInt32 PinPolarity);

/*- Status system ---------------------------------------------------------------------------*/

ZEVRA_API ViStatus ZEVRA_ClearStatus(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_Preset(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_SetOperationComplete(ViSession Vi);
/* Waits for "*OPC?" as long as the I/O timeout allows. */
ZEVRA_API ViStatus ZEVRA_WaitForOperationComplete(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_WaitToContinue(ViSession Vi);

/*- System settings and stored states ---------------------------------------------------------*/

ZEVRA_API ViStatus ZEVRA_Beep(ViSession Vi);
/* Clears stored states and lists and resets the instrument. */
ZEVRA_API ViStatus ZEVRA_ClearAndReboot(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_RemoteLock(ViSession Vi);
ZEVRA_API ViStatus ZEVRA_SaveState(ViSession Vi, ViInt32 Location);
ZEVRA_API ViStatus ZEVRA_RecallState(ViSession Vi, ViInt32 Location);
/* State: ZEVRA_VAL_POWER_ON_STATE_...; MemoryLocation is used with USER_STATE only. */
ZEVRA_API ViStatus ZEVRA_ConfigurePowerOnState(ViSession Vi, ViInt32 State, ViInt32 MemoryLocation);
ZEVRA_API ViStatus ZEVRA_QueryPowerOnState(ViSession Vi, ViInt32 *State, ViInt32 *MemoryLocation);

/*- Generated attribute functions (instrument-specific attributes) ----------------*/

ZEVRA_API ViStatus ZEVRA_GetDigitalInhibitMode(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetDigitalInhibitMode(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetDigitalInputData(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetDigitalOutputData(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetDigitalOutputData(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetSelectedChannel(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetSelectedChannel(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetBeginningOfStepTriggerEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetBeginningOfStepTriggerEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetListDwell(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetListDwell(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetEndOfStepTriggerEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetEndOfStepTriggerEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetListRepeatCount(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetListRepeatCount(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetStepCurrent(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetStepCurrent(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetStepVoltage(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetStepVoltage(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetNextList(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetNextList(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetSelectedList(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetSelectedList(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetListIsRunning(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetListPace(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetListPace(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetSelectedStep(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetSelectedStep(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetListTerminateState(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetListTerminateState(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetListTriggerSource(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetListTriggerSource(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetAllOutputsEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOutputDelayRise(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetOutputDelayRise(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOutputDelayFall(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetOutputDelayFall(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOutputMode(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetOutputMode(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOutputTimerEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetOutputTimerEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOutputTimerDwell(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
ZEVRA_API ViStatus ZEVRA_SetOutputTimerDwell(ViSession Vi, ViConstString AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetCurrentLevel(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetCurrentLevel(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOcpEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetOcpEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOcpTripped(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetCurrentProtectionLevel(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetCurrentProtectionLevel(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetCurrentSlewRate(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetCurrentSlewRate(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetVoltageMaximum(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetVoltageMaximum(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetVoltageMinimum(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetVoltageMinimum(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOvpTripped(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetVoltageProtectionLevel(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetVoltageProtectionLevel(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetVoltageSlewRate(ViSession Vi, ViReal64 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetVoltageSlewRate(ViSession Vi, ViReal64 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetVoltageSenseEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetVoltageSenseEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetPowerOnStatusClearEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetPowerOnStatusClearEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOperationEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetOperationEnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetOperationEventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetQuestionableEnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableEventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentEnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentEventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary1ConditionRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary1EnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentSummary1EnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary1EventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary2ConditionRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary2EnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentSummary2EnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary2EventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary3ConditionRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary3EnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentSummary3EnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary3EventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary4ConditionRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary4EnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentSummary4EnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary4EventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetStandardEventEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetStandardEventEnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetStandardEventEventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetStatusByteEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetStatusByteEnableRegister(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetStatusByteEventRegister(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetBeeperEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetBeeperEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetSystemDate(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
ZEVRA_API ViStatus ZEVRA_SetSystemDate(ViSession Vi, ViConstString AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetDisplayEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetDisplayEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetLxiIdentifyEnabled(ViSession Vi, ViBoolean *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetLxiIdentifyEnabled(ViSession Vi, ViBoolean AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetModuleIdentity(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
ZEVRA_API ViStatus ZEVRA_GetModuleSerialNumber(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
ZEVRA_API ViStatus ZEVRA_GetModuleFirmwareVersion(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
ZEVRA_API ViStatus ZEVRA_GetSystemTime(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
ZEVRA_API ViStatus ZEVRA_SetSystemTime(ViSession Vi, ViConstString AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetRemoteState(ViSession Vi, ViInt32 *AttributeValue);
ZEVRA_API ViStatus ZEVRA_SetRemoteState(ViSession Vi, ViInt32 AttributeValue);
ZEVRA_API ViStatus ZEVRA_GetScpiVersion(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
ZEVRA_API ViStatus ZEVRA_GetTcpControlPort(ViSession Vi, ViInt32 *AttributeValue);

#ifdef __cplusplus
}
#endif

#endif
