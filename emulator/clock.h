// SPDX-License-Identifier: MIT
// The emulator's sense of time: real, or a virtual clock that tests advance.
#pragma once

#include <atomic>
#include <chrono>

namespace emulator {

class Clock {
 public:
  explicit Clock(bool virtual_time) : virtual_(virtual_time), start_(std::chrono::steady_clock::now()) {}
  bool is_virtual() const { return virtual_; }
  // Seconds since the emulator started.
  double now() const {
    if (virtual_) return virtual_now_;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  void advance(double seconds) { virtual_now_ = virtual_now_ + seconds; }

 private:
  bool virtual_;
  std::chrono::steady_clock::time_point start_;
  double virtual_now_ = 0;  // guarded by the model's mutex
};

}  // namespace emulator
