/* SPDX-License-Identifier: MIT */
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
 *
 * Each function's comment gives what its parameters mean (units and valid
 * values included) and, after @returns, the statuses of its own. Common
 * statuses are not repeated there: Vi, the handle ZEVRA_init gave, may answer
 * IVI_ERROR_INVALID_SESSION_HANDLE; an output parameter passed as VI_NULL
 * IVI_ERROR_NULL_POINTER; a channel selector IVI_ERROR_BADLY_FORMED_SELECTOR,
 * IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, IVI_ERROR_INVALID_RANGE_IN_SELECTOR or
 * IVI_ERROR_CHANNEL_NAME_REQUIRED. "I/O statuses" marks a function that talks
 * to the instrument: it may return a VISA status (VI_ERROR_TMO,
 * VI_ERROR_CONN_LOST, ...) and, with QueryInstrStatus on,
 * IVI_ERROR_INSTRUMENT_STATUS. The driver checks no range on a real session:
 * the instrument refuses a value it cannot take.
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
 * On failure *Vi is 0 and ZEVRA_GetError(VI_NULL, ...) describes why.
 * @param[in] ResourceName a VISA resource ("TCPIP0::192.168.1.20::5025::SOCKET",
 *   "TCPIP0::host::hislip0::INSTR", "USB0::...::INSTR", "ASRL/dev/ttyUSB0::INSTR") or a logical
 *   name of the configuration store
 * @param[in] IdQuery VI_TRUE checks that the instrument ("*IDN?") is a model the driver supports
 * @param[in] Reset VI_TRUE resets the instrument after opening
 * @param[out] Vi the session handle from ZEVRA_init or ZEVRA_InitWithOptions
 * @returns VI_SUCCESS, IVI_ERROR_BAD_OPTION_NAME, IVI_ERROR_BAD_OPTION_VALUE,
 *   IVI_ERROR_ID_QUERY_FAILED, a configuration store status; I/O statuses */
ZEVRA_API ViStatus ZEVRA_init(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset, ViSession *Vi);

/* As ZEVRA_init, with an option string: any of
 * "Simulate=1, Cache=1, RangeCheck=1, QueryInstrStatus=1, RecordCoercions=0,
 *  InterchangeCheck=0" (values true/false, 1/0, VI_TRUE/VI_FALSE; names and
 * values in any case), optionally ending with "DriverSetup=Model=QDX7000".
 * @param[in] ResourceName a VISA resource ("TCPIP0::192.168.1.20::5025::SOCKET",
 *   "TCPIP0::host::hislip0::INSTR", "USB0::...::INSTR", "ASRL/dev/ttyUSB0::INSTR") or a logical
 *   name of the configuration store
 * @param[in] IdQuery VI_TRUE checks that the instrument ("*IDN?") is a model the driver supports
 * @param[in] Reset VI_TRUE resets the instrument after opening
 * @param[in] OptionString inherent options, "Name=value" separated by commas (Simulate, Cache,
 *   RangeCheck, QueryInstrStatus, RecordCoercions, InterchangeCheck; values 1/0, true/false,
 *   VI_TRUE/VI_FALSE), optionally ending with "DriverSetup=Model=QDX7000"; "" for none
 * @param[out] Vi the session handle from ZEVRA_init or ZEVRA_InitWithOptions
 * @sends "*IDN?", "*RST", "*OPC?" (for ZEVRA_InitWithOptions("TCPIP0::host::5025::SOCKET", VI_TRUE,
 *   VI_TRUE, "QueryInstrStatus=0", &vi))
 * @returns VI_SUCCESS, IVI_ERROR_BAD_OPTION_NAME, IVI_ERROR_BAD_OPTION_VALUE,
 *   IVI_ERROR_ID_QUERY_FAILED, a configuration store status; I/O statuses */
ZEVRA_API ViStatus ZEVRA_InitWithOptions(ViRsrc ResourceName, ViBoolean IdQuery, ViBoolean Reset,
                                         ViConstString OptionString, ViSession *Vi);

/* Closes the session and its I/O; the handle answers
 * IVI_ERROR_INVALID_SESSION_HANDLE afterwards. Calls already running on other
 * threads (and a lock another thread holds) finish first; calls that start
 * after the close began are refused.
 * @returns VI_SUCCESS */
ZEVRA_API ViStatus ZEVRA_close(ViSession Vi);

/*- Inherent utilities -----------------------------------------------------------*/

/* "*RST", "*OPC?" and the status check; empties the attribute cache.
 * @sends "*RST", "*OPC?" (for ZEVRA_reset(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_reset(ViSession Vi);
/* Reset, then the six inherent options return to their values after opening.
 * @sends "*RST", "*OPC?" (for ZEVRA_ResetWithDefaults(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ResetWithDefaults(ViSession Vi);
/* Puts the instrument in a safe state ("*RST"); the cache is kept.
 * @sends "*RST", "*OPC?" (for ZEVRA_Disable(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_Disable(ViSession Vi);
/* "*TST?": TestResult 0 and "Selftest passed", or the instrument's code and
 * "Selftest failed". TestMessage holds 256 bytes.
 * @param[out] TestResult 0 when the self-test passed, else the instrument's code
 * @param[out] TestMessage a buffer of at least 256 bytes for the self-test's message
 * @sends "*TST?" (for ZEVRA_self_test(vi, &result, message))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_self_test(ViSession Vi, ViInt16 *TestResult, ViChar TestMessage[]);
/* One entry of the instrument's error queue (":SYST:ERR?"): its code and
 * message without quotes. ErrorMessage holds 256 bytes.
 * @param[out] ErrorCode the status or instrument error code
 * @param[out] ErrorMessage a buffer of at least 256 bytes for the message, without quotes
 * @sends ":SYST:ERR?" (for ZEVRA_error_query(vi, &code, message))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_error_query(ViSession Vi, ViInt32 *ErrorCode, ViChar ErrorMessage[]);
/* Driver revision and the instrument's firmware revision, 256 bytes each.
 * @param[out] DriverRev a buffer of at least 256 bytes for the driver's revision
 * @param[out] InstrRev a buffer of at least 256 bytes for the instrument's firmware revision
 * @returns VI_SUCCESS */
ZEVRA_API ViStatus ZEVRA_revision_query(ViSession Vi, ViChar DriverRev[], ViChar InstrRev[]);
/* Hold the session lock across several calls. With a non-null CallerHasLock
 * the lock is taken only when *CallerHasLock is VI_FALSE (and released only
 * when it is VI_TRUE), and the flag is updated.
 * @param[out] CallerHasLock VI_NULL, or a flag saying whether the caller holds the lock, updated by
 *   the call
 * @returns VI_SUCCESS */
ZEVRA_API ViStatus ZEVRA_LockSession(ViSession Vi, ViBoolean *CallerHasLock);
/* Releases the lock ZEVRA_LockSession took; with CallerHasLock, only when *CallerHasLock is
 * VI_TRUE, which it then sets to VI_FALSE.
 * @param[out] CallerHasLock VI_NULL, or a flag saying whether the caller holds the lock, updated by
 *   the call
 * @returns VI_SUCCESS, 0xBFFA1191 (this thread does not hold the lock) */
ZEVRA_API ViStatus ZEVRA_UnlockSession(ViSession Vi, ViBoolean *CallerHasLock);
/* Empties the attribute cache.
 * @returns VI_SUCCESS */
ZEVRA_API ViStatus ZEVRA_InvalidateAllAttributes(ViSession Vi);

/*- Direct I/O (refused in simulation with ZEVRA_ERROR_IO) -------------------------*/

/* Sends BufferSize bytes of Buffer to the instrument as they are (any byte, NUL included), ending
 * the message; ReturnCount receives how many were sent (it may be VI_NULL).
 * @param[in] BufferSize the size of Buffer in bytes
 * @param[in] Buffer the bytes to send, any byte included
 * @param[out] ReturnCount how many bytes were sent or read; may be VI_NULL
 * @returns VI_SUCCESS, ZEVRA_ERROR_IO (in simulation), a VISA status (VI_ERROR_TMO,
 *   VI_ERROR_CONN_LOST, ...) */
ZEVRA_API ViStatus ZEVRA_viWrite(ViSession Vi, ViInt64 BufferSize, ViConstString Buffer, ViInt64 *ReturnCount);
/* Reads one response; when Buffer is too small the rest of that response is
 * read and discarded, so the next read starts a fresh one.
 * @param[in] BufferSize the size of Buffer in bytes
 * @param[out] Buffer a buffer for the reply's bytes (not NUL-terminated)
 * @param[out] ReturnCount how many bytes were sent or read; may be VI_NULL
 * @returns VI_SUCCESS, ZEVRA_ERROR_IO (in simulation), a VISA status (VI_ERROR_TMO,
 *   VI_ERROR_CONN_LOST, ...) */
ZEVRA_API ViStatus ZEVRA_viRead(ViSession Vi, ViInt64 BufferSize, ViChar Buffer[], ViInt64 *ReturnCount);

/*- Errors -------------------------------------------------------------------------*/

