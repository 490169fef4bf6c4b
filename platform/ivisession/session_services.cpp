// SPDX-License-Identifier: MIT
// Process-wide registry of IVI session handles. Each entry carries the data
// pointer, a re-entrant lock and the recorded error; the registry mutex is held
// only to look an entry up, insert or erase it.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "IviSession.h"

namespace {

struct ErrorRecord {
  ViStatus code = 0;
  std::string description;

  void set(ViStatus c, const char* text) {
    code = c;
    description.assign(text != nullptr ? text : "");
    if (description.size() > IVI_MAX_ERROR_DESCRIPTION - 1)
      description.resize(IVI_MAX_ERROR_DESCRIPTION - 1);
  }
  void clear() {
    code = 0;
    description.clear();
  }
};

// A lock one thread may take several times; others wait until every level is
// released. Taking a free lock, or another level of one's own, is one atomic
// step; only a thread that finds it held by another meets the mutex.
class ReentrantLock {
 public:
  ViStatus lock() {
    const std::thread::id me = std::this_thread::get_id();
    // Only this thread ever stores its own id, so a plain load tells it whether it holds the lock.
    if (owner_.load(std::memory_order_relaxed) == me) {
      ++depth_;
      return VI_SUCCESS;
    }
    if (!try_take(me)) {
      std::unique_lock guard(mutex_);
      // Counted before the next attempt: a release after that attempt sees the waiter and wakes it.
      waiters_.fetch_add(1);
      released_.wait(guard, [&] { return disposed_.load() || try_take(me); });
      waiters_.fetch_sub(1);
      if (owner_.load(std::memory_order_relaxed) != me) return IVI_ERROR_INVALID_SESSION_HANDLE;
    }
    if (disposed_.load()) {
      release();
      return IVI_ERROR_INVALID_SESSION_HANDLE;
    }
    depth_ = 1;
    return VI_SUCCESS;
  }

  ViStatus unlock() {
    if (owner_.load(std::memory_order_relaxed) != std::this_thread::get_id() || depth_ == 0)
      return IVI_ERROR_SESSION_NOT_LOCKED;
    if (--depth_ == 0) release();
    return VI_SUCCESS;
  }

  void dispose() {
    disposed_.store(true);
    std::lock_guard guard(mutex_);
    released_.notify_all();
  }

 private:
  bool try_take(std::thread::id me) {
    std::thread::id free;
    return owner_.compare_exchange_strong(free, me);
  }
  void release() {
    owner_.store(std::thread::id());
    if (waiters_.load() > 0) {
      std::lock_guard guard(mutex_);
      released_.notify_one();
    }
  }

  std::atomic<std::thread::id> owner_{};
  unsigned depth_ = 0;  // touched by the owner only
  std::atomic<unsigned> waiters_{0};
  std::atomic<bool> disposed_{false};
  std::mutex mutex_;
  std::condition_variable released_;
};

struct Session {
  // Read by every call while a close may be clearing it.
  std::atomic<ViAddr> data{nullptr};
  // Set by Dispose before the entry leaves the registry: a thread's cached
  // look-up of this handle then fails as the registry's would.
  std::atomic<bool> removed{false};
  ReentrantLock lock;
  std::mutex error_mutex;
  ErrorRecord error;
};

class Registry {
 public:
  ViSession add() {
    auto session = std::make_shared<Session>();
    std::lock_guard guard(mutex_);
    ViSession handle = next_++;
    sessions_.emplace(handle, std::move(session));
    return handle;
  }

  // Every exported call looks its handle up, several times a driver call:
  // each thread remembers its last hit, so threads working on their own
  // sessions do not meet on the registry's mutex. Handles are never reused.
  // The entry is returned by plain pointer, kept alive by this thread's
  // remembered reference: no service calls another, so nothing on this
  // thread replaces that reference before the caller is done with it.
  Session* find(ViSession vi) {
    // initial-exec: the look-up reads it without a call into the dynamic linker.
    [[gnu::tls_model("initial-exec")]] thread_local struct {
      ViSession vi = 0;
      std::shared_ptr<Session> session;
    } last;
    if (last.session && last.vi == vi) {
      if (!last.session->removed.load(std::memory_order_acquire)) return last.session.get();
      last.session.reset();
      return nullptr;
    }
    std::shared_ptr<Session> found;
    {
      std::lock_guard guard(mutex_);
      auto it = sessions_.find(vi);
      if (it != sessions_.end()) found = it->second;
    }
    if (!found) return nullptr;
    last.vi = vi;
    last.session = std::move(found);
    return last.session.get();
  }

  std::shared_ptr<Session> remove(ViSession vi) {
    std::lock_guard guard(mutex_);
    auto it = sessions_.find(vi);
    if (it == sessions_.end()) return nullptr;
    auto session = std::move(it->second);
    session->removed.store(true, std::memory_order_release);
    sessions_.erase(it);
    return session;
  }

