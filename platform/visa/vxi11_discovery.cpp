// SPDX-License-Identifier: MIT
// Finding VXI-11 instruments: one portmapper GETPORT for the core channel,
// over UDP, to every IPv4 broadcast address and to loopback; whoever answers
// with a port within the window is an instrument.
#include <algorithm>
#include <chrono>
#include <random>
#include <string>

#include "discovery.h"
#include "onc_rpc_messages.h"
#include "trace.h"
#include "udp_datagrams.h"
#include "vxi11_messages.h"

namespace visa {

std::vector<ResourceName> find_vxi11_instruments(std::uint32_t window_ms, unsigned portmapper_port) {
  using namespace onc_rpc_messages;
  std::vector<ResourceName> found;
  if (window_ms == 0) return found;
  UdpDatagrams datagrams;
  if (!datagrams.ok()) return found;
  const std::uint32_t xid = std::random_device{}() & 0x7FFFFFFFu;
  std::string call;
  xdr::Writer out(call);
  EncodeCallHeader(out, xid, kPortmapper, kPortmapperVersion, kGetPort);
  out.u32(vxi11::kDeviceCore).u32(vxi11::kDeviceCoreVersion).u32(kIpProtocolTcp).u32(0);
  int sent = 0;
  for (std::uint32_t target : UdpDatagrams::broadcast_targets())
    if (datagrams.send_to(target, static_cast<std::uint16_t>(portmapper_port), call)) ++sent;
  if (sent == 0) return found;

  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(window_ms);
  std::string reply, host;
  while (datagrams.receive(until, reply, host)) {
    xdr::Reader in(reply.data(), reply.size());
    if (DecodeReplyHeader(in, xid) != Reply::Accepted) continue;
    const std::uint32_t port = in.u32();
    if (!in.ok() || port == 0 || port > 65535) continue;  // a portmapper with no instrument behind it
    ResourceName resource;
    if (parse_resource_name("TCPIP0::" + host + "::inst0::INSTR", resource) < 0) continue;
    bool known = std::any_of(found.begin(), found.end(), [&](const ResourceName& r) { return r.canonical == resource.canonical; });
    if (!known) found.push_back(resource);
  }
  trace_note("VXI-11 discovery: " + std::to_string(found.size()) + " answered on port " +
               std::to_string(portmapper_port));
  return found;
}

}  // namespace visa
