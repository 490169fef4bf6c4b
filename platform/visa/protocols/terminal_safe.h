// SPDX-License-Identifier: MIT
// Text from an instrument, the network or a file made safe for a terminal:
// control bytes (C0, DEL, C1) and bytes that are not UTF-8 become visible
// escapes ("\x1b"), so what is quoted cannot move the cursor, retitle the
// window or write the clipboard, and a NUL cannot cut a message short. Our own
// multi-line messages keep their line breaks. Shared by the VISA library and
// the programs' messages.
#pragma once

#include <cstdio>
#include <string>

namespace visa {

inline std::string terminal_safe(const std::string& text, bool keep_line_breaks = false) {
  std::string out;
  out.reserve(text.size());
  auto escape = [&](unsigned char byte) {
    char esc[8];
    std::snprintf(esc, sizeof esc, "\\x%02x", byte);
    out += esc;
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      if ((byte < 0x20 && !(keep_line_breaks && byte == '\n')) || byte == 0x7f) escape(byte);
      else out += static_cast<char>(byte);
      ++i;
      continue;
    }
    // A whole, shortest-form UTF-8 sequence passes, except the C1 controls U+0080..U+009F.
    std::size_t length = byte >= 0xf0 && byte <= 0xf4 ? 4 : byte >= 0xe0 ? 3 : byte >= 0xc2 && byte <= 0xdf ? 2 : 0;
    bool whole = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; whole && k < length; ++k) whole = (static_cast<unsigned char>(text[i + k]) & 0xc0) == 0x80;
    if (whole) {
      const auto second = static_cast<unsigned char>(text[i + 1]);
      if ((byte == 0xe0 && second < 0xa0) || (byte == 0xed && second >= 0xa0) || (byte == 0xf0 && second < 0x90) ||
          (byte == 0xf4 && second >= 0x90) || (byte == 0xc2 && second < 0xa0))
        whole = false;  // overlong, surrogate, beyond U+10FFFF, or a C1 control
    }
    if (!whole) {
      escape(byte);
      ++i;
      continue;
    }
    out.append(text, i, length);
    i += length;
  }
  return out;
}

}  // namespace visa
