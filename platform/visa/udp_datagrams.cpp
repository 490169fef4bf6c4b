// SPDX-License-Identifier: MIT
#include "udp_datagrams.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "socket_address.h"

namespace visa {

UdpDatagrams::UdpDatagrams() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
  const int on = 1;
  if (ok()) ::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
}

UdpDatagrams::~UdpDatagrams() {
  if (ok()) ::close(fd_);
}

bool UdpDatagrams::send_to(std::uint32_t address, std::uint16_t port, std::string_view datagram) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(address);
  return ::sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) >= 0;
}

bool UdpDatagrams::receive(std::chrono::steady_clock::time_point until, std::string& datagram, std::string& from) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    char reply[512];
    sockaddr_storage sender{};
    socklen_t sender_size = sizeof sender;
    const ssize_t n = ::recvfrom(fd_, reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&sender), &sender_size);
    if (n <= 0) continue;
    datagram.assign(reply, static_cast<std::size_t>(n));
    from = AddressText(sender);
    return true;
  }
}

std::vector<std::uint32_t> UdpDatagrams::broadcast_targets() {
  std::vector<std::uint32_t> targets{INADDR_LOOPBACK};
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return targets;
  for (ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
    if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
    if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_BROADCAST) == 0 || i->ifa_broadaddr == nullptr) continue;
    const std::uint32_t broadcast = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr);
    if (std::find(targets.begin(), targets.end(), broadcast) == targets.end()) targets.push_back(broadcast);
  }
  ::freeifaddrs(list);
  return targets;
}

}  // namespace visa
