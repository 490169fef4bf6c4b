// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <ws2tcpip.h>
// After Winsock's headers, as it requires.
#include <iphlpapi.h>

#include <algorithm>
#include <memory>

#include "socket_address.h"
#include "udp_datagrams.h"

namespace visa {

UdpDatagrams::UdpDatagrams() {
  if (!TcpConnection::start_networking()) return;
  const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) return;
  const BOOL on = TRUE;
  ::setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
  fd_ = static_cast<TcpConnection::Handle>(s);
}

UdpDatagrams::~UdpDatagrams() {
  if (ok()) ::closesocket(static_cast<SOCKET>(fd_));
}

bool UdpDatagrams::send_to(std::uint32_t address, std::uint16_t port, std::string_view datagram) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(address);
  return ::sendto(static_cast<SOCKET>(fd_), datagram.data(), static_cast<int>(datagram.size()), 0,
                  reinterpret_cast<sockaddr*>(&to), sizeof to) != SOCKET_ERROR;
}

bool UdpDatagrams::receive(std::chrono::steady_clock::time_point until, std::string& datagram, std::string& from) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    WSAPOLLFD p{static_cast<SOCKET>(fd_), POLLRDNORM, 0};
    if (::WSAPoll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    char reply[512];
    sockaddr_storage sender{};
    int sender_size = sizeof sender;
    const int n = ::recvfrom(static_cast<SOCKET>(fd_), reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&sender),
                             &sender_size);
    if (n <= 0) continue;  // an ICMP "port unreachable" from an earlier send shows up here too
    datagram.assign(reply, static_cast<std::size_t>(n));
    from = AddressText(sender);
    return true;
  }
}

// Each adapter that is up, for each of its IPv4 addresses: the address with
// the host part all ones.
std::vector<std::uint32_t> UdpDatagrams::broadcast_targets() {
  std::vector<std::uint32_t> targets{INADDR_LOOPBACK};
  ULONG size = 16 * 1024;
  std::unique_ptr<char[]> buffer;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer = std::make_unique<char[]>(size);
    result = ::GetAdaptersAddresses(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                                    nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()), &size);
  }
  if (result != NO_ERROR) return targets;
  for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.get()); a != nullptr; a = a->Next) {
    if (a->OperStatus != IfOperStatusUp || a->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
    for (auto* u = a->FirstUnicastAddress; u != nullptr; u = u->Next) {
      if (u->Address.lpSockaddr == nullptr || u->Address.lpSockaddr->sa_family != AF_INET) continue;
      const unsigned prefix = u->OnLinkPrefixLength;
      if (prefix == 0 || prefix >= 31) continue;  // no broadcast address on a point-to-point link
      const std::uint32_t address = ntohl(reinterpret_cast<const sockaddr_in*>(u->Address.lpSockaddr)->sin_addr.s_addr);
      const std::uint32_t broadcast = address | (0xFFFFFFFFu >> prefix);
      if (std::find(targets.begin(), targets.end(), broadcast) == targets.end()) targets.push_back(broadcast);
    }
  }
  return targets;
}

}  // namespace visa
