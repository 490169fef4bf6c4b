// SPDX-License-Identifier: MIT
// A GPIB board's service requests: one thread per board, running while any
// of its devices is watched, looks at SRQ between transactions.
#include "gpib_board.h"

namespace visa {

void GpibBoard::watch(const GpibAddress& device, std::function<void()> notify, std::chrono::milliseconds interval) {
  std::lock_guard lock(watch_mutex_);
  watchers_[Key(device)] = {device, std::move(notify)};
  interval_ = interval;
  if (!poller_.joinable()) {
    stopping_ = false;
    poller_ = std::thread([this] { PollForServiceRequests(); });
  }
}

void GpibBoard::unwatch(const GpibAddress& device) {
  std::lock_guard lock(watch_mutex_);
  watchers_.erase(Key(device));
}

bool GpibBoard::take_kept_status(const GpibAddress& device, ViUInt16& status_byte) {
  std::lock_guard lock(watch_mutex_);
  auto it = kept_.find(Key(device));
  if (it == kept_.end()) return false;
  status_byte = it->second;
  kept_.erase(it);
  return true;
}

void GpibBoard::stop_watching() {
  {
    std::lock_guard lock(watch_mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (poller_.joinable()) poller_.join();
}

void GpibBoard::PollForServiceRequests() {
  constexpr std::uint32_t kPollTimeoutMs = 1000;
  std::unique_lock lock(watch_mutex_);
  while (!stopping_) {
    wake_.wait_for(lock, interval_, [this] { return stopping_; });
    if (stopping_ || watchers_.empty()) continue;
    std::vector<GpibAddress> devices;
    for (const auto& [key, watcher] : watchers_) devices.push_back(watcher.first);
    lock.unlock();
    std::vector<std::pair<GpibAddress, ViUInt16>> requesting;
    const ViStatus st = poll_for_service(devices, Deadline::after_ms(kPollTimeoutMs), requesting);
    lock.lock();
    if (st < 0) continue;  // busy with a transaction, or the link failed: the sessions' own calls say so
    for (const auto& [device, status_byte] : requesting) {
      kept_[Key(device)] = status_byte;
      auto it = watchers_.find(Key(device));
      if (it != watchers_.end()) it->second.second();
    }
  }
}

}  // namespace visa
