// SPDX-License-Identifier: MIT
#include "message_scanner.h"

#include <algorithm>

namespace gateway {

void MessageScanner::feed(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    ended_ = false;
    switch (state_) {
      case State::kText:
        if (c == '?') {
          asks_ = true;
        } else if (c == '"' || c == '\'') {
          quote_ = c;
          state_ = State::kQuoted;
        } else if (c == '#') {
          state_ = State::kHash;
        } else if (c == '\n') {
          ended_ = true;
        }
        break;
      case State::kQuoted:
        // A doubled quote inside a string leaves it and enters it again: the same.
        if (c == quote_) state_ = State::kText;
        break;
      case State::kHash:
        if (c == '0') {
          state_ = State::kIndefiniteBlock;
        } else if (c >= '1' && c <= '9') {
          digits_left_ = static_cast<std::size_t>(c - '0');
          data_left_ = 0;
          state_ = State::kLengthDigits;
        } else {
          // Not a block after all ("#H1F" is a hexadecimal number): look at the byte again as text.
          state_ = State::kText;
          --i;
        }
        break;
      case State::kLengthDigits:
        if (c < '0' || c > '9') {
          // A malformed length: the device will say so; carry on as text.
          state_ = State::kText;
          --i;
          break;
        }
        data_left_ = data_left_ * 10 + static_cast<std::size_t>(c - '0');
        if (--digits_left_ == 0) state_ = data_left_ == 0 ? State::kText : State::kBlockData;
        break;
      case State::kBlockData: {
        // Skip the data in one step.
        const std::size_t take = std::min(data_left_, bytes.size() - i);
        data_left_ -= take;
        i += take - 1;
        if (data_left_ == 0) state_ = State::kText;
        break;
      }
      case State::kIndefiniteBlock:
        // Runs to the end of the message: a line feed with END.
        if (c == '\n') {
          ended_ = true;
          state_ = State::kText;
        }
        break;
    }
  }
}

}  // namespace gateway
