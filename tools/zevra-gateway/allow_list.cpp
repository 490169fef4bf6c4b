// SPDX-License-Identifier: MIT
#include "allow_list.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cstring>

namespace gateway {
namespace {

constexpr std::uint8_t kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

std::array<std::uint8_t, 16> Mapped(const in_addr& v4) {
  std::array<std::uint8_t, 16> out{};
  std::memcpy(out.data(), kMappedPrefix, sizeof kMappedPrefix);
  std::memcpy(out.data() + 12, &v4, 4);
  return out;
}

bool IsMappedV4(const std::array<std::uint8_t, 16>& a) { return std::memcmp(a.data(), kMappedPrefix, 12) == 0; }

bool Loopback(const std::array<std::uint8_t, 16>& a) {
  static const std::array<std::uint8_t, 16> kV6Loopback = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  return a == kV6Loopback || (IsMappedV4(a) && a[12] == 127);
}

bool Parse(const std::string& text, std::array<std::uint8_t, 16>& out, bool& v4) {
  in_addr a4{};
  in6_addr a6{};
  if (::inet_pton(AF_INET, text.c_str(), &a4) == 1) {
    out = Mapped(a4);
    v4 = true;
    return true;
  }
  if (::inet_pton(AF_INET6, text.c_str(), &a6) == 1) {
    std::memcpy(out.data(), &a6, 16);
    v4 = false;
    return true;
  }
  return false;
}

std::array<std::uint8_t, 16> PeerAddress(const sockaddr_storage& peer) {
  std::array<std::uint8_t, 16> out{};
  if (peer.ss_family == AF_INET) return Mapped(reinterpret_cast<const sockaddr_in&>(peer).sin_addr);
  if (peer.ss_family == AF_INET6) std::memcpy(out.data(), &reinterpret_cast<const sockaddr_in6&>(peer).sin6_addr, 16);
  return out;
}

}  // namespace

bool AllowList::add(const std::string& cidr, std::string& error) {
  const std::size_t slash = cidr.find('/');
  Range range;
  bool v4 = false;
  if (!Parse(cidr.substr(0, slash), range.address, v4)) {
    error = "not an address range: \"" + cidr + "\" (expected ADDRESS or ADDRESS/PREFIX)";
    return false;
  }
  const unsigned most = v4 ? 32 : 128;
  unsigned prefix = most;
  if (slash != std::string::npos) {
    const std::string bits = cidr.substr(slash + 1);
    if (bits.empty() || bits.size() > 3 || bits.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(bits) > most) {
      error = "not a prefix length for " + std::string(v4 ? "IPv4" : "IPv6") + ": \"" + cidr + "\"";
      return false;
    }
    prefix = static_cast<unsigned>(std::stoul(bits));
  }
  range.prefix = v4 ? prefix + 96 : prefix;
  ranges_.push_back(range);
  return true;
}

bool AllowList::admits(const sockaddr_storage& peer) const {
  const auto address = PeerAddress(peer);
  if (Loopback(address)) return true;
  for (const Range& r : ranges_) {
    const unsigned whole = r.prefix / 8, rest = r.prefix % 8;
    if (std::memcmp(address.data(), r.address.data(), whole) != 0) continue;
    if (rest != 0) {
      const auto mask = static_cast<std::uint8_t>(0xFF << (8 - rest));
      if ((address[whole] & mask) != (r.address[whole] & mask)) continue;
    }
    return true;
  }
  return false;
}

bool IsLoopbackAddress(const std::string& address) {
  addrinfo hints{};
  hints.ai_flags = AI_PASSIVE;
  addrinfo* list = nullptr;
  if (::getaddrinfo(address.c_str(), nullptr, &hints, &list) != 0) return false;
  bool all_loopback = list != nullptr;
  for (addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
    sockaddr_storage s{};
    std::memcpy(&s, ai->ai_addr, ai->ai_addrlen);
    all_loopback = all_loopback && Loopback(PeerAddress(s));
  }
  ::freeaddrinfo(list);
  return all_loopback;
}

}  // namespace gateway
