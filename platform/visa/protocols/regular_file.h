// SPDX-License-Identifier: MIT
// Reading a file a user or the environment names (a configuration, a store)
// without being turned against the reader: only a regular file of bounded size
// is read; a FIFO, a device or a directory is refused at once, never waited on.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace regular_file {

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

}  // namespace regular_file
