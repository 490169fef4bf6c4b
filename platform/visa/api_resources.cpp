// SPDX-License-Identifier: MIT
// The exported functions that work on resource names: parsing and finding.
#include <algorithm>
#include <cstring>
#include <string>

#include "api_guard.h"
#include "registry.h"
#include "visa.h"

namespace {

void CopyOut(const std::string& text, ViChar* out) {
  if (out == nullptr) return;
  std::size_t n = std::min<std::size_t>(text.size(), VI_FIND_BUFLEN - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

extern "C" {

ViStatus viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViUInt16* intfType, ViUInt16* intfNum,
                       ViChar rsrcClass[], ViChar expandedUnaliasedName[], ViChar aliasIfExists[]) {
  return visa::guarded(__func__, rmSesn, [&]() -> ViStatus {
    if (rsrcName != nullptr) visa::trace_detail(rsrcName);
    visa::ResourceName resource;
    std::string alias;
    ViStatus st = visa::Registry::instance().resolve(rmSesn, rsrcName, resource, &alias);
    if (st < 0) return st;
    if (intfType != nullptr) *intfType = resource.interface_type();
    if (intfNum != nullptr) *intfNum = static_cast<ViUInt16>(resource.board);
    CopyOut(resource.resource_class, rsrcClass);
    CopyOut(resource.canonical, expandedUnaliasedName);
    CopyOut(alias, aliasIfExists);
    return VI_SUCCESS;
  });
}

ViStatus viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViUInt16* intfType, ViUInt16* intfNum) {
  return viParseRsrcEx(rmSesn, rsrcName, intfType, intfNum, nullptr, nullptr, nullptr);
}

ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt, ViChar desc[]) {
  return visa::guarded(__func__, sesn, [&]() -> ViStatus {
    if (expr != nullptr) visa::trace_detail(expr);
    if (!visa::Registry::instance().is_resource_manager(sesn))
      return visa::Registry::instance().find(sesn) ? VI_ERROR_NSUP_OPER : VI_ERROR_INV_OBJECT;
    std::string first;
    ViUInt32 count = 0;
    ViStatus st = visa::Registry::instance().find_resources(sesn, expr, vi, &count, first);
    if (retCnt != nullptr) *retCnt = count;
    if (expr != nullptr && (st >= 0 || st == VI_ERROR_RSRC_NFOUND))
      visa::trace_detail(std::string(expr) + " (" + std::to_string(count) + " found)");
    CopyOut(st >= 0 ? first : std::string(), desc);
    return st;
  });
}

ViStatus viFindNext(ViFindList vi, ViChar desc[]) {
  return visa::guarded(__func__, vi, [&]() -> ViStatus {
    std::string next;
    ViStatus st = visa::Registry::instance().find_next(vi, next);
    CopyOut(st >= 0 ? next : std::string(), desc);
    return st;
  });
}

}  // extern "C"
