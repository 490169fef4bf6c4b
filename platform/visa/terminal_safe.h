// SPDX-License-Identifier: MIT
// Text from an instrument, the network or a file made safe for a terminal:
// control bytes (C0, DEL, C1) and bytes that are not UTF-8 become visible
// escapes ("\x1b"), so what is quoted cannot move the cursor, retitle the
// window or write the clipboard, and a NUL cannot cut a message short. Our own
// multi-line messages keep their line breaks. Shared by the library's messages
// and the programs'.
#pragma once

#include <string>

namespace visa {

std::string terminal_safe(const std::string& text, bool keep_line_breaks = false);

}  // namespace visa