/* The error recorded on the session (Vi 0: the calling thread's last error),
 * then cleared. BufferSize 0 returns the size needed and clears nothing; a
 * smaller buffer gets a truncated text and the size needed as result.
 * @param[out] ErrorCode the status or instrument error code
 * @param[in] ErrorDescriptionBufferSize the size of ErrorDescription in bytes, terminating NUL
 *   included
 * @param[out] ErrorDescription a buffer for the description; VI_NULL with a size of 0 asks only for
 *   the size needed
 * @returns VI_SUCCESS */
ZEVRA_API ViStatus ZEVRA_GetError(ViSession Vi, ViStatus *ErrorCode, ViInt32 ErrorDescriptionBufferSize,
                                  ViChar ErrorDescription[]);
/* Clears the error ZEVRA_GetError would return for the session (Vi 0: for this thread).
 * @returns VI_SUCCESS */
ZEVRA_API ViStatus ZEVRA_ClearError(ViSession Vi);
/* The message template of one of the status codes above (256 bytes).
 * @param[in] ErrorCode the status or instrument error code
 * @param[out] ErrorMessage a buffer of at least 256 bytes for the status's message
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_VALUE */
ZEVRA_API ViStatus ZEVRA_error_message(ViSession Vi, ViStatus ErrorCode, ViChar ErrorMessage[]);

/*- Attributes ----------------------------------------------------------------*/

#define IVI_INHERENT_ATTR_BASE 1050000
#define IVI_SPECIFIC_ATTR_BASE 1150000
#define IVI_CLASS_ATTR_BASE 1250000

/** Whether values are range-checked before they are sent. This driver checks no ranges itself on a
 *  real session: the instrument refuses what it cannot take, and with query_instrument_status on
 *  its error is reported. ViBoolean, read/write, inherent. A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_RANGE_CHECK 1050002
/** Whether every instrument operation ends with a status check ("*ESR?") that turns an error the
 *  instrument has queued into IVI_ERROR_INSTRUMENT_STATUS. ViBoolean, read/write, inherent. A
 *  behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS 1050003
/** Whether the driver keeps the last value of each attribute. On a real session the values are kept
 *  but never consulted: every read asks the instrument and every write is sent. ViBoolean,
 *  read/write, inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_CACHE 1050004
/** Whether the session simulates the instrument: reads answer the last value written (or a
 *  default), functions answer without I/O. Cannot be turned off on a session opened simulating.
 *  ViBoolean, read/write, inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_SIMULATE 1050005
/** Whether coerced values are recorded. This driver coerces no value, so there is never a record.
 *  ViBoolean, read/write, inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_RECORD_COERCIONS 1050006
/** The DriverSetup text of the option string or the configuration store (for example
 *  "Model=QDX7000"). ViString, read-only, inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_DRIVER_SETUP 1050007
/** Whether interchangeability is checked. Not supported: VI_TRUE is refused. Values: VI_FALSE only.
 *  ViBoolean, read/write, inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_INTERCHANGE_CHECK 1050021
/** The number of output channels. Values: always 4. ViInt32, read-only, inherent. A behaviour of
 *  its own (see docs/reference.md). */
#define ZEVRA_ATTR_CHANNEL_COUNT 1050203
/** The driver's prefix. Values: "ZEVRA". ViString, read-only, inherent. A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_SPECIFIC_DRIVER_PREFIX 1050302
/** The VISA resource the session opened (a logical name resolved through the configuration store).
 *  ViString, read-only, inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_IO_RESOURCE_DESCRIPTOR 1050304
/** The logical name the session was opened by, or empty when it was opened by a resource. ViString,
 *  read-only, inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_LOGICAL_NAME 1050305
/** The instrument models the driver supports, separated by commas. ViString, read-only, inherent. A
 *  behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_SUPPORTED_INSTRUMENT_MODELS 1050327
/** The IviDCPwr class capability groups the driver implements, separated by commas. ViString,
 *  read-only, inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_GROUP_CAPABILITIES 1050401
/** The instrument's firmware revision, the fourth field of its identity ("*IDN?"); "Sim" and the
 *  driver revision when simulating. ViString, read-only, inherent. A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_INSTRUMENT_FIRMWARE_REVISION 1050510
/** The instrument's manufacturer, the first field of its identity ("*IDN?"). ViString, read-only,
 *  inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_INSTRUMENT_MANUFACTURER 1050511
/** The instrument's model, the second field of its identity, or the model DriverSetup or the
 *  configuration store chose. ViString, read-only, inherent. A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_INSTRUMENT_MODEL 1050512
/** The driver's vendor. ViString, read-only, inherent. A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_SPECIFIC_DRIVER_VENDOR 1050513
/** A description of the driver. ViString, read-only, inherent. A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_SPECIFIC_DRIVER_DESCRIPTION 1050514
/** The major version of the IviDCPwr class specification the driver implements. ViInt32, read-only,
 *  inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION 1050515
/** The minor version of the IviDCPwr class specification the driver implements. ViInt32, read-only,
 *  inherent. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MINOR_VERSION 1050516
/** The driver's revision. ViString, read-only, inherent. A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION 1050551
/** The VISA session the driver talks to the instrument through, for direct I/O beside the driver.
 *  Not available when simulating. ViSession, read-only, instrument. A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_SYSTEM_IO_SESSION 1150001
/** The VISA session's I/O timeout. Not available when simulating. Values: milliseconds. ViInt32,
 *  read/write, instrument. A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_SYSTEM_IO_TIMEOUT 1150002
/** How the inhibit input of the digital port acts on the outputs: latching, live, or off. ViInt32,
 *  read/write, instrument. Query `OUTP:INH:MODE?\n`. Command `OUTP:INH:MODE %s\n`. Defined values:
 *  inhibit mode. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_DIGITAL_INHIBIT_MODE 1150003
/** The levels of the digital port's input pins, one bit per pin. Values: a bit mask, one bit per
 *  pin. ViInt32, read-only, instrument. Query `DIG:INP:DATA?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_DIGITAL_INPUT_DATA 1150004
/** The levels the digital port's output pins drive, one bit per pin. Values: a bit mask, one bit
 *  per pin. ViInt32, read/write, instrument. Query `DIG:OUTP:DATA?\n`. Command `DIG:OUTP:DATA
 *  %ld\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_DIGITAL_OUTPUT_DATA 1150005
/** The channel the instrument's channel-less commands act on ("INST:SEL"); channel-based operations
 *  set it themselves. ViInt32, read/write, instrument. Query `INST:SEL?\n`. Command `INST:SEL
 *  %s\n`. Defined values: channel. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_SELECTED_CHANNEL 1150006
/** Whether the selected list step sends a trigger out when it begins. ViBoolean, read/write,
 *  instrument. Query `LIST:TOUT:BOST:DATA?\n`. Command `LIST:TOUT:BOST:DATA %s\n`. Defined values:
 *  boolean. Simulated read: last written, else VI_TRUE. */
#define ZEVRA_ATTR_BEGINNING_OF_STEP_TRIGGER_ENABLED 1150007
/** The dwell time of the selected list step. Values: the instrument's units and range; passed
 *  unchanged. ViInt32, read/write, instrument. Query `LIST:DWEL?\n`. Command `LIST:DWEL %ld\n`.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_LIST_DWELL 1150008
/** Whether the selected list step sends a trigger out when it ends. ViBoolean, read/write,
 *  instrument. Query `LIST:TOUT:EOST:DATA?\n`. Command `LIST:TOUT:EOST:DATA %s\n`. Defined values:
 *  boolean. Simulated read: last written, else VI_TRUE. */
#define ZEVRA_ATTR_END_OF_STEP_TRIGGER_ENABLED 1150009
/** How many times the selected list runs. Values: the instrument's range; passed unchanged.
 *  ViInt32, read/write, instrument. Query `LIST:COUN?\n`. Command `LIST:COUN %ld\n`. Simulated
 *  read: last written, else 0. */
#define ZEVRA_ATTR_LIST_REPEAT_COUNT 1150010
/** The current of the selected list step. Values: amperes; 0 to the module's maximum current: 3 A
 *  (QDX7104, QDX7304), 5 A (QDX7103, QDX7303), 9.4 A (QDX7102, QDX7302), 20 A (QDX7101, QDX7301).
 *  ViReal64, read/write, instrument. Query `LIST:CURR?\n`. Command `LIST:CURR %0.15lg\n`. Simulated
 *  read: last written, else 0. */
#define ZEVRA_ATTR_STEP_CURRENT 1150011
/** The voltage of the selected list step. Values: volts; 0 to the module's maximum voltage: 15 V
 *  (QDX7101, QDX7301), 32 V (QDX7102, QDX7302), 60 V (QDX7103, QDX7303), 100 V (QDX7104, QDX7304).
 *  ViReal64, read/write, instrument. Query `LIST:VOLT?\n`. Command `LIST:VOLT %0.15lg\n`. Simulated
 *  read: last written, else 0. */
