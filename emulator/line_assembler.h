// SPDX-License-Identifier: MIT
// Splits the bytes a client sends into lines, looking at each byte once. A
// line may be at most kMaxLineLength bytes: a longer one is not kept, the
// instrument hears of it once (as a real one's input buffer overflows) and the
// rest of it, up to its line feed, is skipped. So a client that never sends a
// line feed costs bounded memory and time, and cannot hold the others up.
// Unfinished lines also share one budget across all clients, so many clients
// each holding a long line cannot together exhaust memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace emulator {

// Bytes of unfinished lines held at once, by every assembler that shares it.
class LineBudget {
 public:
  explicit LineBudget(std::size_t limit) : limit_(limit) {}
  // The process-wide budget: 64 lines of the longest length.
  static LineBudget& shared() {
    static LineBudget budget(std::size_t{64} << 20);
    return budget;
  }
  bool take(std::size_t bytes) {
    std::size_t held = held_.load(std::memory_order_relaxed);
    do {
      if (held + bytes > limit_) return false;
    } while (!held_.compare_exchange_weak(held, held + bytes, std::memory_order_relaxed));
    return true;
  }
  void give(std::size_t bytes) { held_.fetch_sub(bytes, std::memory_order_relaxed); }
  std::size_t held() const { return held_.load(std::memory_order_relaxed); }

 private:
  const std::size_t limit_;
  std::atomic<std::size_t> held_{0};
};

class LineAssembler {
 public:
  static constexpr std::size_t kMaxLineLength = 1 << 20;

  explicit LineAssembler(LineBudget& budget = LineBudget::shared()) : budget_(budget) {}
  ~LineAssembler() { release(); }
  LineAssembler(const LineAssembler&) = delete;
  LineAssembler& operator=(const LineAssembler&) = delete;

  // Calls on_line(line) for each complete line (a trailing CR removed) until
  // it returns false, and on_overlong() for each line that grew too long.
  template <typename OnLine, typename OnOverlong>
  void feed(std::string_view bytes, OnLine&& on_line, OnOverlong&& on_overlong) {
    while (!bytes.empty()) {
      const void* found = std::memchr(bytes.data(), '\n', bytes.size());
      std::size_t length = found ? static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()) : bytes.size();
      std::string_view piece = bytes.substr(0, length);
      bytes.remove_prefix(found ? length + 1 : length);
      if (skipping_) {
        skipping_ = found == nullptr;
        continue;
      }
      if (partial_.size() + piece.size() > kMaxLineLength || (!found && !budget_.take(piece.size()))) {
        release();
        skipping_ = found == nullptr;
        on_overlong();
        continue;
      }
      if (!found) {
        partial_.append(piece);
        held_ += piece.size();
        return;
      }
      bool go_on;
      if (partial_.empty()) {
        go_on = on_line(StripCr(piece));
      } else {
        partial_.append(piece);
        go_on = on_line(StripCr(partial_));
        release();
      }
      if (!go_on) return;
    }
  }

  // An END without a line feed ends the line held so far.
  template <typename OnLine>
  void end(OnLine&& on_line) {
    skipping_ = false;
    if (partial_.empty()) return;
    std::string line = std::move(partial_);
    release();
    on_line(StripCr(line));
  }

  bool empty() const { return partial_.empty() && !skipping_; }
  void clear() {
    release();
    skipping_ = false;
  }

 private:
  // Gives back to the budget what the unfinished line held (what is budgeted
  // is what was appended while no line feed had come).
  void release() {
    budget_.give(held_);
    held_ = 0;
    partial_.clear();
  }
  static std::string_view StripCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }
  LineBudget& budget_;
  std::string partial_;
  std::size_t held_ = 0;  // bytes of partial_ taken from the budget
  bool skipping_ = false;
};

}  // namespace emulator
