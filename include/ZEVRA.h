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

#ifdef __cplusplus
}
#endif

#endif
