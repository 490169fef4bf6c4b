// SPDX-License-Identifier: MIT
#include "error_messages.h"

namespace zevra {
namespace {

constexpr ViStatus Code(unsigned int pattern) { return static_cast<ViStatus>(pattern); }

constexpr ErrorMessageRow kRows[] = {
    {Code(0xBFFA4214), "ZEVRA_ERROR_IO", "I/O error."},
    {Code(0xBFFA4215), "ZEVRA_ERROR_IO_TIMEOUT", "I/O timeout error."},
    {Code(0xBFFA0000), "IVI_ERROR_CANNOT_RECOVER", "Failure cannot recover."},
    {Code(0xBFFA0001), "IVI_ERROR_INSTRUMENT_STATUS",
     "Instrument error detected.  Use ErrorQuery() to determine the error(s)."},
    {Code(0xBFFA0002), "IVI_ERROR_CANNOT_OPEN_FILE", "Cannot open file."},
    {Code(0xBFFA0003), "IVI_ERROR_READING_FILE", "Error reading file."},
    {Code(0xBFFA0004), "IVI_ERROR_WRITING_FILE", "Error writing file."},
    {Code(0xBFFA000B), "IVI_ERROR_INVALID_PATHNAME", "The pathname is invalid."},
    {Code(0xBFFA000C), "IVI_ERROR_INVALID_ATTRIBUTE", "Attribute ID '%s' not recognized."},
    {Code(0xBFFA000D), "IVI_ERROR_IVI_ATTR_NOT_WRITABLE", "Attribute '%s' is read-only."},
    {Code(0xBFFA000E), "IVI_ERROR_IVI_ATTR_NOT_READABLE", "Attribute '%s' is write-only."},
    {Code(0xBFFA0010), "IVI_ERROR_INVALID_VALUE", "Invalid value '%s' for function '%s', parameter '%s'."},
    {Code(0xBFFA0011), "IVI_ERROR_FUNCTION_NOT_SUPPORTED",
     "Does not support this class-compliant feature: function '%s'"},
    {Code(0xBFFA0012), "IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED",
     "Does not support this class-compliant feature: attribute '%s'."},
    {Code(0xBFFA0013), "IVI_ERROR_VALUE_NOT_SUPPORTED",
     "Does not support this class-compliant feature:  Enumeration value '%s' passed as the value for parameter "
     "'%s' in function '%s'."},
    {Code(0xBFFA0015), "IVI_ERROR_TYPES_DO_NOT_MATCH", "%sAttribute%s called for attribute '%s' of type '%s'."},
    {Code(0xBFFA001D), "IVI_ERROR_NOT_INITIALIZED", "A connection to the instrument has not been established."},
    {Code(0xBFFA0020), "IVI_ERROR_UNKNOWN_CHANNEL_NAME", "Unknown channel name."},
    {Code(0xBFFA0023), "IVI_ERROR_TOO_MANY_OPEN_FILES", "Too many files are open."},
    {Code(0xBFFA0044), "IVI_ERROR_CHANNEL_NAME_REQUIRED", "A channel name is required."},
    {Code(0xBFFA0049), "IVI_ERROR_MISSING_OPTION_NAME", "The option string is missing an option name."},
    {Code(0xBFFA004A), "IVI_ERROR_MISSING_OPTION_VALUE", "The option string is missing an option value."},
    {Code(0xBFFA004B), "IVI_ERROR_BAD_OPTION_NAME", "The '%s' name in the option string is unknown."},
    {Code(0xBFFA004C), "IVI_ERROR_BAD_OPTION_VALUE", "The '%s' value in the option string is unknown."},
    {Code(0xBFFA0056), "IVI_ERROR_OUT_OF_MEMORY", "Could not allocate necessary memory."},
    {Code(0xBFFA0057), "IVI_ERROR_OPERATION_PENDING", "Operation in progress."},
    {Code(0xBFFA0058), "IVI_ERROR_NULL_POINTER", "Null pointer passed for function '%s', parameter '%s'."},
    {Code(0xBFFA0059), "IVI_ERROR_UNEXPECTED_RESPONSE", "Unexpected response from instrument."},
    {Code(0xBFFA005B), "IVI_ERROR_FILE_NOT_FOUND", "File not found."},
    {Code(0xBFFA005C), "IVI_ERROR_INVALID_FILE_FORMAT", "Invalid file format."},
    {Code(0xBFFA005D), "IVI_ERROR_STATUS_NOT_AVAILABLE", "The instrument status is not available."},
    {Code(0xBFFA005E), "IVI_ERROR_ID_QUERY_FAILED", "Instrument ID query failed."},
    {Code(0xBFFA005F), "IVI_ERROR_RESET_FAILED", "Instrument reset failed."},
    {Code(0xBFFA0060), "IVI_ERROR_RESOURCE_UNKNOWN", "Unknown resource."},
    {Code(0xBFFA0061), "IVI_ERROR_ALREADY_INITIALIZED", "The driver is already initialized."},
    {Code(0xBFFA0062), "IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE", "The simulation state cannot be changed."},
    {Code(0xBFFA0063), "IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR",
     "The number of levels in the selector is not valid for the '%s' repeated capability."},
    {Code(0xBFFA0064), "IVI_ERROR_INVALID_RANGE_IN_SELECTOR",
     "The range '%s' is not valid for the repeated capability '%s'."},
    {Code(0xBFFA0065), "IVI_ERROR_UNKNOWN_NAME_IN_SELECTOR", "Unknown name in selector."},
    {Code(0xBFFA0066), "IVI_ERROR_BADLY_FORMED_SELECTOR", "The repeated capability selector is badly-formed."},
    {Code(0xBFFA0067), "IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER", "Unknown physical repeated capability selector."},
    {Code(0xBFFA1190), "IVI_ERROR_INVALID_SESSION_HANDLE", "Invalid session handle."},
    {Code(0xBFFA1001), "IVIDCPWR_ERROR_TRIGGER_NOT_SOFTWARE", "The trigger source is not set to software trigger."},
    {Code(0x00000000), "VI_SUCCESS", "Success."},
    {Code(0x3FFA0065), "IVI_WARN_NSUP_ID_QUERY", "ID Query is not supported by this instrument."},
    {Code(0x3FFA0066), "IVI_WARN_NSUP_RESET", "Reset is not supported by this instrument."},
    {Code(0x3FFA0067), "IVI_WARN_NSUP_SELF_TEST", "Self test is not supported by this instrument."},
    {Code(0x3FFA0068), "IVI_WARN_NSUP_ERROR_QUERY", "Error query is not supported by this instrument."},
    {Code(0x3FFA0069), "IVI_WARN_NSUP_REV_QUERY", "Firmware revision query is not supported by this instrument."},
};

}  // namespace

std::span<const ErrorMessageRow> ErrorMessageTable() { return kRows; }

}  // namespace zevra
