// SPDX-License-Identifier: MIT
// Fetching recorded errors and the message table.
#include <string>

#include "Vexo"
#include "ZEVRA.h"

extern "C" {

ViStatus ZEVRA_GetError(ViSession Vi, ViStatus* ErrorCode, ViInt32 ErrorDescriptionBufferSize,
                        ViChar ErrorDescription[]) {
  return IviSession_GetError(Vi, ErrorDescriptionBufferSize, ErrorCode, ErrorDescription);
}

ViStatus ZEVRA_ClearError(ViSession Vi) { return IviSession_ClearError(Vi); }

ViStatus ZEVRA_error_message(ViSession Vi, ViStatus ErrorCode, ViChar ErrorMessage[]) {
  return vexo::Guarded(Vi, [&]() -> ViStatus {
    if (ErrorMessage == nullptr) return vexo::ReportNullPointer(Vi, "ZEVRA_error_message", "ErrorMessage", 0);
    if (const char* message = vexo::ErrorTemplate(ErrorCode); message != nullptr && *message != '\0') {
      vexo::CopyToBuffer(message, ErrorMessage, 256);
      return VI_SUCCESS;
    }
    if (Vi == VI_NULL) return IVI_ERROR_INVALID_VALUE;
    return vexo::ReportErrorWithElaboration(Vi, IVI_ERROR_INVALID_VALUE,
                                            "The error code supplied is not defined by the driver.",
                                            {std::to_string(ErrorCode), "error_message", "ErrorCode"});
  });
}

}  // extern "C"
