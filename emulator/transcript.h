// Every line the emulator received, in order, from all clients.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

class Transcript {
 public:
  void record(std::string_view line) {
    std::lock_guard lock(mutex_);
    lines_.emplace_back(line);
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
  std::vector<std::string> lines_;
};

}  // namespace emulator
