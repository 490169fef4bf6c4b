// SPDX-License-Identifier: MIT
// ONC RPC's record marking on TCP, shared by both ends of VXI-11: records of
// fragments, each behind a four-byte marker. Needs no RPC library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace onc_rpc {

constexpr std::uint32_t kCall = 0, kReply = 1, kRpcVersion = 2;
constexpr std::size_t kMostAuthBytes = 400;  // a credential's or verifier's body
constexpr std::size_t kMostPerRecord = 1u << 24;

// A marker as its four bytes go on the wire (most significant first), and back.
inline std::uint32_t WireOrder(std::uint32_t value) {
  const unsigned char bytes[4] = {static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
                                  static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
  std::uint32_t raw = 0;
  std::memcpy(&raw, bytes, sizeof raw);
  return raw;
}
inline std::uint32_t FromWireOrder(std::uint32_t raw) {
  unsigned char bytes[4];
  std::memcpy(bytes, &raw, sizeof bytes);
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// One record, all its fragments; `read(data, size)` reads exactly `size`
// bytes or returns false. False also for a record larger than we take.
template <typename ReadExact>
bool ReadRecord(ReadExact&& read, std::vector<char>& record) {
  record.clear();
  for (;;) {
    std::uint32_t marker = 0;
    if (!read(&marker, sizeof marker)) return false;
    marker = FromWireOrder(marker);
    std::size_t length = marker & 0x7FFFFFFFu;
    if (record.size() + length > kMostPerRecord) return false;
    std::size_t offset = record.size();
    record.resize(offset + length);
    if (length > 0 && !read(record.data() + offset, length)) return false;
    if ((marker & 0x80000000u) != 0) return true;
  }
}

// The record marker for a record sent as one fragment.
inline std::uint32_t LastFragmentMarker(std::size_t size) {
  return WireOrder(static_cast<std::uint32_t>(size) | 0x80000000u);
}

}  // namespace onc_rpc
