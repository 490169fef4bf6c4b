// SPDX-License-Identifier: MIT
// ONC RPC's call and reply headers, as our client writes and reads them over
// TCP (VXI-11 calls) and UDP (the portmapper broadcast that finds instruments).
#pragma once

#include <cstdint>

#include "protocols/onc_rpc_framing.h"
#include "xdr_codec.h"

namespace visa::onc_rpc_messages {

// The portmapper's program and the one procedure we call.
constexpr std::uint32_t kPortmapper = 100000, kPortmapperVersion = 2, kGetPort = 3;
constexpr unsigned kDefaultPortmapperPort = 111;
constexpr std::uint32_t kIpProtocolTcp = 6;

// A call's header with no credential and no verifier.
inline void EncodeCallHeader(xdr::Writer& out, std::uint32_t xid, std::uint32_t program, std::uint32_t version,
                             std::uint32_t procedure) {
  constexpr std::uint32_t kAuthNone = 0;
  out.u32(xid).u32(onc_rpc::kCall).u32(onc_rpc::kRpcVersion).u32(program).u32(version).u32(procedure);
  out.u32(kAuthNone).u32(0).u32(kAuthNone).u32(0);
}

// The portmapper's port: 111, or where ZEVRA_VXI11_PORTMAPPER_PORT says (an
// emulator on loopback answers on a port of its own).
unsigned PortmapperPort();

enum class Reply { NotOurs, Refused, Accepted };

// Reads a reply's header: Accepted leaves `in` at the results; NotOurs is a
// reply to another call (or not a reply at all); Refused a call the server
// would not run.
inline Reply DecodeReplyHeader(xdr::Reader& in, std::uint32_t xid) {
  constexpr std::uint32_t kMessageAccepted = 0, kAcceptSuccess = 0;
  const std::uint32_t reply_xid = in.u32(), type = in.u32();
  if (!in.ok() || type != onc_rpc::kReply || reply_xid != xid) return Reply::NotOurs;
  const std::uint32_t reply_stat = in.u32();
  in.u32();                               // the verifier's flavor
  in.opaque(onc_rpc::kMostAuthBytes);     // and its body
  const std::uint32_t accept_stat = in.u32();
  if (!in.ok() || reply_stat != kMessageAccepted || accept_stat != kAcceptSuccess) return Reply::Refused;
  return Reply::Accepted;
}

}  // namespace visa::onc_rpc_messages