 private:
  std::mutex mutex_;
  // Far from the VISA library's handles (0x1000 up), so neither ever takes the other's for its own.
  ViSession next_ = 0x20000001;
  std::map<ViSession, std::shared_ptr<Session>> sessions_;
};

// Never destroyed: sessions may be closed from exit handlers and static
// destructors, after the statics of this library would be gone.
Registry& registry() {
  static Registry* instance = new Registry;
  return *instance;
}

thread_local ErrorRecord t_last_error;

template <typename Body>
ViStatus guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    // Only allocation can throw in these services.
    return IVI_ERROR_OUT_OF_MEMORY;
  }
}

// Copies `record` with the IVI buffer rules; returns the result GetError gives.
ViStatus copy_out(ErrorRecord& record, ViInt32 size, ViStatus* code, ViChar* description) {
  ViInt32 needed = static_cast<ViInt32>(record.description.size() + 1);
  if (code != nullptr) *code = record.code;
  if (size == 0) return needed;
  if (description == nullptr) return IVI_ERROR_NULL_POINTER;
  ViStatus result = VI_SUCCESS;
  std::size_t copy = record.description.size();
  if (size > 0 && size < needed) {
    copy = static_cast<std::size_t>(size - 1);
    result = needed;
  }
  std::memcpy(description, record.description.data(), copy);
  description[copy] = '\0';
  record.clear();
  return result;
}

}  // namespace

extern "C" {

ViStatus IviSession_New(ViSession* vi) {
  if (vi == nullptr) return IVI_ERROR_NULL_POINTER;
  return guarded([&] {
    *vi = registry().add();
    return VI_SUCCESS;
  });
}

ViStatus IviSession_Dispose(ViSession vi) {
  return guarded([&]() -> ViStatus {
    auto session = registry().remove(vi);
    if (!session) return IVI_ERROR_INVALID_SESSION_HANDLE;
    session->lock.dispose();
    return VI_SUCCESS;
  });
}

ViStatus IviSession_SetDataPtr(ViSession vi, ViAddr dataPtr) {
  return guarded([&]() -> ViStatus {
    Session* session = registry().find(vi);
    if (!session) return IVI_ERROR_INVALID_SESSION_HANDLE;
    session->data = dataPtr;
    return VI_SUCCESS;
  });
}

ViStatus IviSession_GetDataPtr(ViSession vi, ViAddr* dataPtr) {
  if (dataPtr == nullptr) return IVI_ERROR_NULL_POINTER;
  return guarded([&]() -> ViStatus {
    Session* session = registry().find(vi);
    if (!session) return IVI_ERROR_INVALID_SESSION_HANDLE;
    *dataPtr = session->data;
    return VI_SUCCESS;
  });
}

ViStatus IviSession_Lock(ViSession vi, ViBoolean* callerHasLock) {
  return guarded([&]() -> ViStatus {
    Session* session = registry().find(vi);
    if (!session) return IVI_ERROR_INVALID_SESSION_HANDLE;
    if (callerHasLock != nullptr && *callerHasLock != VI_FALSE) return VI_SUCCESS;
    ViStatus st = session->lock.lock();
    if (st == VI_SUCCESS && callerHasLock != nullptr) *callerHasLock = VI_TRUE;
    return st;
  });
}

ViStatus IviSession_Unlock(ViSession vi, ViBoolean* callerHasLock) {
  return guarded([&]() -> ViStatus {
    Session* session = registry().find(vi);
    if (!session) return IVI_ERROR_INVALID_SESSION_HANDLE;
    if (callerHasLock != nullptr && *callerHasLock == VI_FALSE) return VI_SUCCESS;
    ViStatus st = session->lock.unlock();
    if (st == VI_SUCCESS && callerHasLock != nullptr) *callerHasLock = VI_FALSE;
    return st;
  });
}

ViStatus IviSession_SetError(ViSession vi, ViStatus code, ViConstString description) {
  return guarded([&]() -> ViStatus {
    if (vi != VI_NULL) {
      Session* session = registry().find(vi);
      if (!session) return IVI_ERROR_INVALID_SESSION_HANDLE;
      std::lock_guard guard(session->error_mutex);
      session->error.set(code, description);
    }
    t_last_error.set(code, description);
    return VI_SUCCESS;
  });
}

ViStatus IviSession_GetError(ViSession vi, ViInt32 bufferSize, ViStatus* code,
                             ViChar description[]) {
  return guarded([&]() -> ViStatus {
    if (vi == VI_NULL) return copy_out(t_last_error, bufferSize, code, description);
    Session* session = registry().find(vi);
    if (!session) return IVI_ERROR_INVALID_SESSION_HANDLE;
    std::lock_guard guard(session->error_mutex);
    return copy_out(session->error, bufferSize, code, description);
  });
}

ViStatus IviSession_ClearError(ViSession vi) {
  return guarded([&]() -> ViStatus {
    if (vi == VI_NULL) {
      t_last_error.clear();
      return VI_SUCCESS;
    }
    Session* session = registry().find(vi);
    if (!session) return IVI_ERROR_INVALID_SESSION_HANDLE;
    std::lock_guard guard(session->error_mutex);
    session->error.clear();
    return VI_SUCCESS;
  });
}

}  // extern "C"