#define ZEVRA_ATTR_STEP_VOLTAGE 1150012
/** The list that runs after the selected list ends. Values: a list number of the instrument; passed
 *  unchanged. ViInt32, read/write, instrument. Query `LIST:NEXT?\n`. Command `LIST:NEXT %ld\n`.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_NEXT_LIST 1150013
/** The list that list commands and attributes act on. Values: a list number of the instrument;
 *  passed unchanged. ViInt32, read/write, instrument. Query `LIST:NUMB?\n`. Command `LIST:NUMB
 *  %ld\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_SELECTED_LIST 1150014
/** Whether a list is running. ViBoolean, read-only, instrument. Query `LIST:STAT?\n`. Defined
 *  values: boolean. Simulated read: always VI_TRUE. */
#define ZEVRA_ATTR_LIST_IS_RUNNING 1150015
/** What advances a list from step to step: each step's dwell time, or a trigger. ViInt32,
 *  read/write, instrument. Query `LIST:STEP?\n`. Command `LIST:STEP %s\n`. Defined values: list
 *  pace. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_LIST_PACE 1150016
/** The step of the selected list that step attributes act on. Values: a step number of the
 *  instrument; passed unchanged. ViInt32, read/write, instrument. Query `LIST:STEP:NUMB?\n`.
 *  Command `LIST:STEP:NUMB %ld\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_SELECTED_STEP 1150017
/** What the output does when a list ends: returns to its DC settings or keeps the last step's.
 *  ViInt32, read/write, instrument. Query `LIST:TERM:LAST?\n`. Command `LIST:TERM:LAST %s\n`.
 *  Defined values: list terminate state. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_LIST_TERMINATE_STATE 1150018
/** What triggers the instrument: immediately (MANUAL, sent as "IMM"), a bus trigger such as "*TRG"
 *  (REMOTE, "BUS"), or the digital port (DIGITAL_IO, "EXT"). ViInt32, read/write, instrument. Query
 *  `TRIG:SEQ:SOUR?\n`. Command `TRIG:SEQ:SOUR %s\n`. Defined values: specific trigger source.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_LIST_TRIGGER_SOURCE 1150019
/** Switches every output on or off at once. ViBoolean, write-only, instrument. Command
 *  `OUTP:ALL:STATE %s\n`. Defined values: boolean. */
#define ZEVRA_ATTR_ALL_OUTPUTS_ENABLED 1150020
/** The delay before the selected output switches on. Values: the instrument's units and range;
 *  passed unchanged. ViInt32, read/write, instrument. Query `OUTP:DEL:RISE?\n`. Command
 *  `OUTP:DEL:RISE %ld\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_OUTPUT_DELAY_RISE 1150021
/** The delay before the selected output switches off. Values: the instrument's units and range;
 *  passed unchanged. ViInt32, read/write, instrument. Query `OUTP:DEL:FALL?\n`. Command
 *  `OUTP:DEL:FALL %ld\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_OUTPUT_DELAY_FALL 1150022
/** How the outputs are combined: independent (normal), in parallel, in series, or tracking, over 2
 *  to 4 channels. ViInt32, read/write, instrument. Query `OUTP:PAIR?\n`. Command `OUTP:PAIR %s\n`.
 *  Defined values: output mode. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_OUTPUT_MODE 1150024
/** Whether the instrument's output timer is on. ViBoolean, read/write, instrument. Query
 *  `OUTP:TIM?\n`. Command `OUTP:TIM %s\n`. Defined values: boolean. Simulated read: last written,
 *  else VI_TRUE. */
#define ZEVRA_ATTR_OUTPUT_TIMER_ENABLED 1150026
/** The output timer's time. Values: text in the instrument's format; passed unchanged. ViString,
 *  read/write, instrument. Query `OUTP:TIM:COUN?\n`. Command `OUTP:TIM:COUN %s\n`. Simulated read:
 *  last written, else "0". */
#define ZEVRA_ATTR_OUTPUT_TIMER_DWELL 1150027
/** The regulated current of the selected channel. Values: amperes; 0 to the module's maximum
 *  current: 3 A (QDX7104, QDX7304), 5 A (QDX7103, QDX7303), 9.4 A (QDX7102, QDX7302), 20 A
 *  (QDX7101, QDX7301). ViReal64, read/write, instrument. Query `:CURR?\n`. Command `:CURR
 *  %0.15lg\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_CURRENT_LEVEL 1150028
/** Whether overcurrent protection is on for the selected channel. ViBoolean, read/write,
 *  instrument. Query `:CURR:PROT:STAT?\n`. Command `:CURR:PROT:STAT %s\n`. Defined values: boolean.
 *  Simulated read: last written, else VI_TRUE. */
#define ZEVRA_ATTR_OCP_ENABLED 1150029
/** Whether the selected channel's overcurrent protection has tripped. ViBoolean, read-only,
 *  instrument. Query `:CURR:PROT:TRIP?\n`. Defined values: boolean. Simulated read: always VI_TRUE. */
#define ZEVRA_ATTR_OCP_TRIPPED 1150030
/** The current at which the selected channel's overcurrent protection trips. Values: amperes; 0 to
 *  the module's maximum current: 3 A (QDX7104, QDX7304), 5 A (QDX7103, QDX7303), 9.4 A (QDX7102,
 *  QDX7302), 20 A (QDX7101, QDX7301). ViReal64, read/write, instrument. Query `:CURR:PROT?\n`.
 *  Command `:CURR:PROT %0.15lg\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL 1150031
/** How fast the selected channel's current changes to a new level. Values: the instrument's units
 *  (amperes per time) and range; passed unchanged. ViReal64, read/write, instrument. Query
 *  `:CURR:SLOPE?\n`. Command `:CURR:SLOPE %0.15lg\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_CURRENT_SLEW_RATE 1150032
/** The highest voltage the selected channel may be set to. Values: volts; 0 to the module's maximum
 *  voltage: 15 V (QDX7101, QDX7301), 32 V (QDX7102, QDX7302), 60 V (QDX7103, QDX7303), 100 V
 *  (QDX7104, QDX7304). ViReal64, read/write, instrument. Query `VOLT:MAX?\n`. Command `VOLT:MAX
 *  %0.15lg\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_VOLTAGE_MAXIMUM 1150034
/** The lowest voltage the selected channel may be set to. Values: volts; 0 to the module's maximum
 *  voltage: 15 V (QDX7101, QDX7301), 32 V (QDX7102, QDX7302), 60 V (QDX7103, QDX7303), 100 V
 *  (QDX7104, QDX7304). ViReal64, read/write, instrument. Query `VOLT:MIN?\n`. Command `VOLT:MIN
 *  %0.15lg\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_VOLTAGE_MINIMUM 1150035
/** Whether the selected channel's overvoltage protection has tripped. ViBoolean, read-only,
 *  instrument. Query `:VOLT:PROT:TRIP?\n`. Defined values: boolean. Simulated read: always VI_TRUE. */
#define ZEVRA_ATTR_OVP_TRIPPED 1150036
/** The voltage at which the selected channel's overvoltage protection trips. Values: volts; 0 to
 *  the module's maximum voltage: 15 V (QDX7101, QDX7301), 32 V (QDX7102, QDX7302), 60 V (QDX7103,
 *  QDX7303), 100 V (QDX7104, QDX7304). ViReal64, read/write, instrument. Query `:VOLT:PROT?\n`.
 *  Command `:VOLT:PROT %0.15lg\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL 1150038
/** How fast the selected channel's voltage changes to a new level. Values: the instrument's units
 *  (volts per time) and range; passed unchanged. ViReal64, read/write, instrument. Query
 *  `VOLT:SLOP?\n`. Command `VOLT:SLOP %0.15lg\n`. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_VOLTAGE_SLEW_RATE 1150039
/** Whether the selected channel regulates at its remote sense terminals. ViBoolean, read/write,
 *  instrument. Query `:VOLT:SENS?\n`. Command `:VOLT:SENS %s\n`. Defined values: boolean. Simulated
 *  read: last written, else VI_TRUE. */
#define ZEVRA_ATTR_VOLTAGE_SENSE_ENABLED 1150040
/** Whether the instrument clears its status enable registers at power-on ("*PSC"). ViBoolean,
 *  read/write, instrument. Query `*PSC?\n`. Command `*PSC %s\n`. Defined values: boolean. Simulated
 *  read: last written, else VI_TRUE. */
#define ZEVRA_ATTR_POWER_ON_STATUS_CLEAR_ENABLED 1150041
/** Which operation status events are summarised in the status byte. Values: a bit mask. ViInt32,
 *  read/write, instrument. Query `STAT:OPER:ENAB?\n`. Command `STAT:OPER:ENAB %ld\n`. Simulated
 *  read: last written, else 0. */
#define ZEVRA_ATTR_OPERATION_ENABLE_REGISTER 1150042
/** The operation status events since the register was last read (reading clears it). Values: a bit
 *  mask. ViInt32, read-only, instrument. Query `STAT:OPER:EVEN?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_OPERATION_EVENT_REGISTER 1150043
/** Which questionable status events are summarised in the status byte. Values: a bit mask. ViInt32,
 *  read/write, instrument. Query `STAT:QUES:ENAB?\n`. Command `STAT:QUES:ENAB %ld\n`. Simulated
 *  read: last written, else 0. */
