// SPDX-License-Identifier: MIT
// The formatted-I/O engine over a caller's text instead of a session's
// stream: viSPrintf, viSScanf and their va_list forms.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include "visatype.h"

namespace visa {

ViStatus format_to_string(const char* format, va_list* args, std::string& out);
// The text reads as one message that ends where the text does.
ViStatus scan_from_string(std::string_view text, const char* format, va_list* args);

}  // namespace visa
