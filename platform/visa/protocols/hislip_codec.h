// SPDX-License-Identifier: MIT
// HiSLIP messages: a 16-byte header ("HS", message type, control code,
// message parameter, payload length; big endian) and a payload.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hislip {

enum MessageType : std::uint8_t {
  kInitialize = 0,
  kInitializeResponse = 1,
  kFatalError = 2,
  kError = 3,
  kAsyncLock = 4,
  kAsyncLockResponse = 5,
  kData = 6,
  kDataEnd = 7,
  kDeviceClearComplete = 8,
  kDeviceClearAcknowledge = 9,
  kAsyncRemoteLocalControl = 10,
  kAsyncRemoteLocalResponse = 11,
  kTrigger = 12,
  kAsyncMaximumMessageSize = 15,
  kAsyncMaximumMessageSizeResponse = 16,
  kAsyncInitialize = 17,
  kAsyncInitializeResponse = 18,
  kAsyncDeviceClear = 19,
  kAsyncServiceRequest = 20,
  kAsyncStatusQuery = 21,
  kAsyncStatusResponse = 22,
  kAsyncDeviceClearAcknowledge = 23,
  kAsyncLockInfo = 24,
  kAsyncLockInfoResponse = 25,
};

// AsyncLock's control code, and the answers AsyncLockResponse carries.
enum LockControl : std::uint8_t { kLockRelease = 0, kLockRequest = 1 };
enum LockResponse : std::uint8_t { kLockFailure = 0, kLockSuccess = 1, kLockSharedReleased = 2, kLockError = 3 };

// Bit 0 of the control code of InitializeResponse (the mode a session starts
// in), AsyncDeviceClearAcknowledge (the server's preference),
// DeviceClearComplete (the client's request) and DeviceClearAcknowledge (the
// mode agreed): set for overlapped mode, clear for synchronized.
constexpr std::uint8_t kOverlapped = 1;

// AsyncRemoteLocalControl's control code: the request, numbered as
// viGpibControlREN's modes are (0 disable remote ... 6 go to local).
constexpr std::uint8_t kMostRemoteLocalRequest = 6;

constexpr std::size_t kHeaderSize = 16;
constexpr std::uint16_t kProtocolVersion = 0x0100;  // 1.0
constexpr std::uint32_t kFirstMessageId = 0xFFFFFF00u;

struct Header {
  std::uint8_t type = 0;
  std::uint8_t control = 0;
  std::uint32_t parameter = 0;
  std::uint64_t length = 0;
};

inline std::string Encode(std::uint8_t type, std::uint8_t control, std::uint32_t parameter, std::string_view payload = {}) {
  std::string out = "HS";
  out += static_cast<char>(type);
  out += static_cast<char>(control);
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((parameter >> shift) & 0xFF);
  std::uint64_t length = payload.size();
  for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>((length >> shift) & 0xFF);
  out.append(payload);
  return out;
}

// False when the bytes are not a HiSLIP header.
inline bool Decode(const unsigned char* bytes, Header& h) {
  if (bytes[0] != 'H' || bytes[1] != 'S') return false;
  h.type = bytes[2];
  h.control = bytes[3];
  h.parameter = 0;
  for (int i = 4; i < 8; ++i) h.parameter = (h.parameter << 8) | bytes[i];
  h.length = 0;
  for (int i = 8; i < 16; ++i) h.length = (h.length << 8) | bytes[i];
  return true;
}

inline std::string EncodeU64(std::uint64_t value) {
  std::string out;
  for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
  return out;
}

inline std::uint64_t DecodeU64(std::string_view bytes) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < 8 && i < bytes.size(); ++i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
  return v;
}

}  // namespace hislip