#define ZEVRA_ATTR_QUESTIONABLE_ENABLE_REGISTER 1150044
/** The questionable status events since the register was last read (reading clears it). Values: a
 *  bit mask. ViInt32, read-only, instrument. Query `STAT:QUES:EVEN?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_EVENT_REGISTER 1150045
/** Which channels' questionable summaries are summarised in the questionable status register.
 *  Values: a bit mask, one bit per channel. ViInt32, read/write, instrument. Query
 *  `STAT:QUES:INST:ENAB?\n`. Command `STAT:QUES:INST:ENAB %ld\n`. Simulated read: last written,
 *  else 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_ENABLE_REGISTER 1150046
/** Which channels have reported a questionable event since the register was last read. Values: a
 *  bit mask, one bit per channel. ViInt32, read-only, instrument. Query `STAT:QUES:INST?\n`.
 *  Simulated read: always 2. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_EVENT_REGISTER 1150047
/** Channel 1's questionable state now: bit 0 constant current, bit 1 overvoltage, bit 2
 *  unregulated. Values: a bit mask. ViInt32, read-only, instrument. Query
 *  `STAT:QUES:ISUM1:COND?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_CONDITION_REGISTER 1150048
/** Which of channel 1's questionable events are summarised. Values: a bit mask. ViInt32,
 *  read/write, instrument. Query `STAT:QUES:ISUM1:ENAB?\n`. Command `STAT:QUES:ISUM1:ENAB %ld\n`.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_ENABLE_REGISTER 1150049
/** Channel 1's questionable events since the register was last read. Values: a bit mask. ViInt32,
 *  read-only, instrument. Query `STAT:QUES:ISUM1?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_EVENT_REGISTER 1150050
/** Channel 2's questionable state now: bit 0 constant current, bit 1 overvoltage, bit 2
 *  unregulated. Values: a bit mask. ViInt32, read-only, instrument. Query
 *  `STAT:QUES:ISUM2:COND?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_CONDITION_REGISTER 1150051
/** Which of channel 2's questionable events are summarised. Values: a bit mask. ViInt32,
 *  read/write, instrument. Query `STAT:QUES:ISUM2:ENAB?\n`. Command `STAT:QUES:ISUM2:ENAB %ld\n`.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_ENABLE_REGISTER 1150052
/** Channel 2's questionable events since the register was last read. Values: a bit mask. ViInt32,
 *  read-only, instrument. Query `STAT:QUES:ISUM2?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_EVENT_REGISTER 1150053
/** Channel 3's questionable state now: bit 0 constant current, bit 1 overvoltage, bit 2
 *  unregulated. Values: a bit mask. ViInt32, read-only, instrument. Query
 *  `STAT:QUES:ISUM3:COND?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_CONDITION_REGISTER 1150054
/** Which of channel 3's questionable events are summarised. Values: a bit mask. ViInt32,
 *  read/write, instrument. Query `STAT:QUES:ISUM3:ENAB?\n`. Command `STAT:QUES:ISUM3:ENAB %ld\n`.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_ENABLE_REGISTER 1150055
/** Channel 3's questionable events since the register was last read. Values: a bit mask. ViInt32,
 *  read-only, instrument. Query `STAT:QUES:ISUM3?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_EVENT_REGISTER 1150056
/** Channel 4's questionable state now: bit 0 constant current, bit 1 overvoltage, bit 2
 *  unregulated. Values: a bit mask. ViInt32, read-only, instrument. Query
 *  `STAT:QUES:ISUM4:COND?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_CONDITION_REGISTER 1150057
/** Which of channel 4's questionable events are summarised. Values: a bit mask. ViInt32,
 *  read/write, instrument. Query `STAT:QUES:ISUM4:ENAB?\n`. Command `STAT:QUES:ISUM4:ENAB %ld\n`.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_ENABLE_REGISTER 1150058
/** Channel 4's questionable events since the register was last read. Values: a bit mask. ViInt32,
 *  read-only, instrument. Query `STAT:QUES:ISUM4?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_EVENT_REGISTER 1150059
/** Which standard events (IEEE 488.2) are summarised in the status byte ("*ESE"). Values: a bit
 *  mask, 0 to 255. ViInt32, read/write, instrument. Query `*ESE?\n`. Command `*ESE %ld\n`.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_STANDARD_EVENT_ENABLE_REGISTER 1150060
/** The standard events (IEEE 488.2) since the register was last read ("*ESR?"; reading clears it).
 *  With query_instrument_status on, the driver's own checks read it too. Values: a bit mask, 0 to
 *  255. ViInt32, read-only, instrument. Query `*ESR?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_STANDARD_EVENT_EVENT_REGISTER 1150061
/** Which status byte bits request service ("*SRE"). Values: a bit mask, 0 to 255. ViInt32,
 *  read/write, instrument. Query `*SRE?\n`. Command `*SRE %ld\n`. Simulated read: last written,
 *  else 0. */
#define ZEVRA_ATTR_STATUS_BYTE_ENABLE_REGISTER 1150062
/** The instrument's status byte ("*STB?"). Values: a bit mask, 0 to 255. ViInt32, read-only,
 *  instrument. Query `*STB?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_STATUS_BYTE_EVENT_REGISTER 1150063
/** Whether the instrument's beeper sounds. ViBoolean, read/write, instrument. Query
 *  `SYST:BEEP:STAT?\n`. Command `SYST:BEEP:STAT %s\n`. Defined values: boolean. Simulated read:
 *  last written, else VI_TRUE. */
#define ZEVRA_ATTR_BEEPER_ENABLED 1150064
/** The instrument's calendar date. Values: text in the instrument's format ("2026,12,7"); passed
 *  unchanged. ViString, read/write, instrument. Query `SYST:DATE?\n`. Command `SYST:DATE %s\n`.
 *  Simulated read: last written, else "". */
#define ZEVRA_ATTR_SYSTEM_DATE 1150065
/** Whether the instrument's display is on. ViBoolean, read/write, instrument. Query
 *  `DISP:WIND:STAT?\n`. Command `DISP:WIND:STAT %s\n`. Defined values: boolean. Simulated read:
 *  last written, else VI_TRUE. */
#define ZEVRA_ATTR_DISPLAY_ENABLED 1150066
/** Whether the instrument shows its LXI identify indication. ViBoolean, read/write, instrument.
 *  Query `LXI:IDEN:STAT?\n`. Command `LXI:IDEN:STAT %s\n`. Defined values: boolean. Simulated read:
 *  last written, else VI_TRUE. */
#define ZEVRA_ATTR_LXI_IDENTIFY_ENABLED 1150067
/** The model of the selected channel's output module ("QDX7102"...), which gives its ratings.
 *  ViString, read-only, instrument. Query `SYST:CHAN:MOD?\n`. Simulated read: always "". */
#define ZEVRA_ATTR_MODULE_IDENTITY 1150068
/** The serial number of the selected channel's output module. ViString, read-only, instrument.
 *  Query `SYST:CHAN:SERI?\n`. Simulated read: always "". */
#define ZEVRA_ATTR_MODULE_SERIAL_NUMBER 1150069
/** The firmware version of the selected channel's output module. ViString, read-only, instrument.
 *  Query `SYST:CHAN:VERS?\n`. Simulated read: always "". */
#define ZEVRA_ATTR_MODULE_FIRMWARE_VERSION 1150070
/** The instrument's time of day. Values: text in the instrument's format; passed unchanged.
 *  ViString, read/write, instrument. Query `SYST:TIME?\n`. Command `SYST:TIME %s\n`. Simulated
 *  read: always "0". */
#define ZEVRA_ATTR_SYSTEM_TIME 1150071
/** Whether the instrument is in remote, local, or remote with its front panel locked. ViInt32,
 *  read/write, instrument. Query `SYST:COMM:RLST?\n`. Command `SYST:COMM:RLST %s\n`. Defined
 *  values: remote state. Simulated read: last written, else 0. */
#define ZEVRA_ATTR_REMOTE_STATE 1150072
/** The SCPI version the instrument reports. ViString, read-only, instrument. Query `SYST:VERS?\n`.
 *  Simulated read: always "". */
#define ZEVRA_ATTR_SCPI_VERSION 1150073
/** The TCP port of the instrument's control connection. ViInt32, read-only, instrument. Query
 *  `SYST:COMM:TCP:CONT?\n`. Simulated read: always 0. */
#define ZEVRA_ATTR_TCP_CONTROL_PORT 1150074
/** The voltage the channel regulates to. Values: volts; 0 to the module's maximum voltage: 15 V
 *  (QDX7101, QDX7301), 32 V (QDX7102, QDX7302), 60 V (QDX7103, QDX7303), 100 V (QDX7104, QDX7304).
 *  ViReal64, read/write, class (channel-based). Query `:VOLT?\n`. Command `:VOLT %0.15lg\n`.
 *  Simulated read: last written, else 0. */
