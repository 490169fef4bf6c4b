// SPDX-License-Identifier: MIT
#include "lock_table.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

#include "visa.h"

namespace visa {

// Never destroyed, like the registry: sessions may close from exit handlers.
LockTable& LockTable::instance() {
  static LockTable* table = new LockTable;
  return *table;
}

bool LockTable::grantable(const Locks& l, ViSession session, ViAccessMode type, const std::string& key) const {
  if (l.exclusive_count > 0 && l.exclusive_owner != session) return false;
  if (type == VI_EXCLUSIVE_LOCK) {
    // Other sessions sharing the resource keep it from being taken whole.
    for (const auto& [holder, count] : l.shared)
      if (holder != session && count > 0) return false;
    return true;
  }
  return l.shared.empty() || key == l.shared_key || l.shared.count(session) != 0;
}

ViStatus LockTable::lock(const std::string& resource, ViSession session, ViAccessMode type, ViUInt32 timeout_ms,
                         const char* requested_key, std::string& key) {
  if (type != VI_EXCLUSIVE_LOCK && type != VI_SHARED_LOCK) return VI_ERROR_INV_LOCK_TYPE;
  std::unique_lock guard(mutex_);
  Published published(*this);
  Locks& l = locks_[resource];
  // A shared lock asked for without a key gets a new one (or the one this session already shares).
  std::string wanted;
  if (type == VI_SHARED_LOCK) {
    if (requested_key != nullptr && *requested_key != '\0') {
      wanted = std::string(requested_key).substr(0, 255);
    } else if (l.shared.count(session) != 0) {
      wanted = l.shared_key;
    } else {
      char text[64];
      std::snprintf(text, sizeof text, "zevra-%d-%lu", static_cast<int>(getpid()), next_key_++);
      wanted = text;
    }
  }
  auto ready = [&] { return grantable(locks_[resource], session, type, wanted); };
  if (!ready()) {
    if (timeout_ms == VI_TMO_INFINITE) {
      released_.wait(guard, ready);
    } else if (!released_.wait_for(guard, std::chrono::milliseconds(timeout_ms), ready)) {
      auto it = locks_.find(resource);
      if (it != locks_.end() && it->second.exclusive_count == 0 && it->second.shared.empty()) locks_.erase(it);
      return VI_ERROR_TMO;
    }
  }
  Locks& granted = locks_[resource];
  if (type == VI_EXCLUSIVE_LOCK) {
    granted.exclusive_owner = session;
    return ++granted.exclusive_count > 1 ? VI_SUCCESS_NESTED_EXCLUSIVE : VI_SUCCESS;
  }
  if (granted.shared.empty()) granted.shared_key = wanted;
  key = granted.shared_key;
  return ++granted.shared[session] > 1 ? VI_SUCCESS_NESTED_SHARED : VI_SUCCESS;
}

ViStatus LockTable::unlock(const std::string& resource, ViSession session) {
  std::lock_guard guard(mutex_);
  Published published(*this);
  auto it = locks_.find(resource);
  if (it == locks_.end()) return VI_ERROR_SESN_NLOCKED;
  Locks& l = it->second;
  ViStatus st = VI_ERROR_SESN_NLOCKED;
  if (l.exclusive_count > 0 && l.exclusive_owner == session) {
    if (--l.exclusive_count == 0) l.exclusive_owner = 0;
    st = l.exclusive_count > 0 ? VI_SUCCESS_NESTED_EXCLUSIVE : VI_SUCCESS;
  } else if (auto holder = l.shared.find(session); holder != l.shared.end()) {
    if (--holder->second == 0) l.shared.erase(holder);
    st = l.shared.count(session) != 0 ? VI_SUCCESS_NESTED_SHARED : VI_SUCCESS;
  }
  if (l.exclusive_count == 0 && l.shared.empty()) locks_.erase(it);
  released_.notify_all();
  return st;
}

void LockTable::release(const std::string& resource, ViSession session) {
  std::lock_guard guard(mutex_);
  Published published(*this);
  auto it = locks_.find(resource);
  if (it == locks_.end()) return;
  Locks& l = it->second;
  if (l.exclusive_owner == session) {
    l.exclusive_owner = 0;
    l.exclusive_count = 0;
  }
  l.shared.erase(session);
  if (l.exclusive_count == 0 && l.shared.empty()) locks_.erase(it);
  released_.notify_all();
}

bool LockTable::may_access(const std::string& resource, ViSession session) {
  // Nothing locked anywhere: every I/O call asks, so this answer costs no mutex.
  if (entries_.load(std::memory_order_acquire) == 0) return true;
  std::lock_guard guard(mutex_);
  auto it = locks_.find(resource);
  if (it == locks_.end()) return true;
  const Locks& l = it->second;
  if (l.exclusive_count > 0) return l.exclusive_owner == session;
  return l.shared.empty() || l.shared.count(session) != 0;
}

bool LockTable::holds_exclusive(const std::string& resource, ViSession session) {
  std::lock_guard guard(mutex_);
  auto it = locks_.find(resource);
  return it != locks_.end() && it->second.exclusive_count > 0 && it->second.exclusive_owner == session;
}

ViAccessMode LockTable::state(const std::string& resource) {
  std::lock_guard guard(mutex_);
  auto it = locks_.find(resource);
  if (it == locks_.end()) return VI_NO_LOCK;
  return it->second.exclusive_count > 0 ? VI_EXCLUSIVE_LOCK : VI_SHARED_LOCK;
}

}  // namespace visa
