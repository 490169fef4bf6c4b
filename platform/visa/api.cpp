// SPDX-License-Identifier: MIT
// The exported VISA C functions: argument checks, handle lookup, and a guard
// that keeps every C++ exception inside the library.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "api_guard.h"
#include "event_attributes.h"
#include "registry.h"
#include "status_text.h"
#include "visa.h"

using visa::InstrumentSession;
using visa::Registry;

namespace {

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return text;
}

}  // namespace

extern "C" {

ViStatus viOpenDefaultRM(ViPSession vi) {
  return visa::guarded(__func__, VI_NULL, [&]() -> ViStatus {
    if (vi == nullptr) return VI_ERROR_USER_BUF;
    *vi = Registry::instance().open_resource_manager();
    visa::trace_detail("(resource manager 0x" + Hex(*vi) + ")");
    return VI_SUCCESS;
  });
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi) {
  return visa::guarded(__func__, sesn, [&]() -> ViStatus {
    if (vi == nullptr) return VI_ERROR_USER_BUF;
    *vi = VI_NULL;
    if (name == nullptr) return VI_ERROR_INV_RSRC_NAME;
    visa::trace_detail(name);
    // A lock at open, and VI_LOAD_CONFIG, which has no stored configuration to load here.
    const ViAccessMode lock = mode & ~static_cast<ViAccessMode>(VI_LOAD_CONFIG);
    if (lock != VI_NO_LOCK && lock != VI_EXCLUSIVE_LOCK && lock != VI_SHARED_LOCK) return VI_ERROR_INV_ACC_MODE;
    if (!visa::Registry::instance().is_resource_manager(sesn)) return VI_ERROR_INV_OBJECT;
    ViStatus st = Registry::instance().open(sesn, name, lock, timeout, vi);
    if (st >= 0) visa::trace_detail(std::string(name) + " (session 0x" + Hex(*vi) + ")");
    return st;
  });
}

ViStatus viClose(ViObject vi) {
  return visa::guarded(__func__, vi, [&] { return Registry::instance().close(vi); });
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
  return visa::guarded(__func__, vi, [&, operation = __func__]() -> ViStatus {
    visa::trace_detail("attribute 0x" + Hex(attrName));
    if (Registry::instance().is_resource_manager(vi))
      return Registry::instance().manager_attribute(vi, attrName, attrValue);
    if (visa::EventData event; Registry::instance().event_data(vi, event))
      return visa::event_attribute(event, attrName, attrValue);
    return visa::with_session(operation, vi, [&](InstrumentSession& s) {
      return s.get_attribute(attrName, attrValue);
    });
  });
}

ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
  return visa::guarded(__func__, vi, [&, operation = __func__]() -> ViStatus {
    visa::trace_detail("attribute 0x" + Hex(attrName) + " = " + std::to_string(attrValue));
    if (Registry::instance().is_resource_manager(vi))
      return Registry::instance().set_manager_attribute(vi, attrName, attrValue);
    if (visa::EventData event; Registry::instance().event_data(vi, event)) {
      // Every attribute an event context has is read-only.
      char ignored[256];
      return visa::event_attribute(event, attrName, ignored) == VI_ERROR_NSUP_ATTR ? VI_ERROR_NSUP_ATTR
                                                                                     : VI_ERROR_ATTR_READONLY;
    }
    return visa::with_session(operation, vi, [&](InstrumentSession& s) {
      return s.set_attribute(attrName, attrValue);
    });
  });
}

ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]) {
  return visa::guarded(__func__, vi, [&]() -> ViStatus {
    if (desc == nullptr) return VI_ERROR_USER_BUF;
    std::string text;
    bool known = visa::status_text(status, text);
    text.resize(std::min<std::size_t>(text.size(), 255));
    std::memcpy(desc, text.c_str(), text.size() + 1);
    return known ? VI_SUCCESS : VI_WARN_UNKNOWN_STATUS;
  });
}

ViStatus viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  if (retCnt != nullptr) *retCnt = 0;
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    std::size_t got = 0;
    ViStatus st = s.read(reinterpret_cast<char*>(buf), cnt, got);
    if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(got);
    return st;
  });
}

ViStatus viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
  if (retCnt != nullptr) *retCnt = 0;
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    std::size_t written = 0;
    ViStatus st = s.write(reinterpret_cast<const char*>(buf), cnt, written);
    if (retCnt != nullptr) *retCnt = static_cast<ViUInt32>(written);
    return st;
  });
}

ViStatus viFlush(ViSession vi, ViUInt16 mask) {
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) { return s.flush(mask); });
}

ViStatus viClear(ViSession vi) {
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) { return s.clear(); });
}

ViStatus viVPrintf(ViSession vi, ViConstString writeFmt, va_list params) {
  return visa::with_copied_args(params, [&, operation = __func__](va_list* args) {
    return visa::with_accessible_session(operation, vi, [&](InstrumentSession& s) { return s.printf(writeFmt, args); });
  });
}

ViStatus viPrintf(ViSession vi, ViConstString writeFmt, ...) {
  va_list args;
  va_start(args, writeFmt);
  visa::TracedCall trace(__func__, vi);
  ViStatus st = viVPrintf(vi, writeFmt, args);
  va_end(args);
  return trace.finish(st);
}

ViStatus viVScanf(ViSession vi, ViConstString readFmt, va_list params) {
  return visa::with_copied_args(params, [&, operation = __func__](va_list* args) {
    return visa::with_accessible_session(operation, vi, [&](InstrumentSession& s) { return s.scanf(readFmt, args); });
  });
}

ViStatus viScanf(ViSession vi, ViConstString readFmt, ...) {
  va_list args;
  va_start(args, readFmt);
  visa::TracedCall trace(__func__, vi);
  ViStatus st = viVScanf(vi, readFmt, args);
  va_end(args);
  return trace.finish(st);
}

ViStatus viVQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, va_list params) {
  return visa::with_copied_args(params, [&, operation = __func__](va_list* args) {
    return visa::with_accessible_session(
      operation, vi, [&](InstrumentSession& s) { return s.queryf(writeFmt, readFmt, args); });
  });
}

ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...) {
  va_list args;
  va_start(args, readFmt);
  visa::TracedCall trace(__func__, vi);
  ViStatus st = viVQueryf(vi, writeFmt, readFmt, args);
  va_end(args);
  return trace.finish(st);
}

}  // extern "C"