#define ZEVRA_ATTR_VOLTAGE_LEVEL 1250001
/** Whether overvoltage protection is on. Always on with this instrument: VI_FALSE is refused.
 *  Values: VI_TRUE only. ViBoolean, read/write, class (channel-based). A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_OVP_ENABLED 1250002
/** The voltage at which the channel's overvoltage protection trips (its voltage protection level).
 *  Values: volts; 0 to the module's maximum voltage: 15 V (QDX7101, QDX7301), 32 V (QDX7102,
 *  QDX7302), 60 V (QDX7103, QDX7303), 100 V (QDX7104, QDX7304). ViReal64, read/write, class
 *  (channel-based). A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_OVP_LIMIT 1250003
/** What the current limit does: 0 regulates (the limit is the current level), 1 trips (the limit is
 *  the overcurrent protection level). Kept by the driver per channel. Values: 0 (regulate) or 1
 *  (trip). ViInt32, read/write, class (channel-based). A behaviour of its own (see
 *  docs/reference.md). */
#define ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR 1250004
/** The channel's current limit: its current level, or its overcurrent protection level when the
 *  behaviour is trip. Values: amperes; 0 to the module's maximum current: 3 A (QDX7104, QDX7304), 5
 *  A (QDX7103, QDX7303), 9.4 A (QDX7102, QDX7302), 20 A (QDX7101, QDX7301). ViReal64, read/write,
 *  class (channel-based). A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_CURRENT_LIMIT 1250005
/** Whether the channel's output is on. ViBoolean, read/write, class (channel-based). Query
 *  `OUTP:STAT?\n`. Command `OUTP:STAT %s\n`. Defined values: boolean. Simulated read: last written,
 *  else VI_TRUE. */
#define ZEVRA_ATTR_OUTPUT_ENABLED 1250006
/** What triggers the channel, mapped onto the instrument's trigger source: immediate, external (the
 *  digital port) or software ("*TRG"); other sources are refused. Values: ZEVRA_VAL_TRIG_IMMEDIATE,
 *  ZEVRA_VAL_TRIG_EXTERNAL or ZEVRA_VAL_SOFTWARE_TRIG. ViInt32, read/write, class (channel-based).
 *  A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_TRIGGER_SOURCE 1250101
/** The current limit a trigger applies. Not supported by the instrument. ViReal64, read/write,
 *  class (channel-based). A behaviour of its own (see docs/reference.md). */
#define ZEVRA_ATTR_TRIGGERED_CURRENT_LIMIT 1250102
/** The voltage level a trigger applies. Not supported by the instrument. ViReal64, read/write,
 *  class (channel-based). A behaviour of its own (see docs/reference.md). */
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
 * 4096; a value that filled the buffer returns 4096 (it may have been cut).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_READABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                             ViInt32 *AttributeValue);
/* Reads a ViReal64 attribute into *AttributeValue; RepCapIdentifier names the channel of a
 * channel-based attribute ("" for an instrument-wide one).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_READABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                              ViReal64 *AttributeValue);
/* Reads a ViBoolean attribute into *AttributeValue; RepCapIdentifier names the channel of a
 * channel-based attribute ("" for an instrument-wide one).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_READABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViBoolean *AttributeValue);
/* Reads a ViSession attribute into *AttributeValue; RepCapIdentifier names the channel of a
 * channel-based attribute ("" for an instrument-wide one).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_READABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViSession *AttributeValue);
/* Reads a ViString attribute into AttributeValue, at most AttributeValueBufferSize bytes with the
 * terminating NUL; returns the size the whole value needs when the buffer is too small (0 size:
 * only the size).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[in] AttributeValueBufferSize the size of the AttributeValue buffer in bytes, terminating
 *   NUL included; 0 asks only for the size needed
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_READABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                              ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* Writes a ViInt32 attribute; RepCapIdentifier names the channel (or channels) of a channel-based
 * attribute ("" for an instrument-wide one).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_WRITABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetAttributeViInt32(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                             ViInt32 AttributeValue);
/* Writes a ViReal64 attribute; RepCapIdentifier names the channel (or channels) of a channel-based
 * attribute ("" for an instrument-wide one).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_WRITABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetAttributeViReal64(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                              ViReal64 AttributeValue);
/* Writes a ViBoolean attribute; RepCapIdentifier names the channel (or channels) of a
 * channel-based attribute ("" for an instrument-wide one).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_WRITABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetAttributeViBoolean(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViBoolean AttributeValue);
/* Writes a ViSession attribute; RepCapIdentifier names the channel (or channels) of a
 * channel-based attribute ("" for an instrument-wide one).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_WRITABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetAttributeViSession(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                               ViSession AttributeValue);
/* Writes a ViString attribute; RepCapIdentifier names the channel (or channels) of a channel-based
 * attribute ("" for an instrument-wide one).
 * @param[in] RepCapIdentifier the channel of a channel-based attribute as a selector ("CH1", a
 *   virtual name, a list or range when writing); "" or VI_NULL for an instrument-wide attribute
 * @param[in] AttributeID the attribute's ZEVRA_ATTR_ constant
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_ATTRIBUTE, IVI_ERROR_TYPES_DO_NOT_MATCH,
 *   IVI_ERROR_IVI_ATTR_NOT_WRITABLE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetAttributeViString(ViSession Vi, ViConstString RepCapIdentifier, ViAttr AttributeID,
                                              ViConstString AttributeValue);

/* The physical name of output channel Index (1 to 4): "CH1" ... "CH4".
 * @param[in] Index the channel's number, 1 to 4
 * @param[in] NameBufferSize the size of Name in bytes, terminating NUL included; 0 asks only for
 *   the size needed
 * @param[out] Name a buffer for the physical channel name, "CH1" to "CH4"
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_VALUE */
ZEVRA_API ViStatus ZEVRA_GetChannelName(ViSession Vi, ViInt32 Index, ViInt32 NameBufferSize, ViChar Name[]);

/*- Coercion records and interchange warnings ---------------------------------------*/

/* The driver never coerces a value: the queue is always empty.
 * @param[in] BufferSize the size of Buffer in bytes
 * @param[out] CoercionRecord a buffer for the record; always receives "" (the driver coerces
 *   nothing)
 * @returns VI_SUCCESS */
ZEVRA_API ViStatus ZEVRA_GetNextCoercionRecord(ViSession Vi, ViInt32 BufferSize, ViChar CoercionRecord[]);
/* Interchange checking is not supported: these answer IVI_ERROR_FUNCTION_NOT_SUPPORTED.
 * @returns VI_SUCCESS, IVI_ERROR_FUNCTION_NOT_SUPPORTED */
ZEVRA_API ViStatus ZEVRA_ClearInterchangeWarnings(ViSession Vi);
/* Not supported: the driver does not check interchangeability (IVI_ERROR_FUNCTION_NOT_SUPPORTED).
 * @param[in] BufferSize the size of Buffer in bytes
 * @param[out] InterchangeWarning a buffer for the warning (not supported)
 * @returns VI_SUCCESS, IVI_ERROR_FUNCTION_NOT_SUPPORTED */
ZEVRA_API ViStatus ZEVRA_GetNextInterchangeWarning(ViSession Vi, ViInt32 BufferSize, ViChar InterchangeWarning[]);
/* Not supported: the driver does not check interchangeability (IVI_ERROR_FUNCTION_NOT_SUPPORTED).
 * @returns VI_SUCCESS, IVI_ERROR_FUNCTION_NOT_SUPPORTED */
ZEVRA_API ViStatus ZEVRA_ResetInterchangeCheck(ViSession Vi);

/*- Output levels and protection ----------------------------------------------------*/

