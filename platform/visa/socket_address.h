// SPDX-License-Identifier: MIT
// What a socket address says, the same on every system: its text, and the
// IPv4 address it holds (an IPv4-mapped IPv6 one too).
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include <cstdint>
#include <cstring>
#include <string>

namespace visa {

inline std::string AddressText(const sockaddr_storage& ss) {
  char text[INET6_ADDRSTRLEN] = {};
  if (ss.ss_family == AF_INET) {
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&ss)->sin_addr, text, sizeof text);
  } else if (ss.ss_family == AF_INET6) {
    ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&ss)->sin6_addr, text, sizeof text);
  }
  return text;
}

// Host order.
inline bool Ipv4Of(const sockaddr_storage& ss, std::uint32_t& address) {
  if (ss.ss_family == AF_INET) {
    address = ntohl(reinterpret_cast<const sockaddr_in&>(ss).sin_addr.s_addr);
    return true;
  }
  const auto& v6 = reinterpret_cast<const sockaddr_in6&>(ss);
  if (ss.ss_family != AF_INET6 || !IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)) return false;
  std::memcpy(&address, &v6.sin6_addr.s6_addr[12], 4);
  address = ntohl(address);
  return true;
}

}  // namespace visa
