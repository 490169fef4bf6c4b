// SPDX-License-Identifier: MIT
// One parsed conversion specification of a VISA format string.
#pragma once

#include <cstddef>
#include <string_view>

namespace visa {

// The widest field a formatted write pads or extends to (VI_ERROR_INV_FMT beyond).
inline constexpr long kMaxFieldWidth = 1L << 20;

enum class LengthModifier { None, Short, Char, Long, LongLong, LongDouble };

// The flag characters a specification may carry, in the order they are printed back.
inline constexpr char kFormatFlags[] = "-+ #0";

// A set of flags as bits, so that parsing one allocates nothing; a flag given
// twice means what it means once.
constexpr unsigned flag_bit(char f) {
  switch (f) {
    case '-': return 1u << 0;
    case '+': return 1u << 1;
    case ' ': return 1u << 2;
    case '#': return 1u << 3;
    case '0': return 1u << 4;
    default: return 0;
  }
}
static_assert(
    [] {
      for (unsigned i = 0; kFormatFlags[i] != '\0'; ++i) {
        if (flag_bit(kFormatFlags[i]) != 1u << i) return false;
      }
      return true;
    }(),
    "each flag's bit follows its place in kFormatFlags");

struct FormatSpec {
  unsigned flags = 0;         // flag_bit of each of "-+ #0" given
  bool suppress = false;      // '*' right after '%' in a read format
  bool width_from_args = false;
  long width = -1;            // -1: none
  bool precision_from_args = false;
  long precision = -1;        // -1: none
  LengthModifier length = LengthModifier::None;
  char conversion = 0;
  std::string_view scanset;   // for '[': the characters between the brackets (in the format)
  bool has_flag(char f) const { return (flags & flag_bit(f)) != 0; }
};

// Parses the specification starting after the '%' at format[pos]; on success
// pos is left after the conversion character. `reading` allows '*' as the
// assignment-suppression flag. Returns false for a malformed specification.
bool parse_format_spec(const char* format, std::size_t& pos, bool reading, FormatSpec& spec);

}  // namespace visa
