// SPDX-License-Identifier: MIT
// Every line the emulator received, in order, from all clients. The file it
// tees to also has what went back, each entry with its UTC time:
//   2026-12-07T12:31:05.123456Z > *IDN?
//   2026-12-07T12:31:05.123601Z < Halmeric,QDX7001,QDX7001-000001,1.00\n
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "utc_timestamp.h"

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
    if (file_.is_open()) file_ << timestamps::utc_timestamp(std::chrono::system_clock::now(), 6) << " > " << line << std::endl;
    changed_.notify_all();
  }
  // What an instrument sent back (only to the file), with escapes for line ends and unprintables.
  void record_reply(std::string_view bytes) {
    std::lock_guard lock(mutex_);
    if (!file_.is_open() || bytes.empty()) return;
    file_ << timestamps::utc_timestamp(std::chrono::system_clock::now(), 6) << " < ";
    for (unsigned char c : bytes) {
      if (c == '\n') file_ << "\\n";
      else if (c == '\r') file_ << "\\r";
      else if (c == '\\') file_ << "\\\\";
      else if (c < 0x20 || c >= 0x7F) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        file_ << hex;
      } else {
        file_ << static_cast<char>(c);
      }
    }
    file_ << std::endl;
  }
  // Waits until at least `count` lines were received; false on timeout.
  bool wait_for(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return lines_.size() >= count; });
  }
  // The received lines only.
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
