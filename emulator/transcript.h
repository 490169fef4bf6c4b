// Every line the emulator received, in order, from all clients.
#pragma once

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

class Transcript {
 public:
  // Also writes every line to `path` as it arrives.
  bool tee_to(const std::string& path) {
    std::lock_guard lock(mutex_);
    file_.open(path, std::ios::app);
    return file_.is_open();
  }
  void record(std::string_view line) {
    std::lock_guard lock(mutex_);
    lines_.emplace_back(line);
    if (file_.is_open()) file_ << line << std::endl;
    changed_.notify_all();
  }
  // Waits until at least `count` lines were received; false on timeout.
  bool wait_for(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return lines_.size() >= count; });
  }
  std::vector<std::string> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> lines_;
  std::ofstream file_;
};

}  // namespace emulator
