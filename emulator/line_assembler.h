// Splits the bytes a client sends into lines, looking at each byte once. A
// line may be at most kMaxLineLength bytes: a longer one is not kept, the
// instrument hears of it once (as a real one's input buffer overflows) and the
// rest of it, up to its line feed, is skipped. So a client that never sends a
// line feed costs bounded memory and time, and cannot hold the others up.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace emulator {

class LineAssembler {
 public:
  static constexpr std::size_t kMaxLineLength = 1 << 20;

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
      if (partial_.size() + piece.size() > kMaxLineLength) {
        partial_.clear();
        skipping_ = found == nullptr;
        on_overlong();
        continue;
      }
      if (!found) {
        partial_.append(piece);
        return;
      }
      bool go_on;
      if (partial_.empty()) {
        go_on = on_line(StripCr(piece));
      } else {
        partial_.append(piece);
        go_on = on_line(StripCr(partial_));
        partial_.clear();
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
    partial_.clear();
    on_line(StripCr(line));
  }

  bool empty() const { return partial_.empty() && !skipping_; }
  void clear() {
    partial_.clear();
    skipping_ = false;
  }

 private:
  static std::string_view StripCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }
  std::string partial_;
  bool skipping_ = false;
};

}  // namespace emulator