/* ChannelName is a channel selector ("CH1", "CH1,CH3", "CH1-CH4", a virtual name).
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] Level volts; 0 to the channel module's maximum voltage (see ZEVRA_ATTR_VOLTAGE_LEVEL)
 * @sends "INST:SEL 0", "INST:SEL 0", ":VOLT 5" (for ZEVRA_ConfigureVoltageLevel(vi, "CH1", 5.0))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigureVoltageLevel(ViSession Vi, ViConstString ChannelName, ViReal64 Level);
/* Behavior 1 (trip): the limit is the overcurrent protection level; otherwise
 * the regulated current level.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] Behavior 0 regulate (Limit is the current level) or 1 trip (Limit is the overcurrent
 *   protection level)
 * @param[in] Limit amperes; 0 to the channel module's maximum current (see
 *   ZEVRA_ATTR_CURRENT_LIMIT)
 * @sends "INST:SEL 0", "INST:SEL 0", ":CURR 1" (for ZEVRA_ConfigureCurrentLimit(vi, "CH1", 0, 1.0))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigureCurrentLimit(ViSession Vi, ViConstString ChannelName, ViInt32 Behavior,
                                               ViReal64 Limit);
/* Overvoltage protection is always on: Enabled must be VI_TRUE.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] Enabled must be VI_TRUE: the instrument's overvoltage protection is always on
 * @param[in] Limit the overvoltage protection level in volts; 0 to the channel module's maximum
 *   voltage
 * @sends "INST:SEL 0", "INST:SEL 0", ":VOLT:PROT 20" (for ZEVRA_ConfigureOVP(vi, "CH1", VI_TRUE,
 *   20.0))
 * @returns VI_SUCCESS, IVI_ERROR_VALUE_NOT_SUPPORTED; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigureOVP(ViSession Vi, ViConstString ChannelName, ViBoolean Enabled, ViReal64 Limit);
/* From the ratings of the channel's module.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] VoltageLevel volts; 0 to the channel module's maximum voltage (see
 *   ZEVRA_ATTR_VOLTAGE_LEVEL)
 * @param[out] MaxCurrentLimit receives the highest current in amperes the module allows at
 *   VoltageLevel (its power rating over the voltage, at most its current rating)
 * @sends "INST:SEL 0", "SYST:CHAN:MOD?" (for ZEVRA_QueryMaxCurrentLimit(vi, "CH1", 10.0, &max))
 * @returns VI_SUCCESS, IVI_ERROR_UNEXPECTED_RESPONSE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_QueryMaxCurrentLimit(ViSession Vi, ViConstString ChannelName, ViReal64 VoltageLevel,
                                              ViReal64 *MaxCurrentLimit);
/* The highest voltage the channel's module allows at CurrentLimit, from its ratings
 * ("SYST:CHAN:MOD?" names the module).
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] CurrentLimit amperes; 0 to the channel module's maximum current (see
 *   ZEVRA_ATTR_CURRENT_LIMIT)
 * @param[out] MaxVoltageLevel receives the highest voltage in volts the module allows at
 *   CurrentLimit (its power rating over the current, at most its voltage rating)
 * @sends "INST:SEL 0", "SYST:CHAN:MOD?" (for ZEVRA_QueryMaxVoltageLevel(vi, "CH1", 1.0, &max))
 * @returns VI_SUCCESS, IVI_ERROR_UNEXPECTED_RESPONSE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_QueryMaxVoltageLevel(ViSession Vi, ViConstString ChannelName, ViReal64 CurrentLimit,
                                              ViReal64 *MaxVoltageLevel);
/* Clears the protection of each channel named.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @sends "INST:SEL 0", "OUTP:PROT:CLE", "INST:SEL 1", "OUTP:PROT:CLE" (for
 *   ZEVRA_ResetOutputProtection(vi, "CH1,CH2"))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ResetOutputProtection(ViSession Vi, ViConstString ChannelName);
/* These act on the instrument's selected channel.
 * @sends ":CURR:PROT:CLE" (for ZEVRA_ClearOCP(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ClearOCP(ViSession Vi);
/* Clears a tripped overvoltage protection (":VOLT:PROT:CLE").
 * @sends ":VOLT:PROT:CLE" (for ZEVRA_ClearOVP(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ClearOVP(ViSession Vi);
/* Clears the protection errors of the outputs ("OUTP:PROT:CLE").
 * @sends "OUTP:PROT:CLE" (for ZEVRA_ClearProtectionErrors(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ClearProtectionErrors(ViSession Vi);

/*- Output state, range and modes -----------------------------------------------------*/

/* Switches the output of each channel named on (Enabled VI_TRUE) or off ("OUTP:STAT").
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] Enabled VI_TRUE switches the output on, VI_FALSE off
 * @sends "INST:SEL 0", "INST:SEL 0", "OUTP:STAT 1" (for ZEVRA_ConfigureOutputEnabled(vi, "CH1",
 *   VI_TRUE))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigureOutputEnabled(ViSession Vi, ViConstString ChannelName, ViBoolean Enabled);
/* Checks that Range is reachable on each channel (RangeType 0 current, 1
 * voltage); the instrument has no ranges to switch.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] RangeType 0 the current range, 1 the voltage range
 * @param[in] Range amperes (RangeType 0) or volts (RangeType 1) the channel must reach
 * @sends "INST:SEL 0", ":CURR?", "INST:SEL 0", "SYST:CHAN:MOD?" (for ZEVRA_ConfigureOutputRange(vi,
 *   "CH1", 1, 10.0))
 * @returns VI_SUCCESS, IVI_ERROR_INVALID_VALUE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigureOutputRange(ViSession Vi, ViConstString ChannelName, ViInt32 RangeType,
                                              ViReal64 Range);
/* Whether the channel is in OutputState (ZEVRA_VAL_OUTPUT_...), from its own
 * questionable-instrument summary condition register.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] OutputState the state asked about: a ZEVRA_VAL_OUTPUT_ value
 * @param[out] InState receives VI_TRUE when the channel is in that state
 * @sends "INST:SEL 0", "STAT:QUES:ISUM1:COND?" (for ZEVRA_QueryOutputState(vi, "CH1",
 *   ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, &in_state))
 * @returns VI_SUCCESS, IVI_ERROR_VALUE_NOT_SUPPORTED; I/O statuses */
ZEVRA_API ViStatus ZEVRA_QueryOutputState(ViSession Vi, ViConstString ChannelName, ViInt32 OutputState,
                                          ViBoolean *InState);

/*- Triggering ------------------------------------------------------------------------*/

/* Sets what triggers the channel: ZEVRA_VAL_TRIG_IMMEDIATE, ZEVRA_VAL_TRIG_EXTERNAL (the digital
 * port) or ZEVRA_VAL_SOFTWARE_TRIG ("*TRG"), sent as the instrument's trigger source
 * ("TRIG:SEQ:SOUR"); other sources are refused.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] Source ZEVRA_VAL_TRIG_IMMEDIATE, ZEVRA_VAL_TRIG_EXTERNAL or ZEVRA_VAL_SOFTWARE_TRIG
 * @sends "INST:SEL 0", "TRIG:SEQ:SOUR BUS" (for ZEVRA_ConfigureTriggerSource(vi, "CH1",
 *   ZEVRA_VAL_SOFTWARE_TRIG))
 * @returns VI_SUCCESS, IVI_ERROR_VALUE_NOT_SUPPORTED; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigureTriggerSource(ViSession Vi, ViConstString ChannelName, ViInt32 Source);
/* Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] Limit amperes; 0 to the channel module's maximum current (see
 *   ZEVRA_ATTR_CURRENT_LIMIT)
 * @returns VI_SUCCESS, IVI_ERROR_FUNCTION_NOT_SUPPORTED */
ZEVRA_API ViStatus ZEVRA_ConfigureTriggeredCurrentLimit(ViSession Vi, ViConstString ChannelName, ViReal64 Limit);
/* Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED.
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] Level volts; 0 to the channel module's maximum voltage (see ZEVRA_ATTR_VOLTAGE_LEVEL)
 * @returns VI_SUCCESS, IVI_ERROR_FUNCTION_NOT_SUPPORTED */
ZEVRA_API ViStatus ZEVRA_ConfigureTriggeredVoltageLevel(ViSession Vi, ViConstString ChannelName, ViReal64 Level);
/* Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED.
 * @returns VI_SUCCESS, IVI_ERROR_FUNCTION_NOT_SUPPORTED */
ZEVRA_API ViStatus ZEVRA_Initiate(ViSession Vi);
/* Not supported by the instrument: IVI_ERROR_FUNCTION_NOT_SUPPORTED.
 * @returns VI_SUCCESS, IVI_ERROR_FUNCTION_NOT_SUPPORTED */
ZEVRA_API ViStatus ZEVRA_Abort(ViSession Vi);
/* "*TRG", whatever the trigger source.
 * @sends "*TRG" (for ZEVRA_SendSoftwareTrigger(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SendSoftwareTrigger(ViSession Vi);
/* Triggers the instrument now ("*TRG").
 * @sends "*TRG" (for ZEVRA_GenerateImmediateTrigger(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GenerateImmediateTrigger(ViSession Vi);

/*- Measurement -------------------------------------------------------------------------*/

/* Measures the channel's output voltage (volts) or current (amperes) as MeasurementType says
 * ("MEAS:VOLT?", "MEAS:CURR?").
 * @param[in] ChannelName a channel selector: "CH1" to "CH4", a virtual name of the configuration
 *   store, a list ("CH1,CH3") or a range ("CH1-CH4")
 * @param[in] MeasurementType ZEVRA_VAL_MEASURE_VOLTAGE or ZEVRA_VAL_MEASURE_CURRENT
 * @param[out] Measurement receives the measurement: volts or amperes
 * @sends "INST:SEL 0", "MEAS:VOLT?" (for ZEVRA_Measure(vi, "CH1", ZEVRA_VAL_MEASURE_VOLTAGE,
 *   &volts))
 * @returns VI_SUCCESS, IVI_ERROR_VALUE_NOT_SUPPORTED; I/O statuses */
ZEVRA_API ViStatus ZEVRA_Measure(ViSession Vi, ViConstString ChannelName, ViInt32 MeasurementType,
                                 ViReal64 *Measurement);
