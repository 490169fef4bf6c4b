// SPDX-License-Identifier: MIT
// ONC RPC on TCP through libtirpc's XDR, for the emulator's end of VXI-11:
// the call header, and calls sent one way (the interrupt channel's
// device_intr_srq expects no reply). The framing is onc_rpc_framing.h.
#pragma once

#include <rpc/rpc.h>

#include "onc_rpc_framing.h"

#include <cstdint>
#include <string>
#include <vector>

namespace onc_rpc {

struct CallHeader {
  u_int xid = 0, program = 0, version = 0, procedure = 0;
};

// Decodes a call's header; the credential and verifier are skipped.
inline bool DecodeCallHeader(XDR* in, CallHeader& h) {
  u_int type = 0, rpc_version = 0, flavor = 0;
  if (!xdr_u_int(in, &h.xid) || !xdr_u_int(in, &type) || type != kCall || !xdr_u_int(in, &rpc_version) ||
      rpc_version != kRpcVersion || !xdr_u_int(in, &h.program) || !xdr_u_int(in, &h.version) || !xdr_u_int(in, &h.procedure))
    return false;
  for (int i = 0; i < 2; ++i) {
    char body[kMostAuthBytes];
    char* p = body;
    u_int length = 0;
    if (!xdr_u_int(in, &flavor) || !xdr_bytes(in, &p, &length, sizeof body)) return false;
  }
  return true;
}

// A whole call record (marker included) with no credential, or empty when the
// arguments do not encode.
inline std::string EncodeCall(const CallHeader& h, xdrproc_t encode, void* args) {
  std::size_t args_size = encode != nullptr ? xdr_sizeof(encode, args) : 0;
  std::vector<char> buffer(args_size + 64);
  XDR out;
  xdrmem_create(&out, buffer.data(), static_cast<u_int>(buffer.size()), XDR_ENCODE);
  u_int xid = h.xid, type = kCall, rpc_version = 2, program = h.program, version = h.version,
        procedure = h.procedure, none = 0;
  bool ok = xdr_u_int(&out, &xid) && xdr_u_int(&out, &type) && xdr_u_int(&out, &rpc_version) &&
            xdr_u_int(&out, &program) && xdr_u_int(&out, &version) && xdr_u_int(&out, &procedure) &&
            xdr_u_int(&out, &none) && xdr_u_int(&out, &none) && xdr_u_int(&out, &none) && xdr_u_int(&out, &none);
  if (ok && encode != nullptr) ok = encode(&out, args) != 0;
  std::size_t size = xdr_getpos(&out);
  xdr_destroy(&out);
  if (!ok) return {};
  std::uint32_t marker = LastFragmentMarker(size);
  std::string record(reinterpret_cast<const char*>(&marker), sizeof marker);
  record.append(buffer.data(), size);
  return record;
}

}  // namespace onc_rpc
