// SPDX-License-Identifier: MIT
// USBTMC with its USB488 subclass, as both ends speak it: the bulk message
// headers (DEV_DEP_MSG_OUT, REQUEST_DEV_DEP_MSG_IN, DEV_DEP_MSG_IN, TRIGGER),
// the class requests on the control pipe and the interrupt-IN notifications.
// Byte layouts only; needs no USB library.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace usbtmc {

// Interface class and subclass of a USBTMC interface; protocol 1 is USB488.
constexpr std::uint8_t kInterfaceClass = 0xFE, kInterfaceSubclass = 0x03, kProtocolUsb488 = 0x01;

enum MsgId : std::uint8_t {
  kDevDepMsgOut = 1,
  kRequestDevDepMsgIn = 2,
  kDevDepMsgIn = 2,
  kTrigger = 128,  // USB488
};

constexpr std::size_t kHeaderSize = 12;

// Class requests (bRequest), and the bmRequestType they go with.
enum Request : std::uint8_t {
  kInitiateAbortBulkOut = 1,
  kCheckAbortBulkOutStatus = 2,
  kInitiateAbortBulkIn = 3,
  kCheckAbortBulkInStatus = 4,
  kInitiateClear = 5,
  kCheckClearStatus = 6,
  kGetCapabilities = 7,
  kReadStatusByte = 128,  // USB488
  kRenControl = 160,
  kGoToLocal = 161,
  kLocalLockout = 162,
};
constexpr std::uint8_t kToInterface = 0xA1;  // device-to-host, class, interface
constexpr std::uint8_t kToEndpoint = 0xA2;   // device-to-host, class, endpoint

// USBTMC_status values in control responses.
enum Status : std::uint8_t {
  kSuccess = 0x01,
  kPending = 0x02,
  kFailed = 0x80,
  kTransferNotInProgress = 0x81,
  kSplitNotInProgress = 0x82,
  kSplitInProgress = 0x83,
};

// Interrupt-IN notification: bNotify1 0x81 is a service request, 0x80|bTag a
// status byte answering READ_STATUS_BYTE; bNotify2 is the status byte.
constexpr std::uint8_t kNotifySrq = 0x81;

inline void PutU32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}
inline std::uint32_t GetU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

// The next bTag after `tag`: 1 to 255, never 0.
inline std::uint8_t NextTag(std::uint8_t tag) { return tag == 255 ? 1 : static_cast<std::uint8_t>(tag + 1); }

// Bytes to a multiple of four, as every bulk transfer is padded.
inline std::size_t Aligned(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

using Header = std::array<std::uint8_t, kHeaderSize>;

inline Header MakeHeader(std::uint8_t id, std::uint8_t tag, std::uint32_t size, std::uint8_t attributes,
                         std::uint8_t term_char = 0) {
  Header h{};
  h[0] = id;
  h[1] = tag;
  h[2] = static_cast<std::uint8_t>(~tag);
  PutU32(&h[4], size);
  h[8] = attributes;
  h[9] = term_char;
  return h;
}

// A DEV_DEP_MSG_OUT transfer: header, the bytes, zeros to the alignment.
inline std::string DevDepMsgOut(std::uint8_t tag, std::string_view bytes, bool end_of_message) {
  Header h = MakeHeader(kDevDepMsgOut, tag, static_cast<std::uint32_t>(bytes.size()), end_of_message ? 0x01 : 0x00);
  std::string out(reinterpret_cast<const char*>(h.data()), h.size());
  out.append(bytes);
  out.resize(kHeaderSize + Aligned(bytes.size()), '\0');
  return out;
}

// REQUEST_DEV_DEP_MSG_IN: up to `size` bytes, stopping after `term_char` when given.
inline Header RequestDevDepMsgIn(std::uint8_t tag, std::uint32_t size, std::optional<std::uint8_t> term_char) {
  return MakeHeader(kRequestDevDepMsgIn, tag, size, term_char ? 0x02 : 0x00, term_char.value_or(0));
}

// USB488 TRIGGER: a header with nothing after it.
inline Header Trigger(std::uint8_t tag) { return MakeHeader(kTrigger, tag, 0, 0); }

// A bulk-OUT or bulk-IN header as read: false for one whose tag does not check.
struct ParsedHeader {
  std::uint8_t id = 0, tag = 0;
  std::uint32_t size = 0;
  std::uint8_t attributes = 0, term_char = 0;
  bool end_of_message() const { return (attributes & 0x01) != 0; }  // DEV_DEP_MSG_OUT/IN
  bool term_char_enabled() const { return (attributes & 0x02) != 0; }  // REQUEST_DEV_DEP_MSG_IN
  bool ended_by_term_char() const { return (attributes & 0x02) != 0; }  // DEV_DEP_MSG_IN
};
inline bool ParseHeader(const std::uint8_t* p, std::size_t size, ParsedHeader& out) {
  if (size < kHeaderSize || p[2] != static_cast<std::uint8_t>(~p[1]) || p[1] == 0 || p[3] != 0) return false;
  out.id = p[0];
  out.tag = p[1];
  out.size = GetU32(&p[4]);
  out.attributes = p[8];
  out.term_char = p[9];
  return true;
}

// A DEV_DEP_MSG_IN transfer, as a device sends it.
inline std::string DevDepMsgIn(std::uint8_t tag, std::string_view bytes, bool end_of_message, bool by_term_char) {
  Header h = MakeHeader(kDevDepMsgIn, tag, static_cast<std::uint32_t>(bytes.size()),
                        static_cast<std::uint8_t>((end_of_message ? 0x01 : 0) | (by_term_char ? 0x02 : 0)));
  std::string out(reinterpret_cast<const char*>(h.data()), h.size());
  out.append(bytes);
  out.resize(kHeaderSize + Aligned(bytes.size()), '\0');
  return out;
}

}  // namespace usbtmc