/* These measure the instrument's selected channel.
 * @param[out] Val receives the voltage in volts
 * @sends "MEAS:VOLT?" (for ZEVRA_MeasureVoltage(vi, &volts))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_MeasureVoltage(ViSession Vi, ViReal64 *Val);
/* The output current of the instrument's selected channel, in amperes ("MEAS:CURR?").
 * @param[out] Val receives the current in amperes
 * @sends "MEAS:CURR?" (for ZEVRA_MeasureCurrent(vi, &amps))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_MeasureCurrent(ViSession Vi, ViReal64 *Val);
/* The output power of the instrument's selected channel, in watts ("MEAS:POW?").
 * @param[out] Val receives the power in watts
 * @sends "MEAS:POW?" (for ZEVRA_MeasurePower(vi, &watts))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_MeasurePower(ViSession Vi, ViReal64 *Val);
/* Voltage (volts), current (amperes) and power (watts) of the instrument's selected channel, in
 * one exchange ("MEAS:ALL?").
 * @param[out] Voltage receives the voltage in volts
 * @param[out] Current receives the current in amperes
 * @param[out] Power receives the power in watts
 * @sends "MEAS:ALL?" (for ZEVRA_MeasureSelectedChannel(vi, &volts, &amps, &watts))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_MeasureSelectedChannel(ViSession Vi, ViReal64 *Voltage, ViReal64 *Current, ViReal64 *Power);
/* Voltage, current and power of every channel; each array is filled up to its
 * buffer size (a negative size counts as 0) and its actual size says how many
 * values it received.
 * @param[in] VoltagesBufferSize how many values Voltages holds
 * @param[out] Voltages receives each channel's voltage in volts
 * @param[out] VoltagesActualSize receives how many voltages were written
 * @param[in] CurrentsBufferSize how many values Currents holds
 * @param[out] Currents receives each channel's current in amperes
 * @param[out] CurrentsActualSize receives how many currents were written
 * @param[in] PowersBufferSize how many values Powers holds
 * @param[out] Powers receives each channel's power in watts
 * @param[out] PowersActualSize receives how many powers were written
 * @sends "MEAS:ALLCH?" (for ZEVRA_MeasureAllChannels(vi, 4, volts, &n, 4, amps, &n, 4, watts, &n))
 * @returns VI_SUCCESS, IVI_ERROR_UNEXPECTED_RESPONSE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_MeasureAllChannels(ViSession Vi, ViInt32 VoltagesBufferSize, ViReal64 Voltages[],
                                            ViInt32 *VoltagesActualSize, ViInt32 CurrentsBufferSize,
                                            ViReal64 Currents[], ViInt32 *CurrentsActualSize,
                                            ViInt32 PowersBufferSize, ViReal64 Powers[], ViInt32 *PowersActualSize);

/*- List mode -----------------------------------------------------------------------------*/

/* Clears the steps of the selected list ("LIST:CLE").
 * @sends "LIST:CLE" (for ZEVRA_ClearList(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ClearList(ViSession Vi);
/* Deletes list ListNumber ("LIST:DEL").
 * @param[in] ListNumber a list number of the instrument; passed unchanged
 * @sends "LIST:DEL 1" (for ZEVRA_DeleteSelectedList(vi, 1))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_DeleteSelectedList(ViSession Vi, ViInt32 ListNumber);
/* Saves the selected list in the instrument's memory ("LIST:SAVE").
 * @sends "LIST:SAVE" (for ZEVRA_SaveListData(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SaveListData(ViSession Vi);
/* Puts the outputs in list mode, running list ListNumber ("OUTP:MODE LIST,n").
 * @param[in] ListNumber a list number of the instrument; passed unchanged
 * @sends "OUTP:MODE LIST,1" (for ZEVRA_EnableList(vi, 1))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_EnableList(ViSession Vi, ViInt32 ListNumber);
/* Returns the outputs from list mode to fixed levels ("OUTP:MODE FIX").
 * @sends "OUTP:MODE FIX" (for ZEVRA_DisableList(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_DisableList(ViSession Vi);
/* Channel is ZEVRA_VAL_CHANNEL1 .. ZEVRA_VAL_CHANNEL4.
 * @param[in] Channel ZEVRA_VAL_CHANNEL1 to ZEVRA_VAL_CHANNEL4
 * @sends "INIT 0" (for ZEVRA_StartList(vi, ZEVRA_VAL_CHANNEL1))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_StartList(ViSession Vi, ViInt32 Channel);
/* Starts the list on Channel, running it again and again while Continuous is VI_TRUE
 * ("INIT:CONT").
 * @param[in] Channel ZEVRA_VAL_CHANNEL1 to ZEVRA_VAL_CHANNEL4
 * @param[in] Continuous VI_TRUE runs the list again and again, VI_FALSE once
 * @sends "INIT:CONT 0,1" (for ZEVRA_StartListContinuous(vi, ZEVRA_VAL_CHANNEL1, VI_TRUE))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_StartListContinuous(ViSession Vi, ViInt32 Channel, ViBoolean Continuous);
/* Stops the list running on Channel ("ABOR").
 * @param[in] Channel ZEVRA_VAL_CHANNEL1 to ZEVRA_VAL_CHANNEL4
 * @sends "ABOR 0" (for ZEVRA_AbortList(vi, ZEVRA_VAL_CHANNEL1))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_AbortList(ViSession Vi, ViInt32 Channel);

/*- Digital I/O -------------------------------------------------------------------------*/

/* Sets what pin PinNumber of the digital port does ("DIG:PINn:FUNC").
 * @param[in] PinNumber the digital port's pin, from 1; the instrument's range, passed unchanged
 * @param[in] PinFunction a ZEVRA_VAL_DIGITAL_PIN_FUNCTION_ value
 * @sends "DIG:PIN1:FUNC DOUT" (for ZEVRA_ConfigureDigitalFunction(vi, 1,
 *   ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_OUTPUT))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigureDigitalFunction(ViSession Vi, ViInt32 PinNumber, ViInt32 PinFunction);
/* Sets the polarity of pin PinNumber of the digital port ("DIG:PINn:POL").
 * @param[in] PinNumber the digital port's pin, from 1; the instrument's range, passed unchanged
 * @param[in] PinPolarity ZEVRA_VAL_DIGITAL_PIN_POLARITY_POSITIVE or _NEGATIVE
 * @sends "DIG:PIN1:POL POSitive" (for ZEVRA_ConfigureDigitalPolarity(vi, 1,
 *   ZEVRA_VAL_DIGITAL_PIN_POLARITY_POSITIVE))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigureDigitalPolarity(ViSession Vi, ViInt32 PinNumber, ViInt32 PinPolarity);

/*- Status system ---------------------------------------------------------------------------*/

/* Clears the instrument's event registers and error queue ("*CLS").
 * @sends "*CLS" (for ZEVRA_ClearStatus(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ClearStatus(ViSession Vi);
/* Returns the instrument's status enable registers to their preset values ("STAT:PRES").
 * @sends "STAT:PRES" (for ZEVRA_Preset(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_Preset(ViSession Vi);
/* Makes the instrument set the operation-complete bit of its standard event register when pending
 * operations finish ("*OPC").
 * @sends "*OPC" (for ZEVRA_SetOperationComplete(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetOperationComplete(ViSession Vi);
/* Waits for "*OPC?" as long as the I/O timeout allows.
 * @sends "*OPC?" (for ZEVRA_WaitForOperationComplete(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_WaitForOperationComplete(ViSession Vi);
/* Makes the instrument finish pending operations before it takes the next command ("*WAI").
 * @sends "*WAI" (for ZEVRA_WaitToContinue(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_WaitToContinue(ViSession Vi);

/*- System settings and stored states ---------------------------------------------------------*/

/* Sounds the instrument's beeper once ("SYST:BEEP:IMM").
 * @sends "SYST:BEEP:IMM" (for ZEVRA_Beep(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_Beep(ViSession Vi);
/* Clears stored states and lists and resets the instrument.
 * @sends "SYST:SEC:IMM" (for ZEVRA_ClearAndReboot(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ClearAndReboot(ViSession Vi);
/* Puts the instrument in remote with its front panel locked ("SYST:RWL").
 * @sends "SYST:RWL" (for ZEVRA_RemoteLock(vi))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_RemoteLock(ViSession Vi);
/* Saves the instrument's settings in memory Location ("*SAV").
 * @param[in] Location the instrument's memory location for a state; passed unchanged
 * @sends "*SAV 1" (for ZEVRA_SaveState(vi, 1))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SaveState(ViSession Vi, ViInt32 Location);
/* Restores the settings saved in memory Location ("*RCL").
 * @param[in] Location the instrument's memory location for a state; passed unchanged
 * @sends "*RCL 1" (for ZEVRA_RecallState(vi, 1))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_RecallState(ViSession Vi, ViInt32 Location);
/* State: ZEVRA_VAL_POWER_ON_STATE_...; MemoryLocation is used with USER_STATE only.
 * @param[in] State a ZEVRA_VAL_POWER_ON_STATE_ value
 * @param[in] MemoryLocation the saved state to take with USER_STATE (ignored otherwise); passed
 *   unchanged
 * @sends "OUTP:PON:STAT USER,1" (for ZEVRA_ConfigurePowerOnState(vi,
 *   ZEVRA_VAL_POWER_ON_STATE_USER_STATE, 1))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_ConfigurePowerOnState(ViSession Vi, ViInt32 State, ViInt32 MemoryLocation);
/* What the outputs do at power-on and, for USER_STATE, which saved state they take
 * ("OUTP:PON:STAT?").
 * @param[out] State receives a ZEVRA_VAL_POWER_ON_STATE_ value
 * @param[out] MemoryLocation receives the saved state USER_STATE takes
 * @sends "OUTP:PON:STAT?" (for ZEVRA_QueryPowerOnState(vi, &state, &location))
 * @returns VI_SUCCESS, IVI_ERROR_UNEXPECTED_RESPONSE; I/O statuses */
