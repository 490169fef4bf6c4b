// SPDX-License-Identifier: MIT
// The client addresses a gateway admits: ranges in CIDR notation
// ("192.168.1.0/24", "10.1.2.3", "fd00::/8"). An IPv4 client reaching an IPv6
// socket (::ffff:a.b.c.d) is matched as the IPv4 address it is.
#pragma once

#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gateway {

class AllowList {
 public:
  // Adds a range; false (with `error` saying why) when the text is not one.
  bool add(const std::string& cidr, std::string& error);
  // Loopback clients are always admitted; with no ranges, only they are.
  bool admits(const sockaddr_storage& peer) const;
  bool empty() const { return ranges_.empty(); }

 private:
  struct Range {
    std::array<std::uint8_t, 16> address{};  // IPv4 as IPv4-mapped IPv6
    unsigned prefix = 0;                     // bits of `address` that must match
  };
  std::vector<Range> ranges_;
};

// Whether `address` (a numeric address or a name) is a loopback address.
bool IsLoopbackAddress(const std::string& address);

}  // namespace gateway
