// printf-style conversions for viPrintf and the write half of viQueryf.
#include <cstdio>
#include <cstring>
#include <string>

#include "c_locale.h"
#include "format_directive.h"
#include "formatted_io.h"
#include "visa.h"

namespace visa {
namespace {

// Builds the specification snprintf sees: our flags, width and precision, with
// the length modifier replaced by the one matching the value actually passed.
std::string c_spec(const FormatSpec& spec, const char* length, char conversion) {
  std::string s = "%" + spec.flags;
  if (spec.width >= 0) s += std::to_string(spec.width);
  if (spec.precision >= 0) s += "." + std::to_string(spec.precision);
  s += length;
  s += conversion;
  return s;
}

template <typename T>
ViStatus append_formatted(WriteSink& sink, const std::string& spec, T value) {
  char small[128];
  int n = std::snprintf(small, sizeof small, spec.c_str(), value);
  if (n < 0) return VI_ERROR_INV_FMT;
  if (static_cast<std::size_t>(n) < sizeof small) return sink.append(small, static_cast<std::size_t>(n));
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), spec.c_str(), value);
  return sink.append(big.data(), static_cast<std::size_t>(n));
}

ViStatus write_one(const FormatSpec& spec, va_list* args, WriteSink& sink) {
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
      return append_formatted(sink, c_spec(spec, "ll", spec.conversion), v);
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
      return append_formatted(sink, c_spec(spec, "ll", spec.conversion), v);
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
      return append_formatted(sink, c_spec(spec, "", spec.conversion), va_arg(*args, double));
    case 'c':
      return append_formatted(sink, c_spec(spec, "", 'c'), va_arg(*args, int));
    case 's': {
      const char* s = va_arg(*args, const char*);
      if (s == nullptr) return VI_ERROR_USER_BUF;
      return append_formatted(sink, c_spec(spec, "", 's'), s);
    }
    default:
      return VI_ERROR_NSUP_FMT;
  }
}

}  // namespace

ViStatus format_write(const char* format, va_list* args, WriteSink& sink) {
  if (format == nullptr) return VI_ERROR_USER_BUF;
  ScopedCLocale c_locale;
  std::size_t pos = 0;
  std::string literal;
  auto flush_literal = [&]() -> ViStatus {
    if (literal.empty()) return VI_SUCCESS;
    ViStatus st = sink.append(literal.data(), literal.size());
    literal.clear();
    return st;
  };
  while (format[pos] != '\0') {
    char c = format[pos];
    if (c == '\n') {
      literal.push_back('\n');
      ++pos;
      ViStatus st = flush_literal();
      if (st < 0) return st;
      st = sink.end_message();
      if (st < 0) return st;
      continue;
    }
    if (c != '%') {
      // Plain text up to the next conversion or line feed, in one piece.
      const std::size_t run = std::strcspn(format + pos, "%\n");
      literal.append(format + pos, run);
      pos += run;
      continue;
    }
    ++pos;
    if (format[pos] == '%') {
      literal.push_back('%');
      ++pos;
      continue;
    }
    FormatSpec spec;
    if (!parse_format_spec(format, pos, false, spec)) return VI_ERROR_INV_FMT;
    if (spec.width_from_args) {
      long w = va_arg(*args, int);  // long: negating INT_MIN must not overflow
      if (w < 0) {
        spec.flags.push_back('-');
        w = -w;
      }
      spec.width = w;
    }
    if (spec.precision_from_args) {
      int p = va_arg(*args, int);
      spec.precision = p < 0 ? -1 : p;
    }
    // No field is padded or extended to more than this: a width of a billion
    // would otherwise build a gigabyte to send.
    if (spec.width > kMaxFieldWidth || spec.precision > kMaxFieldWidth) return VI_ERROR_INV_FMT;
    ViStatus st = flush_literal();
    if (st < 0) return st;
    st = write_one(spec, args, sink);
    if (st < 0) return st;
  }
  return flush_literal();
}

}  // namespace visa
