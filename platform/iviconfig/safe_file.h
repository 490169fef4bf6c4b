// SPDX-License-Identifier: MIT
// Writing files so that a crash, a full disk or a second writer never leaves a
// user's file damaged: the new content goes to a temporary file beside the
// target, is flushed to disk and renamed over it; editors serialise on an
// advisory lock beside the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace iviconfig {

// The file a path names once symbolic links are followed (the path itself when
// it does not exist yet), so that replacing it keeps a link pointing at it.
std::string ResolvedTarget(const std::string& path);

// Replaces `path` (after ResolvedTarget) with `content` atomically: readers see
// the old file or the new one, never a part. The new file keeps the old one's
// permission bits. On failure the old file is untouched and the text says why.
std::optional<std::string> ReplaceFileContent(const std::string& path, std::string_view content);

// An advisory lock (flock) on "<target>.lock" beside the resolved target,
// held for the object's lifetime. Writers take it exclusive, readers shared.
class FileLock {
 public:
  enum class Mode { shared, exclusive };
  FileLock() = default;
  FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = kNone; }
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  // Waits up to `timeout_ms` for the lock. A reader that may not create the
  // lock file and finds none goes on unlocked (renames keep what it reads
  // whole); a writer that cannot lock fails with the reason.
  static std::optional<std::string> acquire(const std::string& path, Mode mode, int timeout_ms, FileLock& out);
  bool held() const { return fd_ != kNone; }

 private:
  // A descriptor (a HANDLE on Windows).
#ifdef _WIN32
  using Native = void*;
  static constexpr Native kNone = nullptr;
#else
  using Native = int;
  static constexpr Native kNone = -1;
#endif
  Native fd_ = kNone;
};

}  // namespace iviconfig
