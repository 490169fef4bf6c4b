// The exported functions beyond messages: the status byte, triggers, locks and events.
#include <algorithm>
#include <cstring>
#include <string>

#include "api_guard.h"
#include "lock_table.h"
#include "visa.h"

using visa::InstrumentSession;

namespace {

bool KnownMechanism(ViUInt16 mechanism) {
  return mechanism == VI_QUEUE || mechanism == VI_HNDLR || mechanism == VI_SUSPEND_HNDLR || mechanism == VI_ALL_MECH;
}

}  // namespace

extern "C" {

ViStatus viReadSTB(ViSession vi, ViPUInt16 status) {
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (status == nullptr) return VI_ERROR_USER_BUF;
    ViUInt16 stb = 0;
    ViStatus st = s.read_stb(stb);
    if (st >= 0) {
      *status = stb;
      visa::trace_detail("status byte " + std::to_string(stb));
    }
    return st;
  });
}

ViStatus viAssertTrigger(ViSession vi, ViUInt16 protocol) {
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) { return s.assert_trigger(protocol); });
}

ViStatus viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey, ViChar accessKey[]) {
  return visa::with_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    std::string key;
    ViStatus st = visa::LockTable::instance().lock(s.resource().canonical, vi, lockType, timeout,
                                                   lockType == VI_SHARED_LOCK ? requestedKey : nullptr, key);
    // A first exclusive lock takes the instrument's own lock too, so that it holds against other processes.
    if (st == VI_SUCCESS && lockType == VI_EXCLUSIVE_LOCK) {
      ViStatus wire = s.lock_device(timeout);
      if (wire < 0) {
        visa::LockTable::instance().unlock(s.resource().canonical, vi);
        return wire;
      }
    }
    if (st >= 0 && lockType == VI_SHARED_LOCK && accessKey != nullptr) {
      std::size_t n = std::min<std::size_t>(key.size(), 255);
      std::memcpy(accessKey, key.data(), n);
      accessKey[n] = '\0';
    }
    return st;
  });
}

ViStatus viUnlock(ViSession vi) {
  return visa::with_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    const bool exclusive = visa::LockTable::instance().holds_exclusive(s.resource().canonical, vi);
    ViStatus st = visa::LockTable::instance().unlock(s.resource().canonical, vi);
    if (st == VI_SUCCESS && exclusive) {
      ViStatus wire = s.unlock_device();
      if (wire < 0) return wire;
    }
    return st;
  });
}

// No event is delivered yet: enabling is refused, and disabling or discarding
// finds nothing enabled or queued.
ViStatus viEnableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism, ViEventFilter) {
  return visa::with_session(__func__, vi, [&](InstrumentSession&) -> ViStatus {
    if (mechanism != VI_QUEUE && mechanism != VI_HNDLR && mechanism != VI_SUSPEND_HNDLR) return VI_ERROR_INV_MECH;
    (void)eventType;
    return VI_ERROR_INV_EVENT;
  });
}

ViStatus viDisableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
  return visa::with_session(__func__, vi, [&](InstrumentSession&) -> ViStatus {
    if (!KnownMechanism(mechanism)) return VI_ERROR_INV_MECH;
    if (eventType != VI_ALL_ENABLED_EVENTS && eventType != VI_EVENT_SERVICE_REQ) return VI_ERROR_INV_EVENT;
    return VI_SUCCESS_EVENT_DIS;
  });
}

ViStatus viDiscardEvents(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
  return visa::with_session(__func__, vi, [&](InstrumentSession&) -> ViStatus {
    if (!KnownMechanism(mechanism)) return VI_ERROR_INV_MECH;
    if (eventType != VI_ALL_ENABLED_EVENTS && eventType != VI_EVENT_SERVICE_REQ) return VI_ERROR_INV_EVENT;
    return VI_SUCCESS_QUEUE_EMPTY;
  });
}

ViStatus viInstallHandler(ViSession vi, ViEventType eventType, ViHndlr handler, ViAddr) {
  return visa::with_session(__func__, vi, [&](InstrumentSession&) -> ViStatus {
    if (handler == nullptr) return VI_ERROR_INV_PARAMETER;
    (void)eventType;
    return VI_ERROR_INV_EVENT;
  });
}

ViStatus viUninstallHandler(ViSession vi, ViEventType eventType, ViHndlr, ViAddr) {
  return visa::with_session(__func__, vi, [&](InstrumentSession&) -> ViStatus {
    (void)eventType;
    return VI_ERROR_INV_EVENT;
  });
}

ViStatus viWaitOnEvent(ViSession vi, ViEventType inEventType, ViUInt32, ViPEventType outEventType, ViPEvent outContext) {
  if (outEventType != nullptr) *outEventType = 0;
  if (outContext != nullptr) *outContext = VI_NULL;
  return visa::with_session(__func__, vi, [&](InstrumentSession&) -> ViStatus {
    if (inEventType != VI_ALL_ENABLED_EVENTS && inEventType != VI_EVENT_SERVICE_REQ) return VI_ERROR_INV_EVENT;
    return VI_ERROR_NENABLED;
  });
}

}  // extern "C"
