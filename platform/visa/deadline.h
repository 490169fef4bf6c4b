// A point in time an I/O operation must finish by, derived from a VISA timeout.
#pragma once

#include <time.h>

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

  bool infinite() const { return infinite_; }
  bool expired() const { return !infinite_ && !surely_before(at_) && Clock::now() >= at_; }

  // True once an operation may take no more bytes either: past the deadline
  // (however fast bytes still arrive), or, for a zero timeout, past a moment's
  // grace in which what has already arrived is still taken.
  bool exhausted() const {
    if (infinite_) return false;
    const Clock::time_point limit = zero_ ? at_ + kZeroTimeoutGrace : at_;
    return !surely_before(limit) && Clock::now() >= limit;
  }

  // Milliseconds left, as poll() wants them: -1 for infinite, 0 when expired.
  // Far from the deadline the coarse clock's latest possible time serves: the
  // wait may come out short by a tick, never long, and the caller waits again.
  int poll_timeout_ms() const {
    if (infinite_) return -1;
    const Clock::time_point latest = coarse_latest();
    const Clock::time_point now = latest < at_ - kCoarseIsEnough ? latest : Clock::now();
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(at_ - now).count();
    if (left <= 0) return 0;
    // Round up so a sub-millisecond remainder still waits rather than spinning.
    return left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left) + 1;
  }

 private:
  static constexpr std::chrono::milliseconds kZeroTimeoutGrace{10};
  static constexpr std::chrono::milliseconds kCoarseIsEnough{100};

  // A call asks the time several times; a precise reading costs tens of
  // nanoseconds, the coarse clock (the last tick: never ahead of the precise
  // clock, behind it by at most its resolution) a few. This is the latest the
  // precise clock can read now; with no coarse clock, a time that decides nothing.
  static Clock::time_point coarse_latest() {
    static const Clock::duration resolution = [] {
      timespec res{};
      if (::clock_getres(CLOCK_MONOTONIC_COARSE, &res) != 0) return Clock::duration::max();
      return std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(res.tv_sec) +
                                                         std::chrono::nanoseconds(res.tv_nsec));
    }();
    timespec now{};
    if (resolution == Clock::duration::max() || ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now) != 0)
      return Clock::time_point::max();
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(now.tv_sec) +
                                                                         std::chrono::nanoseconds(now.tv_nsec))) +
           resolution;
  }
  // Whether `t` is surely still ahead, decided without a precise reading.
  static bool surely_before(Clock::time_point t) { return coarse_latest() < t; }

  bool infinite_ = false;
  bool zero_ = false;
  Clock::time_point at_{};
};

}  // namespace visa
