// SPDX-License-Identifier: MIT
// Small text helpers for instrument replies, option values and table texts:
// trimming, splitting into fields, and numbers at the start of a text read
// independently of the caller's locale.
#pragma once

#include <string_view>
#include <vector>

#include "visatype.h"

namespace vexo {

inline constexpr std::string_view kBlanks = " \t\r\n";

// s without leading and trailing characters from chars.
std::string_view Trim(std::string_view s, std::string_view chars = kBlanks);

// What to do with the empty piece after a trailing separator (and with the one
// piece of an empty text): reply lists drop it, names keep it.
enum class LastEmpty { kKeep, kDrop };

// The pieces between separators, untrimmed; "a,,b" gives three.
std::vector<std::string_view> Split(std::string_view s, char separator, LastEmpty last = LastEmpty::kKeep);
// The same pieces, each trimmed of blanks.
std::vector<std::string_view> SplitTrimmed(std::string_view s, char separator, LastEmpty last = LastEmpty::kKeep);

// Leading white space and a sign, then decimal digits up to the first other
// character; false when no digit starts the number or it is no 32-bit integer.
bool ParseLeadingInteger(std::string_view text, ViInt32& value);

// Leading white space, then the longest prefix that forms a decimal
// floating-point number (sign, digits, fraction, exponent); the rest is
// ignored. False when no number starts the text; "nan" and "inf" are none.
bool ParseLeadingReal(std::string_view text, ViReal64& value);

}  // namespace vexo
