// SPDX-License-Identifier: MIT
// Follows an IEEE 488.2 message as it passes, piece by piece, so the gateway
// knows two things without parsing commands: whether a program message holds
// a query (a '?' outside strings and blocks: its device will answer), and
// whether a response read through a line-framed link (a raw socket, a serial
// line) has ended (a line feed outside strings and blocks). Block data may
// hold any byte, a line feed or '?' among them.
#pragma once

#include <cstddef>
#include <string_view>

namespace gateway {

class MessageScanner {
 public:
  void feed(std::string_view bytes);
  // The message seen so far holds a query.
  bool asks() const { return asks_; }
  // The last byte fed was a line feed that ends the message.
  bool ended() const { return ended_; }
  void reset() { *this = MessageScanner(); }

 private:
  enum class State { kText, kQuoted, kHash, kLengthDigits, kBlockData, kIndefiniteBlock };
  State state_ = State::kText;
  char quote_ = 0;
  std::size_t digits_left_ = 0;  // of a definite block's length
  std::size_t data_left_ = 0;    // of a definite block's data
  bool asks_ = false;
  bool ended_ = false;
};

}  // namespace gateway
