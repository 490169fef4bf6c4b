// SPDX-License-Identifier: MIT
// Finding VXI-11 instruments: one portmapper GETPORT for the core channel,
// over UDP, to every IPv4 broadcast address and to loopback; whoever answers
// with a port within the window is an instrument.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>

#include "discovery.h"
#include "onc_rpc_messages.h"
#include "trace.h"
#include "vxi11_messages.h"

namespace visa {
namespace {

using namespace onc_rpc_messages;

class UdpSocket {
 public:
  UdpSocket() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
  ~UdpSocket() {
    if (fd_ >= 0) ::close(fd_);
  }
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Loopback first (an emulator on this machine), then each interface that is
// up and broadcasts.
std::vector<in_addr> Targets() {
  std::vector<in_addr> targets;
  in_addr loopback{htonl(INADDR_LOOPBACK)};
  targets.push_back(loopback);
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return targets;
  for (ifaddrs* i = list; i != nullptr; i = i->ifa_next) {
    if (i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET) continue;
    if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_BROADCAST) == 0 || i->ifa_broadaddr == nullptr) continue;
    in_addr broadcast = reinterpret_cast<const sockaddr_in*>(i->ifa_broadaddr)->sin_addr;
    bool known = std::any_of(targets.begin(), targets.end(), [&](in_addr t) { return t.s_addr == broadcast.s_addr; });
    if (!known) targets.push_back(broadcast);
  }
  ::freeifaddrs(list);
  return targets;
}

}  // namespace

std::vector<ResourceName> find_vxi11_instruments(std::uint32_t window_ms, unsigned portmapper_port) {
  std::vector<ResourceName> found;
  if (window_ms == 0) return found;
  UdpSocket socket;
  if (socket.get() < 0) return found;
  const int on = 1;
  ::setsockopt(socket.get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);

  const std::uint32_t xid = std::random_device{}() & 0x7FFFFFFFu;
  std::string call;
  xdr::Writer out(call);
  EncodeCallHeader(out, xid, kPortmapper, kPortmapperVersion, kGetPort);
  out.u32(vxi11::kDeviceCore).u32(vxi11::kDeviceCoreVersion).u32(kIpProtocolTcp).u32(0);
  int sent = 0;
  for (in_addr target : Targets()) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(portmapper_port));
    to.sin_addr = target;
    if (::sendto(socket.get(), call.data(), call.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) >= 0) ++sent;
  }
  if (sent == 0) return found;

  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(window_ms);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{socket.get(), POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char reply[512];
    sockaddr_in from{};
    socklen_t from_size = sizeof from;
    ssize_t n = ::recvfrom(socket.get(), reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
    if (n <= 0) continue;
    xdr::Reader in(reply, static_cast<std::size_t>(n));
    if (DecodeReplyHeader(in, xid) != Reply::Accepted) continue;
    const std::uint32_t port = in.u32();
    if (!in.ok() || port == 0 || port > 65535) continue;  // a portmapper with no instrument behind it
    char host[INET_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET, &from.sin_addr, host, sizeof host);
    ResourceName resource;
    if (parse_resource_name(std::string("TCPIP0::") + host + "::inst0::INSTR", resource) < 0) continue;
    bool known = std::any_of(found.begin(), found.end(), [&](const ResourceName& r) { return r.canonical == resource.canonical; });
    if (!known) found.push_back(resource);
  }
  trace_note("VXI-11 discovery: " + std::to_string(found.size()) + " answered on port " +
               std::to_string(portmapper_port));
  return found;
}

}  // namespace visa
