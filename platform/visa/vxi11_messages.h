// SPDX-License-Identifier: MIT
// The VXI-11 messages this client exchanges: the programs and procedures it
// calls and serves, and the results of the core procedures, decoded from XDR
// as the interface definition lays them out. A decoder reads its fields in
// order; the reader's ok() then says whether the reply held them all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "xdr_codec.h"

namespace visa::vxi11 {

constexpr std::uint32_t kDeviceCore = 0x0607AF, kDeviceCoreVersion = 1;
constexpr std::uint32_t kDeviceIntr = 0x0607B1, kDeviceIntrVersion = 1, kDeviceTcp = 0;
enum Procedure : std::uint32_t {
  kCreateLink = 10,
  kDeviceWrite = 11,
  kDeviceRead = 12,
  kDeviceReadStb = 13,
  kDeviceTrigger = 14,
  kDeviceClear = 15,
  kDeviceRemote = 16,
  kDeviceLocal = 17,
  kDeviceLock = 18,
  kDeviceUnlock = 19,
  kDeviceEnableSrq = 20,
  kDestroyLink = 23,
  kCreateIntrChan = 25,
  kDestroyIntrChan = 26,
  kDeviceIntrSrq = 30,  // on the interrupt channel, which the client serves
};
constexpr std::size_t kMostData = 1u << 24;  // no message piece is larger
constexpr std::size_t kMostHandle = 40;      // of device_enable_srq and device_intr_srq

// Device_Error: the answer of most procedures.
inline std::int32_t DecodeError(xdr::Reader& in) { return in.i32(); }

struct CreateLinkReply {
  std::int32_t error = 0, lid = 0;
  std::uint32_t abort_port = 0, max_recv_size = 0;
};
inline CreateLinkReply DecodeCreateLink(xdr::Reader& in) {
  CreateLinkReply r;
  r.error = in.i32();
  r.lid = in.i32();
  r.abort_port = in.u32();
  r.max_recv_size = in.u32();
  return r;
}

struct WriteReply {
  std::int32_t error = 0;
  std::uint32_t size = 0;
};
inline WriteReply DecodeWrite(xdr::Reader& in) {
  WriteReply r;
  r.error = in.i32();
  r.size = in.u32();
  return r;
}

// The data stays in the received bytes, for the caller to copy once.
struct ReadReply {
  std::int32_t error = 0, reason = 0;
  std::string_view data;
};
inline ReadReply DecodeRead(xdr::Reader& in) {
  ReadReply r;
  r.error = in.i32();
  r.reason = in.i32();
  r.data = in.opaque(kMostData);
  return r;
}

struct ReadStbReply {
  std::int32_t error = 0;
  std::uint8_t stb = 0;
};
inline ReadStbReply DecodeReadStb(xdr::Reader& in) {
  ReadStbReply r;
  r.error = in.i32();
  r.stb = static_cast<std::uint8_t>(in.u32() & 0xFF);
  return r;
}

}  // namespace visa::vxi11
