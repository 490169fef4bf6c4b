// SPDX-License-Identifier: MIT
// Reading a file a user or the environment names (a configuration, a store)
// without being turned against the reader: only a regular file of bounded size
// is read; a FIFO, a device or a directory is refused at once, never waited on.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

namespace regular_file {

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

}  // namespace regular_file
