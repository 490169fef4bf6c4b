// SPDX-License-Identifier: MIT
#include "safe_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace iviconfig {
namespace {

std::string Reason(int err) { return std::strerror(err); }

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Closes a descriptor on every path out.
struct Descriptor {
  int fd = -1;
  explicit Descriptor(int f) : fd(f) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  int release() {
    int f = fd;
    fd = -1;
    return f;
  }
};

bool WriteAll(int fd, std::string_view data, int& err) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string ResolvedTarget(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  // A dangling link names the file it would create; follow it by hand.
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    char target[PATH_MAX];
    ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n < 0) break;
    target[n] = '\0';
    current = target[0] == '/' ? std::string(target) : DirectoryOf(current) + "/" + target;
  }
  return current;
}

std::optional<std::string> ReplaceFileContent(const std::string& path, std::string_view content) {
  const std::string target = ResolvedTarget(path);
  const std::string directory = DirectoryOf(target);
  const std::string base = target.substr(target.rfind('/') + 1);
  auto failure = [&](const std::string& what, int err) -> std::optional<std::string> {
    return "Cannot write " + path + ": " + what + ": " + Reason(err) + " (the file was left as it was).";
  };

  // A device, FIFO or terminal ("/dev/stdout") is written in place: replacing
  // it with a file would break what the user named.
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    if (S_ISDIR(existing.st_mode)) return failure("it is a directory", EISDIR);
    Descriptor in_place(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    int err = in_place.fd < 0 ? errno : 0;
    if (err == 0 && !WriteAll(in_place.fd, content, err)) { /* err says why */ }
    if (err == 0 && ::close(in_place.release()) != 0) err = errno;
    if (err != 0) return "Cannot write " + path + ": " + Reason(err) + ".";
    return std::nullopt;
  }

  // A name of our own beside the target, created exclusively and never through a link.
  static std::atomic<unsigned> counter{0};
  std::string temporary;
  Descriptor out(-1);
  for (int attempt = 0; attempt < 100 && out.fd < 0; ++attempt) {
    temporary = directory + "/." + base + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
    out.fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (out.fd < 0 && errno != EEXIST) return failure("cannot create a file in " + directory, errno);
  }
  if (out.fd < 0) return failure("cannot create a file in " + directory, EEXIST);

  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) {
    // Keep the permissions, and the owner where we may (root editing a user's file).
    ::fchmod(out.fd, old.st_mode & 07777);
    if (::geteuid() == 0 && ::fchown(out.fd, old.st_uid, old.st_gid) != 0) { /* keep ours */ }
  }
  int err = 0;
  bool ok = WriteAll(out.fd, content, err);
  if (ok && ::fsync(out.fd) != 0) ok = false, err = errno;
  if (ok && ::close(out.release()) != 0) ok = false, err = errno;
  if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) ok = false, err = errno;
  if (!ok) {
    ::unlink(temporary.c_str());
    return failure("the new content could not be stored", err);
  }
  // The rename itself is made durable by flushing the directory.
  Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd >= 0) ::fsync(dir.fd);
  return std::nullopt;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    if (fd_ != kNone) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = kNone;
  }
  return *this;
}

FileLock::~FileLock() {
  if (fd_ != kNone) ::close(fd_);  // closing releases the flock
}

namespace {

// The lock file sits beside the store's real file. Only a link as the last
// component leads to another directory (through a linked directory the same
// lock file is reached), so a store that is no link needs no resolving: one
// readlink instead of one per component.
std::string LockPathOf(const std::string& path) {
  char ignored[1];
  if (::readlink(path.c_str(), ignored, sizeof ignored) < 0) return path + ".lock";
  return ResolvedTarget(path) + ".lock";
}

}  // namespace

std::optional<std::string> FileLock::acquire(const std::string& path, Mode mode, int timeout_ms, FileLock& out) {
  const std::string lock_path = LockPathOf(path);
  // Readers never create the lock file: a store no writer has touched needs none.
  // flock works on a descriptor opened for reading, which is all a reader (or a
  // writer of a lock file someone else created) may get.
  // O_NONBLOCK: a FIFO planted as the lock file is refused below, never waited on.
  Descriptor fd(mode == Mode::exclusive
                    ? ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644)
                    : -1);
  if (fd.fd < 0 && (mode == Mode::shared || errno == EACCES || errno == EROFS || errno == EPERM)) {
    fd.fd = ::open(lock_path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  }
  if (fd.fd < 0) {
    int err = errno;
    if (mode == Mode::shared) return std::nullopt;  // unlocked read: renames keep it whole
    if (err == ENOENT) return std::nullopt;  // no directory yet: the write reports it
    return "Cannot lock " + path + " (" + lock_path + "): " + Reason(err) + ".";
  }
  struct stat info {};
  if (::fstat(fd.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    return "Cannot lock " + path + ": " + lock_path + " is not a regular file.";
  }
  const int operation = (mode == Mode::exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (::flock(fd.fd, operation) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return "Cannot lock " + path + ": " + Reason(errno) + ".";
    if (std::chrono::steady_clock::now() >= deadline) {
      return "Cannot lock " + path + ": another program has held " + lock_path + " for " +
             std::to_string(timeout_ms / 1000) + " s.";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  out = FileLock();
  out.fd_ = fd.release();
  return std::nullopt;
}

}  // namespace iviconfig
