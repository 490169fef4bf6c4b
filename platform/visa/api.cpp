// The exported VISA C functions: argument checks, handle lookup, and a guard
// that keeps every C++ exception inside the library.
#include <cstring>
#include <new>
#include <string>

#include "api_guard.h"
#include "registry.h"
#include "status_text.h"
#include "visa.h"

using visa::InstrumentSession;
using visa::Registry;

extern "C" {

ViStatus viOpenDefaultRM(ViPSession vi) {
  if (vi == nullptr) return VI_ERROR_USER_BUF;
  return visa::guarded([&] {
    *vi = Registry::instance().open_resource_manager();
    return VI_SUCCESS;
  });
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi) {
  if (vi == nullptr) return VI_ERROR_USER_BUF;
  *vi = VI_NULL;
  if (name == nullptr) return VI_ERROR_INV_RSRC_NAME;
  // A lock at open, and VI_LOAD_CONFIG, which has no stored configuration to load here.
  const ViAccessMode lock = mode & ~static_cast<ViAccessMode>(VI_LOAD_CONFIG);
  if (lock != VI_NO_LOCK && lock != VI_EXCLUSIVE_LOCK && lock != VI_SHARED_LOCK) return VI_ERROR_INV_ACC_MODE;
  if (!visa::Registry::instance().is_resource_manager(sesn)) return VI_ERROR_INV_OBJECT;
  return visa::guarded([&] { return Registry::instance().open(sesn, name, lock, timeout, vi); });
}

ViStatus viClose(ViObject vi) {
  return visa::guarded([&] { return Registry::instance().close(vi); });
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
  return visa::guarded([&]() -> ViStatus {
    if (Registry::instance().is_resource_manager(vi)) return VI_ERROR_NSUP_ATTR;
    return visa::with_session(vi, [&](InstrumentSession& s) {
      return s.get_attribute(attrName, attrValue);
    });
  });
}

ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
  return visa::guarded([&]() -> ViStatus {
    if (Registry::instance().is_resource_manager(vi)) return VI_ERROR_NSUP_ATTR;
    return visa::with_session(vi, [&](InstrumentSession& s) {
      return s.set_attribute(attrName, attrValue);
    });
  });
}

ViStatus viStatusDesc(ViObject, ViStatus status, ViChar desc[]) {
  if (desc == nullptr) return VI_ERROR_USER_BUF;
  return visa::guarded([&]() -> ViStatus {
    std::string text;
    bool known = visa::status_text(status, text);
    text.resize(std::min<std::size_t>(text.size(), 255));
    std::memcpy(desc, text.c_str(), text.size() + 1);
    return known ? VI_SUCCESS : VI_WARN_UNKNOWN_STATUS;
  });
}

ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  if (retCnt != nullptr) *retCnt = 0;
  return visa::with_accessible_session(vi, [&](InstrumentSession& s) -> ViStatus {
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    std::size_t got = 0;
    ViStatus st = s.read(reinterpret_cast<char*>(buf), cnt, got);
    if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(got);
    return st;
  });
}

ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  if (retCnt != nullptr) *retCnt = 0;
  return visa::with_accessible_session(vi, [&](InstrumentSession& s) -> ViStatus {
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    std::size_t written = 0;
    ViStatus st = s.write(reinterpret_cast<const char*>(buf), cnt, written);
    if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(written);
    return st;
  });
}

ViStatus viFlush(ViSession vi, ViUInt16 mask) {
  return visa::with_accessible_session(vi, [&](InstrumentSession& s) { return s.flush(mask); });
}

ViStatus viClear(ViSession vi) {
  return visa::with_accessible_session(vi, [&](InstrumentSession& s) { return s.clear(); });
}

ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, va_list params) {
  va_list args;
  va_copy(args, params);
  ViStatus st = visa::with_accessible_session(vi, [&](InstrumentSession& s) { return s.printf(writeFmt, &args); });
  va_end(args);
  return st;
}

ViStatus viPrintf(ViSession vi, ViConstString writeFmt, ...) {
  va_list args;
  va_start(args, writeFmt);
  ViStatus st = viVPrintf(vi, writeFmt, args);
  va_end(args);
  return st;
}

ViStatus viVScanf(ViSession vi, ViConstString readFmt, va_list params) {
  va_list args;
  va_copy(args, params);
  ViStatus st = visa::with_accessible_session(vi, [&](InstrumentSession& s) { return s.scanf(readFmt, &args); });
  va_end(args);
  return st;
}

ViStatus viScanf(ViSession vi, ViConstString readFmt, ...) {
  va_list args;
  va_start(args, readFmt);
  ViStatus st = viVScanf(vi, readFmt, args);
  va_end(args);
  return st;
}

ViStatus viVQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, va_list params) {
  va_list args;
  va_copy(args, params);
  ViStatus st = visa::with_accessible_session(
      vi, [&](InstrumentSession& s) { return s.queryf(writeFmt, readFmt, &args); });
  va_end(args);
  return st;
}

ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...) {
  va_list args;
  va_start(args, readFmt);
  ViStatus st = viVQueryf(vi, writeFmt, readFmt, args);
  va_end(args);
  return st;
}

}  // extern "C"
