// SPDX-License-Identifier: MIT
// An instrument's lock as HiSLIP clients see it (the gateway's VXI-11 links
// share it): held exclusively by one session, or shared by every session
// that asks with the same lock string. A session may hold a
// shared lock and the exclusive one at once; releasing gives up the exclusive
// lock first.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "hislip_codec.h"

namespace emulator {

class HislipLocks {
 public:
  // An empty key asks for the exclusive lock; the answer is an AsyncLockResponse control code.
  std::uint8_t request(std::uint64_t session, std::string_view key, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    const bool exclusive = key.empty();
    if (exclusive ? exclusive_ == session : shared_.count(session) != 0) return hislip::kLockError;
    auto grantable = [&] {
      if (stopping_) return true;
      if (exclusive) return exclusive_ == 0 && (shared_.empty() || (shared_.size() == 1 && shared_.count(session)));
      return (exclusive_ == 0 || exclusive_ == session) && (shared_.empty() || shared_key_ == key);
    };
    if (!changed_.wait_for(lock, wait, grantable) || stopping_) return hislip::kLockFailure;
    if (exclusive) {
      exclusive_ = session;
    } else {
      shared_.insert(session);
      shared_key_ = std::string(key);
    }
    return hislip::kLockSuccess;
  }

  std::uint8_t release(std::uint64_t session) {
    std::lock_guard lock(mutex_);
    std::uint8_t answer = hislip::kLockError;
    if (exclusive_ == session) {
      exclusive_ = 0;
      answer = hislip::kLockSuccess;
    } else if (shared_.erase(session) != 0) {
      answer = hislip::kLockSharedReleased;
    }
    changed_.notify_all();
    return answer;
  }

  // A session that ends holds nothing.
  void release_all(std::uint64_t session) {
    std::lock_guard lock(mutex_);
    if (exclusive_ == session) exclusive_ = 0;
    shared_.erase(session);
    changed_.notify_all();
  }

  // AsyncLockInfo: whether the exclusive lock is held, and by how many sessions any lock is.
  std::pair<bool, std::uint32_t> info() {
    std::lock_guard lock(mutex_);
    std::set<std::uint64_t> holders = shared_;
    if (exclusive_ != 0) holders.insert(exclusive_);
    return {exclusive_ != 0, static_cast<std::uint32_t>(holders.size())};
  }

  // Whether `session` may use the instrument: nobody else holds the exclusive
  // lock, and a shared lock held by others is held by it too; waits up to `wait` for that.
  bool wait_access(std::uint64_t session, std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    auto free = [&] {
      if (stopping_ || exclusive_ == session) return true;
      return exclusive_ == 0 && (shared_.empty() || shared_.count(session) != 0);
    };
    return changed_.wait_for(lock, wait, free) && !stopping_;
  }

  // Waiters give up at once, so that the server can stop.
  void stop() {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t exclusive_ = 0;  // the session holding the exclusive lock; 0: none
  std::set<std::uint64_t> shared_;
  std::string shared_key_;
  bool stopping_ = false;
};

}  // namespace emulator
