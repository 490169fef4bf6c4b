// SPDX-License-Identifier: MIT
#include "session_events.h"

#include <algorithm>
#include <chrono>

#include "registry.h"

namespace visa {
namespace {

constexpr ViUInt16 kHandlerBits = VI_HNDLR | VI_SUSPEND_HNDLR;

bool ValidToEnable(ViUInt16 mechanism) {
  return mechanism == VI_QUEUE || mechanism == VI_HNDLR || mechanism == VI_SUSPEND_HNDLR ||
         mechanism == (VI_QUEUE | VI_HNDLR) || mechanism == (VI_QUEUE | VI_SUSPEND_HNDLR);
}

// Exceptions are raised on the failing call's own thread: handlers only.
bool ValidFor(ViEventType type, ViUInt16 mechanism) {
  return type != VI_EVENT_EXCEPTION || mechanism == VI_HNDLR;
}

bool ValidMask(ViUInt16 mechanism) {
  return mechanism == VI_ALL_MECH || (mechanism != 0 && (mechanism & ~(VI_QUEUE | kHandlerBits)) == 0);
}

}  // namespace

SessionEvents::SessionEvents(ViSession session) : session_(session) {}

SessionEvents::~SessionEvents() {
  {
    std::lock_guard lock(shared_->mutex);
    shared_->stopping = true;
  }
  shared_->dispatch.notify_all();
  shared_->queued.notify_all();
  if (!dispatcher_.joinable()) return;
  // A handler that closes its own session ends here, on the dispatcher thread itself.
  if (dispatcher_.get_id() == std::this_thread::get_id())
    dispatcher_.detach();
  else
    dispatcher_.join();
}

void SessionEvents::support(ViEventType type) { supported_.insert(type); }

ViStatus SessionEvents::select(ViEventType type, std::vector<ViEventType>& types) const {
  if (type == VI_ALL_ENABLED_EVENTS) {
    types.assign(supported_.begin(), supported_.end());
    return VI_SUCCESS;
  }
  if (supported_.count(type) == 0) return VI_ERROR_INV_EVENT;
  types = {type};
  return VI_SUCCESS;
}

ViStatus SessionEvents::enable(ViEventType type, ViUInt16 mechanism, ViEventFilter filter,
                               std::uint32_t queue_length) {
  if (!ValidToEnable(mechanism)) return VI_ERROR_INV_MECH;
  if (type == VI_ALL_ENABLED_EVENTS || supported_.count(type) == 0) return VI_ERROR_INV_EVENT;
  if (!ValidFor(type, mechanism)) return VI_ERROR_INV_MECH;
  if (filter != VI_NULL) return VI_ERROR_INV_CONTEXT;
  bool start = false;
  ViStatus status = VI_SUCCESS;
  {
    std::lock_guard lock(shared_->mutex);
    TypeState& state = shared_->states[type];
    if ((mechanism & kHandlerBits) != 0 && state.installed.empty()) return VI_ERROR_HNDLR_NINSTALLED;
    bool already = true;
    if ((mechanism & VI_QUEUE) != 0) {
      already = already && state.queue;
      if (!state.queue) state.queue_length = std::max<std::uint32_t>(queue_length, 1);
      state.queue = true;
    }
    if ((mechanism & VI_HNDLR) != 0) {
      already = already && state.handlers == HandlerMode::kOn;
      // Events a suspended handler was owed are delivered now.
      for (; !state.suspended.empty(); state.suspended.pop_front()) shared_->calls.push_back(state.suspended.front());
      state.handlers = HandlerMode::kOn;
      start = true;
    }
    if ((mechanism & VI_SUSPEND_HNDLR) != 0) {
      already = already && state.handlers == HandlerMode::kSuspended;
      if (state.handlers != HandlerMode::kSuspended) state.queue_length = std::max<std::uint32_t>(queue_length, 1);
      state.handlers = HandlerMode::kSuspended;
    }
    if (already) status = VI_SUCCESS_EVENT_EN;
  }
  if (start) start_dispatcher();
  shared_->dispatch.notify_all();
  return status;
}

ViStatus SessionEvents::disable(ViEventType type, ViUInt16 mechanism) {
  if (!ValidMask(mechanism)) return VI_ERROR_INV_MECH;
  std::vector<ViEventType> types;
  if (ViStatus st = select(type, types); st < 0) return st;
  bool changed = false;
  std::lock_guard lock(shared_->mutex);
  for (ViEventType t : types) {
    TypeState& state = shared_->states[t];
    if ((mechanism & VI_QUEUE) != 0 && state.queue) {
      state.queue = false;
      changed = true;
    }
    const bool handler_off = (state.handlers == HandlerMode::kOn && (mechanism & VI_HNDLR) != 0) ||
                             (state.handlers == HandlerMode::kSuspended && (mechanism & VI_SUSPEND_HNDLR) != 0);
    if (handler_off) {
      state.handlers = HandlerMode::kOff;
      changed = true;
    }
  }
  return changed ? VI_SUCCESS : VI_SUCCESS_EVENT_DIS;
}

ViStatus SessionEvents::discard(ViEventType type, ViUInt16 mechanism) {
  if (!ValidMask(mechanism)) return VI_ERROR_INV_MECH;
  std::vector<ViEventType> types;
  if (ViStatus st = select(type, types); st < 0) return st;
  bool discarded = false;
  std::lock_guard lock(shared_->mutex);
  for (ViEventType t : types) {
    TypeState& state = shared_->states[t];
    if ((mechanism & VI_QUEUE) != 0) {
      auto& queue = shared_->queue;
      auto kept = std::remove_if(queue.begin(), queue.end(), [&](const EventData& e) { return e.type == t; });
      discarded = discarded || kept != queue.end();
      queue.erase(kept, queue.end());
      state.lost = false;
    }
    if ((mechanism & VI_SUSPEND_HNDLR) != 0 && !state.suspended.empty()) {
      state.suspended.clear();
      discarded = true;
    }
  }
  return discarded ? VI_SUCCESS : VI_SUCCESS_QUEUE_EMPTY;
}

ViStatus SessionEvents::install(ViEventType type, ViHndlr handler, ViAddr user_handle) {
  if (handler == nullptr) return VI_ERROR_INV_HNDLR_REF;
  if (type == VI_ALL_ENABLED_EVENTS || supported_.count(type) == 0) return VI_ERROR_INV_EVENT;
  std::lock_guard lock(shared_->mutex);
  shared_->states[type].installed.push_back({handler, user_handle});
  return VI_SUCCESS;
}

ViStatus SessionEvents::uninstall(ViEventType type, ViHndlr handler, ViAddr user_handle) {
  if (type == VI_ALL_ENABLED_EVENTS || supported_.count(type) == 0) return VI_ERROR_INV_EVENT;
  std::lock_guard lock(shared_->mutex);
  auto& installed = shared_->states[type].installed;
  // VI_ANY_HNDLR takes every handler of the type, whatever its user handle.
  auto gone = std::remove_if(installed.begin(), installed.end(), [&](const Handler& h) {
    return handler == VI_ANY_HNDLR || (h.function == handler && h.user_handle == user_handle);
  });
  if (gone == installed.end()) return VI_ERROR_HNDLR_NINSTALLED;
  installed.erase(gone, installed.end());
  return VI_SUCCESS;
}

ViStatus SessionEvents::wait(ViEventType type, ViUInt32 timeout_ms, ViPEventType out_type, ViPEvent out_context) {
  std::vector<ViEventType> types;
  if (ViStatus st = select(type, types); st < 0) return st;
  std::unique_lock lock(shared_->mutex);
  // Only types enabled for the queue are waited for.
  types.erase(std::remove_if(types.begin(), types.end(), [&](ViEventType t) { return !shared_->states[t].queue; }),
              types.end());
  if (types.empty()) return VI_ERROR_NENABLED;
  auto& queue = shared_->queue;
  auto first = [&] {
    return std::find_if(queue.begin(), queue.end(), [&](const EventData& e) {
      return std::find(types.begin(), types.end(), e.type) != types.end();
    });
  };
  auto arrived = [&] { return shared_->stopping || first() != queue.end(); };
  if (timeout_ms == VI_TMO_INFINITE) {
    shared_->queued.wait(lock, arrived);
  } else if (!shared_->queued.wait_for(lock, std::chrono::milliseconds(timeout_ms), arrived)) {
    return VI_ERROR_TMO;
  }
  auto it = first();
  if (it == queue.end()) return VI_ERROR_TMO;  // the session closed meanwhile
  const EventData event = *it;
  const ViEventType got = event.type;
  queue.erase(it);
  TypeState& state = shared_->states[got];
  ViStatus status = VI_SUCCESS;
  if (state.lost) {
    status = VI_WARN_QUEUE_OVERFLOW;
    state.lost = false;
  } else if (first() != queue.end()) {
    status = VI_SUCCESS_QUEUE_NEMPTY;
  }
  lock.unlock();
  if (out_type != nullptr) *out_type = got;
  // Without a place to put it, the context is closed at once.
  if (out_context != nullptr) *out_context = Registry::instance().open_event(session_, event);
  return status;
}

bool SessionEvents::enabled(ViEventType type) {
  std::lock_guard lock(shared_->mutex);
  auto it = shared_->states.find(type);
  return it != shared_->states.end() && (it->second.queue || it->second.handlers != HandlerMode::kOff);
}

void SessionEvents::occurred(const EventData& event) {
  bool queued = false, call = false;
  {
    std::lock_guard lock(shared_->mutex);
    auto it = shared_->states.find(event.type);
    if (it == shared_->states.end()) return;
    TypeState& state = it->second;
    if (state.queue) {
      const auto held = static_cast<std::size_t>(std::count_if(
          shared_->queue.begin(), shared_->queue.end(), [&](const EventData& e) { return e.type == event.type; }));
      if (held < state.queue_length) {
        shared_->queue.push_back(event);
        queued = true;
      } else {
        state.lost = true;
      }
    }
    if (state.handlers == HandlerMode::kOn) {
      shared_->calls.push_back(event);
      call = true;
    } else if (state.handlers == HandlerMode::kSuspended && state.suspended.size() < state.queue_length) {
      state.suspended.push_back(event);
    }
  }
  if (queued) shared_->queued.notify_all();
  if (call) shared_->dispatch.notify_all();
}

void SessionEvents::raise_now(const EventData& event) {
  std::vector<Handler> handlers;
  {
    std::lock_guard lock(shared_->mutex);
    auto it = shared_->states.find(event.type);
    if (it == shared_->states.end() || it->second.handlers != HandlerMode::kOn) return;
    handlers.assign(it->second.installed.rbegin(), it->second.installed.rend());
  }
  ViEvent context = Registry::instance().open_event(session_, event);
  for (const Handler& h : handlers)
    if (h.function(session_, event.type, context, h.user_handle) == VI_SUCCESS_NCHAIN) break;
  Registry::instance().close(context);
}

void SessionEvents::start_dispatcher() {
  if (dispatcher_.joinable()) return;
  dispatcher_ = std::thread(dispatch, shared_, session_);
}

// The thread holds `shared` itself: a handler may close the session, and with it this object.
void SessionEvents::dispatch(std::shared_ptr<Shared> shared, ViSession session) {
  std::unique_lock lock(shared->mutex);
  for (;;) {
    shared->dispatch.wait(lock, [&] { return shared->stopping || !shared->calls.empty(); });
    if (shared->stopping) return;
    const EventData event = shared->calls.front();
    shared->calls.pop_front();
    TypeState& state = shared->states[event.type];
    if (state.handlers != HandlerMode::kOn) continue;  // disabled since it arrived
    std::vector<Handler> handlers(state.installed.rbegin(), state.installed.rend());
    lock.unlock();
    // The context lives while the handlers run; one that a handler closed itself is simply gone.
    ViEvent context = Registry::instance().open_event(session, event);
    for (const Handler& h : handlers)
      if (h.function(session, event.type, context, h.user_handle) == VI_SUCCESS_NCHAIN) break;
    Registry::instance().close(context);
    lock.lock();
  }
}

}  // namespace visa
