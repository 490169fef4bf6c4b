// SPDX-License-Identifier: MIT
// What every exported function does around its body: no C++ exception
// crosses into the caller, the call is traced when tracing is on, a handle is
// looked up once, a session that another session has locked the resource
// against is refused, and a failure raises VI_EVENT_EXCEPTION where its
// handlers are enabled. `operation` is the function's name (__func__).
#pragma once

#include <cstdarg>
#include <memory>
#include <new>

#include "lock_table.h"
#include "registry.h"
#include "trace.h"
#include "visa.h"

namespace visa {

// VI_EVENT_EXCEPTION: a failed call on a session whose exception handlers
// are enabled calls them before it returns, on its own thread.
void raise_exception(ViObject object, const char* operation, ViStatus status) noexcept;

// How many guarded calls this thread is inside: an exported function that
// goes through another guard raises its exception once, as itself.
inline thread_local int guard_depth = 0;

template <typename Body>
ViStatus guarded(const char* operation, ViObject object, Body&& body) noexcept {
  TracedCall trace(operation, object);
  ViStatus status;
  ++guard_depth;
  try {
    status = body();
  } catch (const std::bad_alloc&) {
    status = VI_ERROR_ALLOC;
  } catch (...) {
    status = VI_ERROR_SYSTEM_ERROR;
  }
  --guard_depth;
  status = trace.finish(status);
  if (status < 0 && guard_depth == 0) raise_exception(object, operation, status);
  return status;
}

template <typename Body>
ViStatus with_session(const char* operation, ViSession vi, Body&& body) noexcept {
  return guarded(operation, vi, [&]() -> ViStatus {
    std::shared_ptr<InstrumentSession> session = Registry::instance().find(vi);
    if (!session) {
      return Registry::instance().is_resource_manager(vi) ? VI_ERROR_NSUP_OPER : VI_ERROR_INV_OBJECT;
    }
    return body(*session);
  });
}

// An operation on the instrument: refused while another session holds a lock on it.
template <typename Body>
ViStatus with_accessible_session(const char* operation, ViSession vi, Body&& body) noexcept {
  return with_session(operation, vi, [&](InstrumentSession& s) -> ViStatus {
    if (!LockTable::instance().may_access(s.resource().canonical, vi)) return VI_ERROR_RSRC_LOCKED;
    return body(s);
  });
}

// A call given a va_list works on its own copy, released whatever the body returns.
template <typename Body>
ViStatus with_copied_args(va_list params, Body&& body) {
  va_list args;
  va_copy(args, params);
  ViStatus status = body(&args);
  va_end(args);
  return status;
}

}  // namespace visa