ZEVRA_API ViStatus ZEVRA_QueryPowerOnState(ViSession Vi, ViInt32 *State, ViInt32 *MemoryLocation);

/*- Generated attribute functions (instrument-specific attributes) ----------------*/

/* @attribute ZEVRA_ATTR_DIGITAL_INHIBIT_MODE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetDigitalInhibitMode(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_DIGITAL_INHIBIT_MODE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetDigitalInhibitMode(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_DIGITAL_INPUT_DATA
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetDigitalInputData(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_DIGITAL_OUTPUT_DATA
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetDigitalOutputData(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_DIGITAL_OUTPUT_DATA
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetDigitalOutputData(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_SELECTED_CHANNEL
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetSelectedChannel(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_SELECTED_CHANNEL
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetSelectedChannel(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_BEGINNING_OF_STEP_TRIGGER_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetBeginningOfStepTriggerEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_BEGINNING_OF_STEP_TRIGGER_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetBeginningOfStepTriggerEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_DWELL
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetListDwell(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_DWELL
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetListDwell(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_END_OF_STEP_TRIGGER_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetEndOfStepTriggerEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_END_OF_STEP_TRIGGER_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetEndOfStepTriggerEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_REPEAT_COUNT
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetListRepeatCount(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_REPEAT_COUNT
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetListRepeatCount(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_STEP_CURRENT
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetStepCurrent(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_STEP_CURRENT
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetStepCurrent(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_STEP_VOLTAGE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetStepVoltage(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_STEP_VOLTAGE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetStepVoltage(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_NEXT_LIST
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetNextList(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_NEXT_LIST
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetNextList(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_SELECTED_LIST
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetSelectedList(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_SELECTED_LIST
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetSelectedList(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_IS_RUNNING
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetListIsRunning(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_PACE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetListPace(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_PACE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetListPace(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_SELECTED_STEP
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetSelectedStep(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_SELECTED_STEP
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetSelectedStep(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_TERMINATE_STATE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetListTerminateState(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_TERMINATE_STATE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetListTerminateState(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_TRIGGER_SOURCE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetListTriggerSource(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_LIST_TRIGGER_SOURCE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetListTriggerSource(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_ALL_OUTPUTS_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @sends "OUTP:ALL:STATE 0" (for ZEVRA_SetAllOutputsEnabled(vi, VI_FALSE))
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetAllOutputsEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_DELAY_RISE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOutputDelayRise(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_DELAY_RISE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetOutputDelayRise(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_DELAY_FALL
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOutputDelayFall(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_DELAY_FALL
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetOutputDelayFall(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_MODE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOutputMode(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_MODE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetOutputMode(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_TIMER_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOutputTimerEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_TIMER_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetOutputTimerEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_OUTPUT_TIMER_DWELL
 * @param[in] AttributeValueBufferSize the size of the AttributeValue buffer in bytes, terminating
 *   NUL included; 0 asks only for the size needed
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOutputTimerDwell(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* @attribute ZEVRA_ATTR_OUTPUT_TIMER_DWELL
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetOutputTimerDwell(ViSession Vi, ViConstString AttributeValue);
/* @attribute ZEVRA_ATTR_CURRENT_LEVEL
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetCurrentLevel(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_CURRENT_LEVEL
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetCurrentLevel(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_OCP_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOcpEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_OCP_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetOcpEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_OCP_TRIPPED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOcpTripped(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetCurrentProtectionLevel(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetCurrentProtectionLevel(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_CURRENT_SLEW_RATE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetCurrentSlewRate(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_CURRENT_SLEW_RATE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetCurrentSlewRate(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_MAXIMUM
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetVoltageMaximum(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_MAXIMUM
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetVoltageMaximum(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_MINIMUM
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetVoltageMinimum(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_MINIMUM
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetVoltageMinimum(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_OVP_TRIPPED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOvpTripped(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetVoltageProtectionLevel(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_PROTECTION_LEVEL
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetVoltageProtectionLevel(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_SLEW_RATE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetVoltageSlewRate(ViSession Vi, ViReal64 *AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_SLEW_RATE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetVoltageSlewRate(ViSession Vi, ViReal64 AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_SENSE_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetVoltageSenseEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_VOLTAGE_SENSE_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetVoltageSenseEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_POWER_ON_STATUS_CLEAR_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetPowerOnStatusClearEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_POWER_ON_STATUS_CLEAR_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetPowerOnStatusClearEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_OPERATION_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOperationEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_OPERATION_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetOperationEnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_OPERATION_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetOperationEventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetQuestionableEnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableEventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentEnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentEventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_CONDITION_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary1ConditionRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary1EnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentSummary1EnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY1_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary1EventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_CONDITION_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary2ConditionRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary2EnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentSummary2EnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY2_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary2EventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_CONDITION_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary3ConditionRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary3EnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentSummary3EnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY3_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary3EventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_CONDITION_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary4ConditionRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary4EnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetQuestionableInstrumentSummary4EnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_QUESTIONABLE_INSTRUMENT_SUMMARY4_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetQuestionableInstrumentSummary4EventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_STANDARD_EVENT_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetStandardEventEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_STANDARD_EVENT_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetStandardEventEnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_STANDARD_EVENT_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetStandardEventEventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_STATUS_BYTE_ENABLE_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetStatusByteEnableRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_STATUS_BYTE_ENABLE_REGISTER
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetStatusByteEnableRegister(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_STATUS_BYTE_EVENT_REGISTER
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetStatusByteEventRegister(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_BEEPER_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetBeeperEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_BEEPER_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetBeeperEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_SYSTEM_DATE
 * @param[in] AttributeValueBufferSize the size of the AttributeValue buffer in bytes, terminating
 *   NUL included; 0 asks only for the size needed
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetSystemDate(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* @attribute ZEVRA_ATTR_SYSTEM_DATE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetSystemDate(ViSession Vi, ViConstString AttributeValue);
/* @attribute ZEVRA_ATTR_DISPLAY_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetDisplayEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_DISPLAY_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetDisplayEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_LXI_IDENTIFY_ENABLED
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetLxiIdentifyEnabled(ViSession Vi, ViBoolean *AttributeValue);
/* @attribute ZEVRA_ATTR_LXI_IDENTIFY_ENABLED
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetLxiIdentifyEnabled(ViSession Vi, ViBoolean AttributeValue);
/* @attribute ZEVRA_ATTR_MODULE_IDENTITY
 * @param[in] AttributeValueBufferSize the size of the AttributeValue buffer in bytes, terminating
 *   NUL included; 0 asks only for the size needed
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetModuleIdentity(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* @attribute ZEVRA_ATTR_MODULE_SERIAL_NUMBER
 * @param[in] AttributeValueBufferSize the size of the AttributeValue buffer in bytes, terminating
 *   NUL included; 0 asks only for the size needed
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetModuleSerialNumber(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* @attribute ZEVRA_ATTR_MODULE_FIRMWARE_VERSION
 * @param[in] AttributeValueBufferSize the size of the AttributeValue buffer in bytes, terminating
 *   NUL included; 0 asks only for the size needed
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetModuleFirmwareVersion(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* @attribute ZEVRA_ATTR_SYSTEM_TIME
 * @param[in] AttributeValueBufferSize the size of the AttributeValue buffer in bytes, terminating
 *   NUL included; 0 asks only for the size needed
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetSystemTime(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* @attribute ZEVRA_ATTR_SYSTEM_TIME
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetSystemTime(ViSession Vi, ViConstString AttributeValue);
/* @attribute ZEVRA_ATTR_REMOTE_STATE
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetRemoteState(ViSession Vi, ViInt32 *AttributeValue);
/* @attribute ZEVRA_ATTR_REMOTE_STATE
 * @param[in] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_SetRemoteState(ViSession Vi, ViInt32 AttributeValue);
/* @attribute ZEVRA_ATTR_SCPI_VERSION
 * @param[in] AttributeValueBufferSize the size of the AttributeValue buffer in bytes, terminating
 *   NUL included; 0 asks only for the size needed
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetScpiVersion(ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]);
/* @attribute ZEVRA_ATTR_TCP_CONTROL_PORT
 * @param[out] AttributeValue the attribute's value: its type, units and valid values are the
 *   attribute's
 * @returns VI_SUCCESS; I/O statuses */
ZEVRA_API ViStatus ZEVRA_GetTcpControlPort(ViSession Vi, ViInt32 *AttributeValue);

#ifdef __cplusplus
}
#endif

#endif
