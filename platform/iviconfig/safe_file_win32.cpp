// SPDX-License-Identifier: MIT
// Windows: the new content goes to a file beside the target, is flushed and
// moved over it (MoveFileEx, write-through); editors lock a file beside the
// target with LockFileEx.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "safe_file.h"

namespace iviconfig {
namespace {

std::string Reason(DWORD error) {
  char text[256] = "";
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                           sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == '.')) text[--n] = '\0';
  return n > 0 ? std::string(text) : "error " + std::to_string(error);
}

// Closes a handle on every path out.
struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  explicit Handle(HANDLE handle) : h(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  HANDLE release() {
    HANDLE out = h;
    h = INVALID_HANDLE_VALUE;
    return out;
  }
};

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

std::string ResolvedTarget(const std::string& path) {
  char full[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full) : path;
}

std::optional<std::string> ReplaceFileContent(const std::string& path, std::string_view content) {
  const std::string target = ResolvedTarget(path);
  const std::string directory = DirectoryOf(target);
  auto failure = [&](const std::string& what, DWORD error) -> std::optional<std::string> {
    return "Cannot write " + path + ": " + what + ": " + Reason(error) + " (the file was left as it was).";
  };
  DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return failure("it is a directory", ERROR_DIRECTORY);

  static std::atomic<unsigned> counter{0};
  std::string temporary;
  Handle out(INVALID_HANDLE_VALUE);
  for (int attempt = 0; attempt < 100 && out.h == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = target + ".tmp." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(counter++);
    out.h = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out.h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
      return failure("cannot create a file in " + directory, GetLastError());
  }
  if (out.h == INVALID_HANDLE_VALUE) return failure("cannot create a file in " + directory, ERROR_FILE_EXISTS);
  DWORD error = 0;
  while (!content.empty() && error == 0) {
    DWORD chunk = content.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(content.size());
    DWORD written = 0;
    if (!WriteFile(out.h, content.data(), chunk, &written, nullptr)) error = GetLastError();
    content.remove_prefix(written);
  }
  if (error == 0 && !FlushFileBuffers(out.h)) error = GetLastError();
  CloseHandle(out.release());
  if (error == 0 &&
      !MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError();
  if (error != 0) {
    DeleteFileA(temporary.c_str());
    return failure("the new content could not be stored", error);
  }
  return std::nullopt;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (fd_ != kNone) CloseHandle(fd_);
    fd_ = other.fd_;
    other.fd_ = kNone;
  }
  return *this;
}

FileLock::~FileLock() {
  if (fd_ != kNone) CloseHandle(fd_);  // closing releases the lock
}

std::optional<std::string> FileLock::acquire(const std::string& path, Mode mode, int timeout_ms, FileLock& out) {
  const std::string lock_path = ResolvedTarget(path) + ".lock";
  // Readers never create the lock file: a store no writer has touched needs none.
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  Handle h(CreateFileA(lock_path.c_str(), mode == Mode::exclusive ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                       share, nullptr, mode == Mode::exclusive ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr));
  if (h.h == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (mode == Mode::shared) return std::nullopt;  // unlocked read: replacing keeps it whole
    if (error == ERROR_PATH_NOT_FOUND) return std::nullopt;  // no directory yet: the write reports it
    return "Cannot lock " + path + " (" + lock_path + "): " + Reason(error) + ".";
  }
  const DWORD flags = (mode == Mode::exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    OVERLAPPED at{};
    if (LockFileEx(h.h, flags, 0, 1, 0, &at)) break;
    DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
      return "Cannot lock " + path + ": " + Reason(error) + ".";
    if (std::chrono::steady_clock::now() >= deadline) {
      return "Cannot lock " + path + ": another program has held " + lock_path + " for " +
             std::to_string(timeout_ms / 1000) + " s.";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  out = FileLock();
  out.fd_ = h.release();
  return std::nullopt;
}

}  // namespace iviconfig
