// SPDX-License-Identifier: MIT
// Character classes of the option and selector grammars, as the C locale
// defines them (bytes above 0x7F belong to none).
#pragma once

namespace vexo::chars {

constexpr bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsWord(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
// A selector name: a word character or '!' (as in "OutputChannel!!CH1").
constexpr bool IsNameChar(char c) { return IsWord(c) || c == '!'; }

}  // namespace vexo::chars
