// SPDX-License-Identifier: MIT
// The exported functions beyond messages: the status byte, triggers, locks and events.
#include <algorithm>
#include <cstring>
#include <string>

#include "api_guard.h"
#include "lock_table.h"
#include "visa.h"

using visa::InstrumentSession;

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

// Remote enable, go to local and local lockout: USB488's requests on a USB instrument.
ViStatus viGpibControlREN(ViSession vi, ViUInt16 mode) {
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) { return s.control_ren(mode); });
}

// Interface clear, on a GPIB board's own session (GPIB<n>::INTFC, PRLGX-...::INTFC).
ViStatus viGpibSendIFC(ViSession vi) {
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) { return s.interface_clear(); });
}

ViStatus viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey, ViChar accessKey[]) {
  return visa::with_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    std::string key;
    const bool shared = lockType == VI_SHARED_LOCK;
    ViStatus st = visa::LockTable::instance().lock(s.resource().canonical, vi, lockType, timeout,
                                                   shared ? requestedKey : nullptr, key);
    // A first lock of its kind takes the instrument's own too, so that it holds against other processes.
    if (st == VI_SUCCESS) {
      ViStatus wire = s.lock_device(timeout, shared ? &key : nullptr);
      if (wire < 0) {
        visa::LockTable::instance().unlock(s.resource().canonical, vi);
        return wire;
      }
    }
    if (st >= 0 && shared && accessKey != nullptr) {
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
    // The last level of a kind (exclusive first) gives up the instrument's own lock of that kind.
    if (st == VI_SUCCESS) {
      ViStatus wire = s.unlock_device(!exclusive);
      if (wire < 0) return wire;
    }
    return st;
  });
}

ViStatus viEnableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism, ViEventFilter context) {
  return visa::with_session(__func__, vi,
                            [&](InstrumentSession& s) { return s.enable_event(eventType, mechanism, context); });
}

ViStatus viDisableEvent(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
  return visa::with_session(__func__, vi,
                            [&](InstrumentSession& s) { return s.disable_event(eventType, mechanism); });
}

ViStatus viDiscardEvents(ViSession vi, ViEventType eventType, ViUInt16 mechanism) {
  return visa::with_session(__func__, vi,
                            [&](InstrumentSession& s) { return s.events().discard(eventType, mechanism); });
}

ViStatus viInstallHandler(ViSession vi, ViEventType eventType, ViHndlr handler, ViAddr userHandle) {
  return visa::with_session(__func__, vi,
                            [&](InstrumentSession& s) { return s.events().install(eventType, handler, userHandle); });
}

ViStatus viUninstallHandler(ViSession vi, ViEventType eventType, ViHndlr handler, ViAddr userHandle) {
  return visa::with_session(__func__, vi, [&](InstrumentSession& s) {
    return s.events().uninstall(eventType, handler, userHandle);
  });
}

ViStatus viWaitOnEvent(ViSession vi, ViEventType inEventType, ViUInt32 timeout, ViPEventType outEventType,
                       ViPEvent outContext) {
  if (outEventType != nullptr) *outEventType = 0;
  if (outContext != nullptr) *outContext = VI_NULL;
  return visa::with_session(__func__, vi, [&](InstrumentSession& s) {
    return s.events().wait(inEventType, timeout, outEventType, outContext);
  });
}

}  // extern "C"
