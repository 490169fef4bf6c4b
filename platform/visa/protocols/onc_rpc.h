// ONC RPC on TCP as both ends of VXI-11 frame it by hand: records of
// fragments, the call header, and calls sent one way (the interrupt channel's
// device_intr_srq expects no reply).
#pragma once

#include <arpa/inet.h>
#include <rpc/rpc.h>

#include <cstdint>
#include <string>
#include <vector>

namespace onc_rpc {

constexpr u_int kCall = 0, kReply = 1;
constexpr std::size_t kMostPerRecord = 1u << 24;

struct CallHeader {
  u_int xid = 0, program = 0, version = 0, procedure = 0;
};

// One record, all its fragments; `read(data, size)` reads exactly `size`
// bytes or returns false. False also for a record larger than we take.
template <typename ReadExact>
bool ReadRecord(ReadExact&& read, std::vector<char>& record) {
  record.clear();
  for (;;) {
    std::uint32_t marker = 0;
    if (!read(&marker, sizeof marker)) return false;
    marker = ntohl(marker);
    std::size_t length = marker & 0x7FFFFFFFu;
    if (record.size() + length > kMostPerRecord) return false;
    std::size_t offset = record.size();
    record.resize(offset + length);
    if (length > 0 && !read(record.data() + offset, length)) return false;
    if ((marker & 0x80000000u) != 0) return true;
  }
}

// The record marker for a record sent as one fragment.
inline std::uint32_t LastFragmentMarker(std::size_t size) { return htonl(static_cast<std::uint32_t>(size) | 0x80000000u); }

// Decodes a call's header; the credential and verifier are skipped.
inline bool DecodeCallHeader(XDR* in, CallHeader& h) {
  u_int type = 0, rpc_version = 0, flavor = 0;
  if (!xdr_u_int(in, &h.xid) || !xdr_u_int(in, &type) || type != kCall || !xdr_u_int(in, &rpc_version) ||
      rpc_version != 2 || !xdr_u_int(in, &h.program) || !xdr_u_int(in, &h.version) || !xdr_u_int(in, &h.procedure))
    return false;
  for (int i = 0; i < 2; ++i) {
    char body[400];
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
