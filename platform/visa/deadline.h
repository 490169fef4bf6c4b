// SPDX-License-Identifier: MIT
// A point in time an I/O operation must finish by, derived from a VISA timeout.
#pragma once

#include <chrono>
#include <cstdint>

namespace visa {

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  // 0xFFFFFFFF means wait forever; 0 means do not wait for anything that has not arrived.
  static Deadline after_ms(std::uint32_t timeout_ms) {
    Deadline d;
    if (timeout_ms == 0xFFFFFFFFu) {
      d.infinite_ = true;
    } else {
      d.at_ = Clock::now() + std::chrono::milliseconds(timeout_ms);
      d.zero_ = timeout_ms == 0;
    }
    return d;
  }
  static Deadline immediate() { return after_ms(0); }
  // The sooner of two deadlines.
  static Deadline earliest(const Deadline& a, const Deadline& b) {
    if (a.infinite_) return b;
    if (b.infinite_) return a;
    return a.last_take() <= b.last_take() ? a : b;
  }

  bool infinite() const { return infinite_; }
  bool expired() const { return !infinite_ && Clock::now() >= at_; }

  // True once an operation may take no more bytes either: past the deadline
  // (however fast bytes still arrive), or, for a zero timeout, past a moment's
  // grace in which what has already arrived is still taken.
  bool exhausted() const {
    if (infinite_) return false;
    return Clock::now() >= last_take();
  }

  // Milliseconds left, as poll() wants them: -1 for infinite, 0 when expired.
  int poll_timeout_ms() const { return infinite_ ? -1 : poll_timeout_ms_at(Clock::now()); }

  // What a blocking read asks before each wait, from one reading of the clock
  // (a reading costs tens of nanoseconds, and a query reads several times).
  struct Left {
    bool exhausted;
    int poll_ms;  // as poll_timeout_ms()
  };
  Left left() const {
    if (infinite_) return {false, -1};
    const Clock::time_point now = Clock::now();
    if (now >= last_take()) return {true, 0};
    return {false, poll_timeout_ms_at(now)};
  }

 private:
  // The moment after which no more bytes are taken (see exhausted()).
  Clock::time_point last_take() const { return zero_ ? at_ + kZeroTimeoutGrace : at_; }

  int poll_timeout_ms_at(Clock::time_point now) const {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(at_ - now).count();
    if (left <= 0) return 0;
    // Round up so a sub-millisecond remainder still waits rather than spinning.
    return left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left) + 1;
  }

  static constexpr std::chrono::milliseconds kZeroTimeoutGrace{10};
  bool infinite_ = false;
  bool zero_ = false;
  Clock::time_point at_{};
};

}  // namespace visa
