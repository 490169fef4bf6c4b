// SPDX-License-Identifier: MIT
// Resource locks between the sessions of this process: exclusive, or shared
// by the sessions that present the same access key, each nested by count.
// A session that does not hold an existing lock is refused the resource's
// operations (VI_ERROR_RSRC_LOCKED); a viLock that cannot be granted waits
// up to its timeout.
#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "visatype.h"

namespace visa {

class LockTable {
 public:
  static LockTable& instance();

  // VI_SUCCESS, VI_SUCCESS_NESTED_EXCLUSIVE, VI_SUCCESS_NESTED_SHARED, VI_ERROR_TMO or
  // VI_ERROR_INV_LOCK_TYPE; a shared lock hands back its key in `key`.
  ViStatus lock(const std::string& resource, ViSession session, ViAccessMode type, ViUInt32 timeout_ms,
                const char* requested_key, std::string& key);
  // One level of the session's locks, exclusive first; VI_ERROR_SESN_NLOCKED when it holds none.
  ViStatus unlock(const std::string& resource, ViSession session);
  // Every lock of a closing session.
  void release(const std::string& resource, ViSession session);
  bool may_access(const std::string& resource, ViSession session);
  bool holds_exclusive(const std::string& resource, ViSession session);
  // VI_NO_LOCK, VI_EXCLUSIVE_LOCK or VI_SHARED_LOCK.
  ViAccessMode state(const std::string& resource);

 private:
  struct Locks {
    ViSession exclusive_owner = 0;
    unsigned exclusive_count = 0;
    std::string shared_key;
    std::map<ViSession, unsigned> shared;  // holder -> nesting count
  };
  bool grantable(const Locks& l, ViSession session, ViAccessMode type, const std::string& key) const;

  // How many resources have an entry, published when a change under the mutex ends.
  struct Published {
    explicit Published(LockTable& table) : table(table) {}
    ~Published() { table.entries_.store(table.locks_.size(), std::memory_order_release); }
    LockTable& table;
  };
  std::atomic<std::size_t> entries_{0};
  std::mutex mutex_;
  std::condition_variable released_;
  std::map<std::string, Locks> locks_;
  unsigned long next_key_ = 1;
};

}  // namespace visa
