// SPDX-License-Identifier: MIT
// Channel names, coercion records and interchange warnings.
#include <string>

#include "Vexo"
#include "ZEVRA.h"
#include "selector.h"

using vexo::DriverSession;
using vexo::Frame;

extern "C" {

ViStatus ZEVRA_GetChannelName(ViSession Vi, ViInt32 Index, ViInt32 NameBufferSize, ViChar Name[]) {
  return Frame(Vi, [&](DriverSession&) -> ViStatus {
    if (Name == nullptr) return vexo::ReportNullPointer(Vi, "ZEVRA_GetChannelName", "Name", 0);
    return vexo::GetRepCapName(Vi, static_cast<long long>(Index) - 1, NameBufferSize, Name);
  });
}

ViStatus ZEVRA_GetNextCoercionRecord(ViSession Vi, ViInt32 BufferSize, ViChar CoercionRecord[]) {
  return Frame(Vi, [&](DriverSession& s) -> ViStatus {
    if (CoercionRecord == nullptr && BufferSize != 0)
      return vexo::ReportNullPointer(Vi, "GetNextCoercionRecord", "CoercionRecord", 0);
    auto& queue = s.CoercionRecords();
    std::string record = queue.empty() ? std::string() : queue.front();
    ViInt32 needed = static_cast<ViInt32>(record.size() + 1);
    if (BufferSize == 0) return needed;
    std::size_t size = BufferSize > 0 ? static_cast<std::size_t>(BufferSize) : record.size() + 1;
    vexo::CopyToBuffer(record, CoercionRecord, size);
    if (!queue.empty()) queue.pop_front();
    return BufferSize > 0 && BufferSize < needed ? needed : VI_SUCCESS;
  });
}

ViStatus ZEVRA_ClearInterchangeWarnings(ViSession Vi) {
  return Frame(Vi, [&](DriverSession& s) {
    return s.ReportError(IVI_ERROR_FUNCTION_NOT_SUPPORTED, {"ClearInterchangeWarnings"});
  });
}

ViStatus ZEVRA_GetNextInterchangeWarning(ViSession Vi, ViInt32, ViChar[]) {
  return Frame(Vi, [&](DriverSession& s) {
    return s.ReportError(IVI_ERROR_FUNCTION_NOT_SUPPORTED, {"GetNextInterchangeWarning"});
  });
}

ViStatus ZEVRA_ResetInterchangeCheck(ViSession Vi) {
  return Frame(Vi, [&](DriverSession& s) {
    return s.ReportError(IVI_ERROR_FUNCTION_NOT_SUPPORTED, {"ResetInterchangeCheck"});
  });
}

}  // extern "C"
