// Reading numbers out of instrument text, independent of the caller's locale.
#pragma once

#include <string_view>

#include "visatype.h"

namespace zevra {

// Skips leading white space and reads the longest prefix that forms a decimal
// floating-point number (sign, digits, fraction, exponent); the rest is ignored.
// False when no number starts the text.
bool ParseLeadingReal(std::string_view text, ViReal64& value);

}  // namespace zevra
