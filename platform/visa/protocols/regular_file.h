// SPDX-License-Identifier: MIT
// Reading a file a user or the environment names (a configuration, a store)
// without being turned against the reader: only a regular file of bounded size
// is read; a FIFO, a device or a directory is refused at once, never waited on.
#pragma once

#include <sys/stat.h>

#include <time.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include <fstream>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace regular_file {

// A text file a Windows editor or a spreadsheet saved as UTF-8 starts with a
// byte order mark; it is no part of the text (give it the first line).
inline void DropByteOrderMark(std::string& text) {
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
}

#ifdef _WIN32
// Windows has no FIFO to wait on behind a path: a file that is regular when
// looked at is read, within the bound.
inline int Read(const std::string& path, std::size_t max_bytes, std::string& content, std::string& why) {
  content.clear();
  struct _stat64 info {};
  if (::_stat64(path.c_str(), &info) != 0) {
    int err = errno;
    why = std::strerror(err);
    return err;
  }
  if ((info.st_mode & _S_IFMT) != _S_IFREG) return why = "not a regular file", EINVAL;
  const std::string too_large = "larger than " + std::to_string(max_bytes) + " bytes";
  if (static_cast<std::size_t>(info.st_size) > max_bytes) return why = too_large, EFBIG;
  std::ifstream in(path, std::ios::binary);
  if (!in) return why = std::strerror(EACCES), EACCES;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    if (content.size() + static_cast<std::size_t>(in.gcount()) > max_bytes) return why = too_large, EFBIG;
    content.append(buffer, static_cast<std::size_t>(in.gcount()));
  }
  return 0;
}
#else

// 0 and the content, or an errno value with `why` saying what was refused.
inline int Read(const std::string& path, std::size_t max_bytes, std::string& content, std::string& why) {
  content.clear();
  // O_NONBLOCK so that a FIFO cannot hold us at open; it is refused just after.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    int err = errno;
    why = std::strerror(err);
    return err;
  }
  auto fail = [&](int err, const std::string& text) {
    ::close(fd);
    why = text;
    return err;
  };
  struct stat info {};
  if (::fstat(fd, &info) != 0) return fail(errno, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return fail(EINVAL, "not a regular file");
  const std::string too_large = "larger than " + std::to_string(max_bytes) + " bytes";
  if (static_cast<std::size_t>(info.st_size) > max_bytes) return fail(EFBIG, too_large);
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno, std::strerror(errno));
    if (n == 0) break;
    if (content.size() + static_cast<std::size_t>(n) > max_bytes) return fail(EFBIG, too_large);  // grew while read
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return 0;
}
#endif

// What says a file is the one read before: a rename puts another inode in
// place, an edit in place changes the size or the times.
struct Identity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  timespec modified{}, changed{};
  bool operator==(const Identity& o) const {
    return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
           modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
           changed.tv_nsec == o.changed.tv_nsec;
  }
};

#ifdef _WIN32
inline timespec TimeOf(const FILETIME& t) {
  // 100 ns ticks since 1601 to the Unix epoch.
  std::int64_t ticks = (static_cast<std::int64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) - 116444736000000000LL;
  return {static_cast<time_t>(ticks / 10'000'000), static_cast<long>(ticks % 10'000'000 * 100)};
}

// False unless `path` is a file (not a directory). A file moved into place is
// another file: its creation time is its own.
inline bool IdentityOf(const std::string& path, Identity& out) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return false;
  out = {0, 0, static_cast<std::int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow, TimeOf(data.ftLastWriteTime),
         TimeOf(data.ftCreationTime)};
  return true;
}
#else
// False unless `path` is a regular file.
inline bool IdentityOf(const std::string& path, Identity& out) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  out = {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
  return true;
}
#endif

}  // namespace regular_file
