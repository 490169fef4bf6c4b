// SPDX-License-Identifier: MIT
#include "format_directive.h"

#include "ascii.h"

namespace visa {
namespace {

bool read_number(const char* format, std::size_t& pos, long& out) {
  if (!is_ascii_digit(format[pos])) return false;
  long v = 0;
  while (is_ascii_digit(format[pos])) {
    if (v < 100000000) v = v * 10 + (format[pos] - '0');
    ++pos;
  }
  out = v;
  return true;
}

}  // namespace

bool parse_format_spec(const char* format, std::size_t& pos, bool reading, FormatSpec& spec) {
  spec = FormatSpec{};
  if (reading && format[pos] == '*') {
    spec.suppress = true;
    ++pos;
  }
  for (unsigned bit; (bit = flag_bit(format[pos])) != 0; ++pos) spec.flags |= bit;
  if (format[pos] == '*' && !reading) {
    spec.width_from_args = true;
    ++pos;
  } else {
    read_number(format, pos, spec.width);
  }
  if (format[pos] == '.') {
    ++pos;
    if (format[pos] == '*' && !reading) {
      spec.precision_from_args = true;
      ++pos;
    } else if (!read_number(format, pos, spec.precision)) {
      spec.precision = 0;
    }
  }
  switch (format[pos]) {
    case 'h':
      ++pos;
      spec.length = LengthModifier::Short;
      if (format[pos] == 'h') {
        ++pos;
        spec.length = LengthModifier::Char;
      }
      break;
    case 'l':
      ++pos;
      spec.length = LengthModifier::Long;
      if (format[pos] == 'l') {
        ++pos;
        spec.length = LengthModifier::LongLong;
      }
      break;
    case 'L':
      ++pos;
      spec.length = LengthModifier::LongDouble;
      break;
    default:
      break;
  }
  char c = format[pos];
  if (c == '\0') return false;
  ++pos;
  spec.conversion = c;
  if (c == '[') {
    // "]" right after "[" or "[^" is a member of the set.
    std::size_t start = pos;
    if (format[pos] == '^') ++pos;
    if (format[pos] == ']') ++pos;
    while (format[pos] != '\0' && format[pos] != ']') ++pos;
    if (format[pos] != ']') return false;
    spec.scanset = std::string_view(format + start, pos - start);
    ++pos;
  }
  return true;
}

}  // namespace visa
