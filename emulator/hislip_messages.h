// SPDX-License-Identifier: MIT
// Sending and receiving whole HiSLIP messages on a server's connection.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hislip_codec.h"
#include "tcp_listener.h"

namespace emulator::hislip_messages {

// Fatal error codes: the server closes the connection after sending one.
constexpr std::uint8_t kUnidentifiedFatal = 0, kPoorlyFormedHeader = 1, kInvalidInitialization = 3;
// Error codes: the connection stays usable.
constexpr std::uint8_t kUnidentifiedError = 0, kUnrecognizedMessageType = 1, kUnrecognizedControlCode = 2,
                       kMessageTooLarge = 4;

inline bool Send(int fd, std::uint8_t type, std::uint8_t control, std::uint32_t parameter,
                 std::string_view payload = {}) {
  std::string message = hislip::Encode(type, control, parameter, payload);
  return WriteFully(fd, message.data(), message.size());
}

// One message no larger than `most` bytes of payload, or false when the
// connection ends or is out of step (after telling the client why).
inline bool Receive(int fd, int stop_fd, hislip::Header& h, std::string& payload, std::uint64_t most) {
  unsigned char header[hislip::kHeaderSize];
  if (!ReadFully(fd, stop_fd, header, sizeof header)) return false;
  if (!hislip::Decode(header, h)) {
    Send(fd, hislip::kFatalError, kPoorlyFormedHeader, 0, "not a HiSLIP message header");
    return false;
  }
  if (h.length > most) {
    Send(fd, hislip::kFatalError, kPoorlyFormedHeader, 0, "message larger than the maximum message size");
    return false;
  }
  payload.assign(static_cast<std::size_t>(h.length), '\0');
  return h.length == 0 || ReadFully(fd, stop_fd, payload.data(), payload.size());
}

}  // namespace emulator::hislip_messages
