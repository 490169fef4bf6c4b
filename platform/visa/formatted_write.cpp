// SPDX-License-Identifier: MIT
// printf-style conversions for viPrintf and the write half of viQueryf.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>

#include "c_locale.h"
#include "format_directive.h"
#include "formatted_io.h"
#include "visa.h"

namespace visa {
namespace {

// Builds the specification snprintf sees: our flags, width and precision, with
// the length modifier replaced by the one matching the value actually passed.
std::string c_spec(const FormatSpec& spec, const char* length, char conversion) {
  std::string s = "%";
  for (const char* f = kFormatFlags; *f != '\0'; ++f) {
    if (spec.has_flag(*f)) s += *f;
  }
  if (spec.width >= 0) s += std::to_string(spec.width);
  if (spec.precision >= 0) s += "." + std::to_string(spec.precision);
  s += length;
  s += conversion;
  return s;
}

// The text of one message as it is built; the C locale is set only when the
// C library formats a number, which most commands never need.
struct Output {
  std::string text;
  std::optional<ScopedCLocale> c_locale;
};

template <typename T>
ViStatus append_formatted(Output& out, const std::string& spec, T value) {
  if (!out.c_locale) out.c_locale.emplace();
  char small[128];
  int n = std::snprintf(small, sizeof small, spec.c_str(), value);
  if (n < 0) return VI_ERROR_INV_FMT;
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.text.append(small, static_cast<std::size_t>(n));
    return VI_SUCCESS;
  }
  const std::size_t at = out.text.size();
  out.text.resize(at + static_cast<std::size_t>(n) + 1);
  std::snprintf(out.text.data() + at, static_cast<std::size_t>(n) + 1, spec.c_str(), value);
  out.text.resize(at + static_cast<std::size_t>(n));
  return VI_SUCCESS;
}

// A conversion with no width and no flag that shows (a '0' without a width
// pads nothing) prints as std::to_chars does, which is what printf prints in
// the C locale, without the C library's stream machinery.
bool is_plain(const FormatSpec& spec) {
  return spec.width < 0 && (spec.flags & ~flag_bit('0')) == 0;
}

template <typename... Args>
bool append_to_chars(Output& out, Args... args) {
  char digits[64];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, args...);
  if (ec != std::errc{}) return false;
  out.text.append(digits, static_cast<std::size_t>(end - digits));
  return true;
}

// %f, %e and %g in lower case go through std::to_chars when nothing else shapes them.
ViStatus write_real(const FormatSpec& spec, double value, Output& out) {
  if (is_plain(spec)) {
    const int precision = spec.precision < 0 ? 6 : static_cast<int>(spec.precision);
    std::chars_format style{};
    switch (spec.conversion) {
      case 'f': style = std::chars_format::fixed; break;
      case 'e': style = std::chars_format::scientific; break;
      case 'g': style = std::chars_format::general; break;
      default: break;
    }
    if (style != std::chars_format{} && append_to_chars(out, value, style, precision)) return VI_SUCCESS;
  }
  return append_formatted(out, c_spec(spec, "", spec.conversion), value);
}

ViStatus write_one(const FormatSpec& spec, va_list* args, Output& out) {
  switch (spec.conversion) {
    case 'd':
    case 'i': {
      long long v = 0;
      switch (spec.length) {
        case LengthModifier::Short: v = static_cast<short>(va_arg(*args, int)); break;
        case LengthModifier::Char: v = static_cast<signed char>(va_arg(*args, int)); break;
        case LengthModifier::LongLong: v = va_arg(*args, ViInt64); break;
        case LengthModifier::LongDouble: return VI_ERROR_NSUP_FMT;
        default: v = va_arg(*args, ViInt32); break;  // VISA's long is 32 bits
      }
      if (is_plain(spec) && spec.precision < 0 && append_to_chars(out, v)) return VI_SUCCESS;
      return append_formatted(out, c_spec(spec, "ll", spec.conversion), v);
    }
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
      unsigned long long v = 0;
      switch (spec.length) {
        case LengthModifier::Short: v = static_cast<unsigned short>(va_arg(*args, unsigned)); break;
        case LengthModifier::Char: v = static_cast<unsigned char>(va_arg(*args, unsigned)); break;
        case LengthModifier::LongLong: v = va_arg(*args, ViUInt64); break;
        case LengthModifier::LongDouble: return VI_ERROR_NSUP_FMT;
        default: v = va_arg(*args, ViUInt32); break;
      }
      if (spec.conversion == 'u' && is_plain(spec) && spec.precision < 0 && append_to_chars(out, v)) return VI_SUCCESS;
      return append_formatted(out, c_spec(spec, "ll", spec.conversion), v);
    }
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      if (spec.length == LengthModifier::LongDouble || spec.length == LengthModifier::Short ||
          spec.length == LengthModifier::Char)
        return VI_ERROR_NSUP_FMT;
      return write_real(spec, va_arg(*args, double), out);
    case 'c':
      return append_formatted(out, c_spec(spec, "", 'c'), va_arg(*args, int));
    case 's': {
      const char* s = va_arg(*args, const char*);
      if (s == nullptr) return VI_ERROR_USER_BUF;
      if (spec.flags == 0 && spec.width < 0 && spec.precision < 0) {
        out.text.append(s);
        return VI_SUCCESS;
      }
      return append_formatted(out, c_spec(spec, "", 's'), s);
    }
    default:
      return VI_ERROR_NSUP_FMT;
  }
}

}  // namespace

ViStatus format_write(const char* format, va_list* args, WriteSink& sink) {
  if (format == nullptr) return VI_ERROR_USER_BUF;
  // A message goes to the sink whole, at its line feed or at the format's end.
  Output out;
  auto flush = [&]() -> ViStatus {
    if (out.text.empty()) return VI_SUCCESS;
    ViStatus st = sink.append(out.text.data(), out.text.size());
    out.text.clear();
    return st;
  };
  std::size_t pos = 0;
  while (format[pos] != '\0') {
    char c = format[pos];
    if (c == '\n') {
      out.text.push_back('\n');
      ++pos;
      ViStatus st = sink.finish_message(out.text.data(), out.text.size());
      out.text.clear();
      if (st < 0) return st;
      continue;
    }
    if (c != '%') {
      // Plain text up to the next conversion or line feed, in one piece.
      const std::size_t run = std::strcspn(format + pos, "%\n");
      out.text.append(format + pos, run);
      pos += run;
      continue;
    }
    ++pos;
    if (format[pos] == '%') {
      out.text.push_back('%');
      ++pos;
      continue;
    }
    FormatSpec spec;
    if (!parse_format_spec(format, pos, false, spec)) return VI_ERROR_INV_FMT;
    if (spec.width_from_args) {
      // long long: wider than int everywhere (long is not, on Windows), so -INT_MIN fits,
      // and the bound is checked before the width is narrowed.
      long long w = va_arg(*args, int);
      if (w < 0) {
        spec.flags |= flag_bit('-');
        w = -w;
      }
      if (w > kMaxFieldWidth) return VI_ERROR_INV_FMT;
      spec.width = static_cast<long>(w);
    }
    if (spec.precision_from_args) {
      int p = va_arg(*args, int);
      spec.precision = p < 0 ? -1 : p;
    }
    // No field is padded or extended to more than this: a width of a billion
    // would otherwise build a gigabyte to send.
    if (spec.width > kMaxFieldWidth || spec.precision > kMaxFieldWidth) return VI_ERROR_INV_FMT;
    ViStatus st = write_one(spec, args, out);
    if (st < 0) return st;
  }
  return flush();
}

}  // namespace visa
