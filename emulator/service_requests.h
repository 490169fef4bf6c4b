// SPDX-License-Identifier: MIT
// Service requests: the instrument raises one when its status byte's summary
// bit (MSS) rises, and every transport that can carry one to a client
// (HiSLIP's AsyncServiceRequest, VXI-11's interrupt channel) listens.
#pragma once

#include <functional>
#include <map>
#include <mutex>

namespace emulator {

class ServiceRequests {
 public:
  using Listener = std::function<void(int status_byte)>;

  // Listens until the returned subscription is destroyed; after that the
  // listener is never called again, so it may refer to what it outlives.
  class Subscription {
   public:
    Subscription() = default;
    Subscription(ServiceRequests& owner, Listener listener) : owner_(&owner) {
      std::lock_guard lock(owner.mutex_);
      id_ = owner.next_id_++;
      owner.listeners_[id_] = std::move(listener);
    }
    ~Subscription() { reset(); }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    void reset() {
      if (owner_ == nullptr) return;
      std::lock_guard lock(owner_->mutex_);
      owner_->listeners_.erase(id_);
      owner_ = nullptr;
    }

   private:
    ServiceRequests* owner_ = nullptr;
    int id_ = 0;
  };

  // Tells every listener; called without the instrument's own lock held.
  void raise(int status_byte) {
    std::lock_guard lock(mutex_);
    for (auto& [id, listener] : listeners_) listener(status_byte);
  }

 private:
  std::mutex mutex_;
  std::map<int, Listener> listeners_;
  int next_id_ = 1;
};

}  // namespace emulator
