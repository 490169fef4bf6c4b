// SPDX-License-Identifier: MIT
#include "status_text.h"

#include <cstdio>

#include "visa.h"

namespace visa {
namespace {

struct StatusRow {
  ViStatus status;
  const char* name;
  const char* text;
};

constexpr StatusRow kStatusTable[] = {
    {VI_SUCCESS, "VI_SUCCESS", "Operation completed successfully."},
    {VI_SUCCESS_TERM_CHAR, "VI_SUCCESS_TERM_CHAR",
     "The specified termination character was read."},
    {VI_SUCCESS_MAX_CNT, "VI_SUCCESS_MAX_CNT",
     "The number of bytes read is equal to the input count."},
    {VI_SUCCESS_EVENT_EN, "VI_SUCCESS_EVENT_EN", "The event was already enabled for at least one of the mechanisms."},
    {VI_SUCCESS_EVENT_DIS, "VI_SUCCESS_EVENT_DIS", "The event was already disabled for the mechanisms given."},
    {VI_SUCCESS_QUEUE_EMPTY, "VI_SUCCESS_QUEUE_EMPTY", "The event queue held no events."},
    {VI_SUCCESS_QUEUE_NEMPTY, "VI_SUCCESS_QUEUE_NEMPTY",
     "The wait ended with an event, and more events of the types waited for are queued."},
    {VI_SUCCESS_NCHAIN, "VI_SUCCESS_NCHAIN", "The handler asks that no later handler in the chain be called."},
    {VI_SUCCESS_SYNC, "VI_SUCCESS_SYNC", "The asynchronous operation was completed synchronously."},
    {VI_WARN_QUEUE_OVERFLOW, "VI_WARN_QUEUE_OVERFLOW",
     "The wait ended with an event, but events were lost because the queue was full "
     "(see VI_ATTR_MAX_QUEUE_LENGTH)."},
    {VI_SUCCESS_NESTED_SHARED, "VI_SUCCESS_NESTED_SHARED",
     "The shared lock was granted; the session now holds it more than once."},
    {VI_SUCCESS_NESTED_EXCLUSIVE, "VI_SUCCESS_NESTED_EXCLUSIVE",
     "The exclusive lock was granted; the session now holds it more than once."},
    {VI_WARN_UNKNOWN_STATUS, "VI_WARN_UNKNOWN_STATUS",
     "The status code passed to the operation could not be interpreted."},
    {VI_ERROR_SYSTEM_ERROR, "VI_ERROR_SYSTEM_ERROR", "Unknown system error."},
    {VI_ERROR_HNDLR_NINSTALLED, "VI_ERROR_HNDLR_NINSTALLED",
     "No handler is installed for the event type (or none matches the handler and user handle given)."},
    {VI_ERROR_INV_HNDLR_REF, "VI_ERROR_INV_HNDLR_REF", "The handler reference is invalid (null)."},
    {VI_ERROR_INV_CONTEXT, "VI_ERROR_INV_CONTEXT", "The event filter context is invalid; it must be VI_NULL."},
    {VI_ERROR_INV_OBJECT, "VI_ERROR_INV_OBJECT",
     "The given session or object reference is invalid."},
    {VI_ERROR_RSRC_LOCKED, "VI_ERROR_RSRC_LOCKED",
     "Specified type of lock cannot be obtained, or specified operation cannot be performed, "
     "because the resource is locked."},
    {VI_ERROR_RSRC_NFOUND, "VI_ERROR_RSRC_NFOUND",
     "Insufficient location information or the requested device or resource is not present "
     "in the system."},
    {VI_ERROR_INV_RSRC_NAME, "VI_ERROR_INV_RSRC_NAME", "Invalid resource reference specified."},
    {VI_ERROR_INV_ACC_MODE, "VI_ERROR_INV_ACC_MODE", "Invalid access mode."},
    {VI_ERROR_TMO, "VI_ERROR_TMO", "Timeout expired before operation completed."},
    {VI_ERROR_CLOSING_FAILED, "VI_ERROR_CLOSING_FAILED",
     "Unable to deallocate the previously allocated data structures corresponding to this "
     "session or object reference."},
    {VI_ERROR_NSUP_ATTR, "VI_ERROR_NSUP_ATTR",
     "The specified attribute is not defined or supported by the referenced session, event, "
     "or find list."},
    {VI_ERROR_NSUP_ATTR_STATE, "VI_ERROR_NSUP_ATTR_STATE",
     "The specified state of the attribute is not valid, or is not supported as defined by "
     "the session, event, or find list."},
    {VI_ERROR_ATTR_READONLY, "VI_ERROR_ATTR_READONLY", "The specified attribute is Read Only."},
    {VI_ERROR_IO, "VI_ERROR_IO", "Could not perform operation because of I/O error."},
    {VI_ERROR_NLISTENERS, "VI_ERROR_NLISTENERS", "No device listens at the address the data was sent to."},
    {VI_ERROR_INV_FMT, "VI_ERROR_INV_FMT",
     "A format specifier in the format string is invalid, or the data read does not match "
     "the format."},
    {VI_ERROR_NSUP_FMT, "VI_ERROR_NSUP_FMT",
     "A format specifier in the format string is not supported."},
    {VI_ERROR_ALLOC, "VI_ERROR_ALLOC",
     "Insufficient system resources to perform necessary memory allocation."},
    {VI_ERROR_NSUP_OPER, "VI_ERROR_NSUP_OPER",
     "The given session or object reference does not support this operation."},
    {VI_ERROR_INV_MASK, "VI_ERROR_INV_MASK", "The specified mask does not specify a valid flush operation."},
    {VI_ERROR_USER_BUF, "VI_ERROR_USER_BUF",
     "A specified user buffer is not valid or cannot be accessed for the required size."},
    {VI_ERROR_INV_MODE, "VI_ERROR_INV_MODE", "The value specified by the mode parameter is invalid."},
    {VI_ERROR_RSRC_BUSY, "VI_ERROR_RSRC_BUSY",
     "The resource is valid, but VISA cannot currently access it: another program holds it."},
    {VI_ERROR_INV_PARAMETER, "VI_ERROR_INV_PARAMETER", "The value of a parameter is invalid."},
    {VI_ERROR_LIBRARY_NFOUND, "VI_ERROR_LIBRARY_NFOUND",
     "A code library required by VISA could not be located or loaded: the transport for this "
     "resource class is not available."},
    {VI_ERROR_CONN_LOST, "VI_ERROR_CONN_LOST", "The connection for the given session has been lost."},
    {VI_ERROR_INV_EXPR, "VI_ERROR_INV_EXPR", "The search expression is not valid."},
    {VI_ERROR_INV_LOCK_TYPE, "VI_ERROR_INV_LOCK_TYPE", "The lock type is neither exclusive nor shared."},
    {VI_ERROR_INV_ACCESS_KEY, "VI_ERROR_INV_ACCESS_KEY", "The access key is not valid."},
    {VI_ERROR_INV_EVENT, "VI_ERROR_INV_EVENT", "The event type is not supported by this resource."},
    {VI_ERROR_INV_MECH, "VI_ERROR_INV_MECH", "The event handling mechanism is not valid."},
    {VI_ERROR_INV_JOB_ID, "VI_ERROR_INV_JOB_ID", "The job identifier is not valid (no such job is outstanding)."},
    {VI_ERROR_INV_DEGREE, "VI_ERROR_INV_DEGREE", "The degree is not valid."},
    {VI_ERROR_ABORT, "VI_ERROR_ABORT", "The operation was aborted: its job was terminated."},
    {VI_ERROR_NENABLED, "VI_ERROR_NENABLED", "The session is not enabled for this event with the mechanism asked for."},
    {VI_ERROR_INV_PROT, "VI_ERROR_INV_PROT", "The protocol is not valid or not supported."},
    {VI_ERROR_SESN_NLOCKED, "VI_ERROR_SESN_NLOCKED", "The session does not hold a lock on the resource."},
    {VI_ERROR_RAW_WR_PROT_VIOL, "VI_ERROR_RAW_WR_PROT_VIOL",
     "A protocol violation happened while writing to the device."},
    {VI_ERROR_RAW_RD_PROT_VIOL, "VI_ERROR_RAW_RD_PROT_VIOL",
     "A protocol violation happened while reading from the device."},
    {VI_ERROR_OUTP_PROT_VIOL, "VI_ERROR_OUTP_PROT_VIOL", "The device reported an output protocol error."},
    {VI_ERROR_INP_PROT_VIOL, "VI_ERROR_INP_PROT_VIOL", "The device reported an input protocol error."},
    {VI_ERROR_BERR, "VI_ERROR_BERR", "A bus error happened during the transfer."},
};

}  // namespace

bool status_text(ViStatus status, std::string& text) {
  for (const StatusRow& row : kStatusTable) {
    if (row.status == status) {
      text = std::string(row.name) + ": " + row.text;
      return true;
    }
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(status));
  text = std::string("Unknown status code ") + hex + ".";
  return false;
}

}  // namespace visa
