// SPDX-License-Identifier: MIT
// The pieces of a hand-driven server on loopback that tests share: a listener
// on a free port, and reading an exact number of bytes from a connection.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstddef>

#include "unique_fd.h"

namespace testsupport {

// A listening socket on 127.0.0.1 and a port the kernel picked, in `port`.
inline emulator::UniqueFd ListenOnLoopback(unsigned& port) {
  emulator::UniqueFd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ::bind(listener.get(), reinterpret_cast<sockaddr*>(&a), len);
  ::listen(listener.get(), 8);
  ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return listener;
}

// Exactly `size` bytes, or false when the peer went first.
inline bool ReadAll(int fd, void* data, std::size_t size) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    ssize_t n = ::recv(fd, p, size, 0);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace testsupport
