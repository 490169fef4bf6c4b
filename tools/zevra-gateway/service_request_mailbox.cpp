// SPDX-License-Identifier: MIT
#include "service_request_mailbox.h"

#include <utility>

namespace gateway {

ServiceRequestMailbox::ServiceRequestMailbox(std::function<void(int)> deliver)
    : deliver_(std::move(deliver)), thread_([this] { Run(); }) {}

ServiceRequestMailbox::~ServiceRequestMailbox() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  posted_.notify_one();
  thread_.join();
}

void ServiceRequestMailbox::Post(int status_byte) {
  {
    std::lock_guard lock(mutex_);
    pending_ = status_byte;
  }
  posted_.notify_one();
}

void ServiceRequestMailbox::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    posted_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
    if (stopping_) return;
    const int status_byte = *std::exchange(pending_, std::nullopt);
    lock.unlock();
    deliver_(status_byte);
    lock.lock();
  }
}

}  // namespace gateway
