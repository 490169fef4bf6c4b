// One parsed conversion specification of a VISA format string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace visa {

// The widest field a formatted write pads or extends to (VI_ERROR_INV_FMT beyond).
inline constexpr long kMaxFieldWidth = 1L << 20;

enum class LengthModifier { None, Short, Char, Long, LongLong, LongDouble };

struct FormatSpec {
  std::string flags;          // any of "-+ #0"
  bool suppress = false;      // '*' right after '%' in a read format
  bool width_from_args = false;
  long width = -1;            // -1: none
  bool precision_from_args = false;
  long precision = -1;        // -1: none
  LengthModifier length = LengthModifier::None;
  char conversion = 0;
  std::string_view scanset;   // for '[': the characters between the brackets (in the format)
  bool has_flag(char f) const { return flags.find(f) != std::string::npos; }
};

// Parses the specification starting after the '%' at format[pos]; on success
// pos is left after the conversion character. `reading` allows '*' as the
// assignment-suppression flag. Returns false for a malformed specification.
bool parse_format_spec(const char* format, std::size_t& pos, bool reading, FormatSpec& spec);

}  // namespace visa
