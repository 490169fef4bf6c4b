// SPDX-License-Identifier: MIT
// The events of one session: the types it can deliver, which mechanisms each
// is enabled for, the queue viWaitOnEvent takes from, the events a suspended
// handler is owed, and the handlers, called on a thread of the session's own
// so that a handler may do I/O on the session it serves.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "event_data.h"
#include "visa.h"

namespace visa {

class SessionEvents {
 public:
  explicit SessionEvents(ViSession session);
  ~SessionEvents();
  SessionEvents(const SessionEvents&) = delete;
  SessionEvents& operator=(const SessionEvents&) = delete;

  // A type this session can deliver; any other is VI_ERROR_INV_EVENT.
  void support(ViEventType type);

  ViStatus enable(ViEventType type, ViUInt16 mechanism, ViEventFilter filter, std::uint32_t queue_length);
  ViStatus disable(ViEventType type, ViUInt16 mechanism);
  ViStatus discard(ViEventType type, ViUInt16 mechanism);
  ViStatus install(ViEventType type, ViHndlr handler, ViAddr user_handle);
  ViStatus uninstall(ViEventType type, ViHndlr handler, ViAddr user_handle);
  ViStatus wait(ViEventType type, ViUInt32 timeout_ms, ViPEventType out_type, ViPEvent out_context);

  // Whether `type` is enabled for any mechanism.
  bool enabled(ViEventType type);
  // One occurrence; called from whichever thread learnt of it.
  void occurred(ViEventType type) { occurred(EventData{type}); }
  void occurred(const EventData& event);
  // VI_EVENT_EXCEPTION: the handlers are called now, on the calling thread,
  // before the failed call returns (nothing when they are not enabled).
  void raise_now(const EventData& event);

 private:
  enum class HandlerMode { kOff, kOn, kSuspended };
  struct Handler {
    ViHndlr function;
    ViAddr user_handle;
  };
  struct TypeState {
    bool queue = false;
    HandlerMode handlers = HandlerMode::kOff;
    std::size_t queue_length = 50;
    bool lost = false;                   // the queue overflowed since the last wait
    std::deque<EventData> suspended;     // occurrences owed to the handlers
    std::vector<Handler> installed;      // called last-installed first
  };
  // All of it under `mutex`. The dispatcher thread holds it too, so that it
  // outlives the session when a handler closes the session it serves.
  struct Shared {
    std::mutex mutex;
    std::condition_variable queued;    // the queue got an event
    std::condition_variable dispatch;  // a handler call is owed, or stop
    std::map<ViEventType, TypeState> states;
    std::deque<EventData> queue;       // for viWaitOnEvent, in order of arrival
    std::deque<EventData> calls;       // handler calls owed, in order of arrival
    bool stopping = false;
  };

  // The types a call names: one supported type, or VI_ALL_ENABLED_EVENTS for every supported one.
  ViStatus select(ViEventType type, std::vector<ViEventType>& types) const;
  void start_dispatcher();
  static void dispatch(std::shared_ptr<Shared> shared, ViSession session);

  const ViSession session_;
  std::set<ViEventType> supported_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  std::thread dispatcher_;
};

}  // namespace visa
