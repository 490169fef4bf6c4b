// SPDX-License-Identifier: MIT
// The frame every exported call runs in: resolve the handle to its driver
// session, hold the session lock around the body, return the body's status.
// The lock is re-entrant, so frames nest on one thread.
#pragma once

#include <functional>
#include <new>
#include <vector>

#include "IviSession.h"
#include "ivi_status.h"
#include "driver_session.h"
#include "errors.h"
#include "vexo_assert.h"

namespace vexo {

// The calls this thread is inside, innermost last. A call nested in another
// (an attribute written by a function, a channel selected) reaches its session
// here without the handle registry, and keeps reaching it while another
// thread's close has already made the handle unresolvable for new calls.
struct ActiveCall {
  ViSession vi;
  DriverSession* session;
};
std::vector<ActiveCall>& ActiveCalls();

// The driver session behind a handle, or null: a call this thread is inside
// answers first, the handle registry otherwise.
inline DriverSession* ResolveSession(const std::vector<ActiveCall>& active, ViSession vi) {
  for (auto call = active.rbegin(); call != active.rend(); ++call) {
    if (call->vi == vi) return call->session;
  }
  ViAddr data = nullptr;
  if (IviSession_GetDataPtr(vi, &data) < 0) return nullptr;
  return static_cast<DriverSession*>(data);
}
inline DriverSession* ResolveSession(ViSession vi) { return ResolveSession(ActiveCalls(), vi); }

// Marks this thread as inside a call on `session` for the scope's lifetime.
class ActiveCallScope {
 public:
  ActiveCallScope(std::vector<ActiveCall>& active, ViSession vi, DriverSession* session) : active_(active) {
    active_.push_back({vi, session});
  }
  ~ActiveCallScope() { active_.pop_back(); }
  ActiveCallScope(const ActiveCallScope&) = delete;
  ActiveCallScope& operator=(const ActiveCallScope&) = delete;

 private:
  std::vector<ActiveCall>& active_;
};

// Runs `body` and turns an escaping exception into a status.
template <typename Body>
ViStatus Guarded(ViSession vi, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return ReportError(vi, IVI_ERROR_OUT_OF_MEMORY);
  } catch (...) {
    return ReportError(vi, IVI_ERROR_CANNOT_RECOVER);
  }
}

class SessionLock {
 public:
  // Fails (0xBFFA1190) when the handle was closed while this thread waited for it.
  explicit SessionLock(ViSession vi) : vi_(vi), status_(IviSession_Lock(vi, nullptr)) {}
  ~SessionLock() {
    if (status_ >= 0) {
      [[maybe_unused]] ViStatus unlocked = IviSession_Unlock(vi_, nullptr);
      VEXO_ASSERT(unlocked >= 0);
    }
  }
  SessionLock(const SessionLock&) = delete;
  SessionLock& operator=(const SessionLock&) = delete;
  ViStatus status() const { return status_; }

 private:
  ViSession vi_;
  ViStatus status_;
};

// The standard frame: body(DriverSession&) -> ViStatus.
// A session is freed only by a close that holds its lock and never releases it,
// so once the lock is held the session resolved before it is alive.
template <typename Body>
ViStatus Frame(ViSession vi, Body&& body) noexcept {
  std::vector<ActiveCall>& active = ActiveCalls();  // thread-local: looked up once per frame
  DriverSession* session = ResolveSession(active, vi);
  if (session == nullptr) return IVI_ERROR_INVALID_SESSION_HANDLE;
  SessionLock lock(vi);
  if (lock.status() < 0) return lock.status();
  return Guarded(vi, [&] {
    ActiveCallScope scope(active, vi, session);
    return body(*session);
  });
}

// Close hooks: run by the driver's close, in registration order, with the handle.
void RegisterCloseHook(std::function<void(ViSession)> hook);
void RunCloseHooks(ViSession vi);

}  // namespace vexo
