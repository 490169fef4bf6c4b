// SPDX-License-Identifier: MIT
// scanf-style conversions for viScanf and the read half of viQueryf.
//
// The scanner sees the input as data bytes and message ends. The line feed (or
// enabled termination character) that closes a message is the message end
// itself: no conversion but "%t"/"%T" stores it, so a field read with "%[^,]"
// never ends in a line feed, whichever transport delivered it.
#include <algorithm>
#include <bitset>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "ascii.h"
#include "format_directive.h"
#include "formatted_io.h"
#include "visa.h"

namespace visa {
namespace {

struct Symbol {
  bool is_end = false;
  char byte = 0;            // the data byte, or the byte that closed the message
  bool end_has_byte = false;
};

class Scanner {
 public:
  explicit Scanner(ReadSource& source) : source_(source) {}

  ViStatus peek(Symbol& sym) {
    sym = Symbol{};
    if (ended_ || pending_end_) {
      sym.is_end = true;
      return VI_SUCCESS;
    }
    // Until something is taken the source has the same thing next: a
    // conversion that stopped at a byte hands it to the next one unasked.
    if (peeked_) {
      sym = peeked_sym_;
      return VI_SUCCESS;
    }
    ViStatus st = source_.peek(item_);
    if (st < 0) return st;
    if (!item_.has_byte) {
      sym.is_end = true;
    } else if (item_.ends_by_termchar || (item_.ends_by_end && item_.byte == '\n')) {
      sym.is_end = true;
      sym.end_has_byte = true;
      sym.byte = item_.byte;
    } else {
      sym.byte = item_.byte;
    }
    peeked_ = true;
    peeked_sym_ = sym;
    return VI_SUCCESS;
  }

  // Takes what the last peek returned.
  void take(const Symbol& sym) {
    peeked_ = false;
    if (sym.is_end) {
      if (pending_end_) {
        pending_end_ = false;
      } else if (!ended_) {
        source_.consume(item_);
      }
      ended_ = true;
      return;
    }
    source_.consume(item_);
    if (item_.ends_by_end) pending_end_ = true;  // a message whose last byte is data
  }

  bool ended() const { return ended_; }

  // Data bytes that can be taken in bulk, with no symbol peeked and unread.
  std::string_view plain_run() {
    // A run holds no byte that ends a message, so none starts at a peeked end.
    if (ended_ || pending_end_ || (peeked_ && peeked_sym_.is_end)) return {};
    return source_.plain_run();
  }
  void take_plain(std::size_t n) {
    if (n > 0) peeked_ = false;
    source_.take_plain(n);
  }

  // Whether the message end is next without waiting for the transport.
  bool end_is_next_without_waiting() {
    if (ended_) return false;
    if (!pending_end_ && !source_.has_buffered()) return false;
    Symbol sym;
    return peek(sym) == VI_SUCCESS && sym.is_end;
  }

  ViStatus skip_space() {
    for (;;) {
      Symbol sym;
      ViStatus st = peek(sym);
      if (st < 0) return st;
      if (sym.is_end || !is_ascii_space(sym.byte)) return VI_SUCCESS;
      take(sym);
    }
  }

  // Discards through the message end. Used after a failed conversion and by "%*t".
  ViStatus discard_message() {
    while (!ended_) {
      Symbol sym;
      ViStatus st = peek(sym);
      if (st < 0) return st;
      take(sym);
    }
    return VI_SUCCESS;
  }

 private:
  ReadSource& source_;
  InputBuffer::Item item_;
  bool ended_ = false;
  bool pending_end_ = false;
  bool peeked_ = false;  // peeked_sym_ is what the source has next
  Symbol peeked_sym_;
};

// Where a text conversion stores its characters, never more than fit.
struct TextTarget {
  char* buffer = nullptr;
  std::size_t capacity = 0;  // characters that may be stored (excluding NUL)
  ViInt32* count_out = nullptr;
  std::size_t stored = 0;

  void put(char c) {
    if (buffer != nullptr && stored < capacity) buffer[stored] = c;
    if (stored < capacity) ++stored;
  }
  void put(std::string_view run) {
    const std::size_t n = std::min(run.size(), capacity - stored);
    if (buffer != nullptr && n > 0) std::memcpy(buffer + stored, run.data(), n);
    stored += n;
  }
  void finish() {
    if (buffer != nullptr) buffer[stored] = '\0';
    if (count_out != nullptr) *count_out = static_cast<ViInt32>(stored);
  }
};

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max() / 2;

// Sets up the destination of "%s", "%[", "%t", "%T": a "#" count comes before the
// buffer and holds its size (NUL included); a width limits the characters read.
ViStatus text_target(const FormatSpec& spec, va_list* args, TextTarget& target,
                     std::size_t& read_limit) {
  read_limit = spec.width > 0 ? static_cast<std::size_t>(spec.width) : kUnlimited;
  if (spec.suppress) {
    target.capacity = 0;
    return VI_SUCCESS;
  }
  std::size_t capacity = read_limit;
  if (spec.has_flag('#')) {
    target.count_out = va_arg(*args, ViInt32*);
    if (target.count_out == nullptr) return VI_ERROR_USER_BUF;
    ViInt32 size = *target.count_out;
    if (size <= 0) return VI_ERROR_USER_BUF;
    capacity = static_cast<std::size_t>(size) - 1;
    if (spec.conversion == '[' || spec.conversion == 's') read_limit = std::min(read_limit, capacity);
  }
  target.buffer = va_arg(*args, char*);
  if (target.buffer == nullptr) return VI_ERROR_USER_BUF;
  target.capacity = capacity;
  return VI_SUCCESS;
}

std::bitset<256> build_scanset(std::string_view text) {
  std::bitset<256> set;
  std::size_t i = 0;
  bool negate = !text.empty() && text[0] == '^';
  if (negate) ++i;
  for (std::size_t first = i; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (i > first && i + 1 < text.size() && text[i] == '-' ) {
      unsigned char lo = static_cast<unsigned char>(text[i - 1]);
      unsigned char hi = static_cast<unsigned char>(text[i + 1]);
      for (unsigned v = lo; v <= hi; ++v) set.set(v);
      ++i;
      continue;
    }
    set.set(c);
  }
  if (negate) set.flip();
  return set;
}

// Which characters may extend a number read so far: NR1, NR2, NR3, and for
// reals the INF/NAN words.
class NumberShape {
 public:
  NumberShape(bool real, int base) : real_(real), base_(base) {}

  // Whether `c` continues the number; moves on if it does.
  bool accept(char c) {
    switch (stage_) {
      case Stage::Sign:
        if (c == '+' || c == '-') {
          stage_ = Stage::IntDigits;
          return true;
        }
        [[fallthrough]];
      case Stage::IntDigits:
        if (base_ == 16 ? is_ascii_xdigit(c) : is_ascii_digit(c)) {
          stage_ = Stage::IntDigits;
          return digit();
        }
        if (base_ == 10 && c == '.') {
          stage_ = Stage::Fraction;
          last_digit_ = false;
          return true;
        }
        if (base_ == 10 && (c == 'e' || c == 'E') && last_digit_) {
          stage_ = Stage::ExpSign;
          last_digit_ = false;
          return true;
        }
        if (real_ && is_ascii_alpha(c) && !any_digit_) {
          stage_ = Stage::Word;  // INF, INFINITY, NAN
          return true;
        }
        return false;
      case Stage::Fraction:
        if (is_ascii_digit(c)) return digit();
        if ((c == 'e' || c == 'E') && any_digit_) {
          stage_ = Stage::ExpSign;
          last_digit_ = false;
          return true;
        }
        return false;
      case Stage::ExpSign:
        if (c != '+' && c != '-' && !is_ascii_digit(c)) return false;
        stage_ = Stage::ExpDigits;
        return true;
      case Stage::ExpDigits:
        return is_ascii_digit(c);
      case Stage::Word:
        return is_ascii_alpha(c);
    }
    return false;
  }

 private:
  enum class Stage { Sign, IntDigits, Fraction, ExpSign, ExpDigits, Word };
  bool digit() {
    any_digit_ = last_digit_ = true;
    return true;
  }
  bool real_;
  int base_;
  Stage stage_ = Stage::Sign;
  bool any_digit_ = false;
  bool last_digit_ = false;
};

// Collects the characters of a number, from what is held in runs and through
// peek for the rest.
ViStatus collect_number(Scanner& in, std::size_t limit, bool real, int base, std::string& text) {
  NumberShape shape(real, base);
  while (text.size() < limit) {
    const std::string_view run = in.plain_run();
    if (!run.empty()) {
      const std::size_t most = std::min(run.size(), limit - text.size());
      std::size_t n = 0;
      while (n < most && shape.accept(run[n])) ++n;
      text.append(run.data(), n);
      in.take_plain(n);
      if (n < most) break;  // a character the number cannot take
      continue;
    }
    Symbol sym;
    ViStatus st = in.peek(sym);
    if (st < 0) return st;
    if (sym.is_end || !shape.accept(sym.byte)) break;
    text.push_back(sym.byte);
    in.take(sym);
  }
  return VI_SUCCESS;
}

bool parse_real(const std::string& text, double& value) {
  std::string_view t = text;
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty() || t.front() == '+') return false;
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  return ec == std::errc{} && p == t.data() + t.size();
}

// Integers: NR1 exactly; NR2/NR3 rounded to the nearest integer, halves away from zero.
bool parse_integer(const std::string& text, int base, long double& value) {
  std::string_view t = text;
  bool negative = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  if (t.empty()) return false;
  if (t.find_first_of(".eE") == std::string_view::npos || base != 10) {
    unsigned long long u = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), u, base);
    if (ec != std::errc{} || p != t.data() + t.size()) return false;
    value = negative ? -static_cast<long double>(u) : static_cast<long double>(u);
    return true;
  }
  double d = 0;
  if (!parse_real(text, d) || !std::isfinite(d)) return false;
  value = std::round(static_cast<long double>(d));
  return true;
}

template <typename T>
bool store_integer(long double value, va_list* args) {
  if (value < static_cast<long double>(std::numeric_limits<T>::min()) ||
      value > static_cast<long double>(std::numeric_limits<T>::max()))
    return false;
  T* target = va_arg(*args, T*);
  if (target == nullptr) return false;
  *target = static_cast<T>(value);
  return true;
}

ViStatus scan_integer(Scanner& in, const FormatSpec& spec, va_list* args) {
  ViStatus st = in.skip_space();
  if (st < 0) return st;
  int base = spec.conversion == 'x' ? 16 : spec.conversion == 'o' ? 8 : 10;
  std::size_t limit = spec.width > 0 ? static_cast<std::size_t>(spec.width) : kUnlimited;
  std::string text;
  st = collect_number(in, limit, false, base, text);
  if (st < 0) return st;
  long double value = 0;
  if (!parse_integer(text, base, value)) return VI_ERROR_INV_FMT;
  if (spec.suppress) return VI_SUCCESS;
  bool is_unsigned = spec.conversion != 'd' && spec.conversion != 'i';
  bool ok = false;
  switch (spec.length) {
    case LengthModifier::Short:
      ok = is_unsigned ? store_integer<ViUInt16>(value, args) : store_integer<ViInt16>(value, args);
      break;
    case LengthModifier::Char:
      ok = is_unsigned ? store_integer<ViUInt8>(value, args) : store_integer<ViInt8>(value, args);
      break;
    case LengthModifier::LongLong:
      ok = is_unsigned ? store_integer<ViUInt64>(value, args) : store_integer<ViInt64>(value, args);
      break;
    case LengthModifier::LongDouble:
      return VI_ERROR_NSUP_FMT;
    default:  // none or 'l': VISA's 32-bit long
      ok = is_unsigned ? store_integer<ViUInt32>(value, args) : store_integer<ViInt32>(value, args);
      break;
  }
  return ok ? VI_SUCCESS : VI_ERROR_INV_FMT;
}

ViStatus scan_real(Scanner& in, const FormatSpec& spec, va_list* args) {
  ViStatus st = in.skip_space();
  if (st < 0) return st;
  std::size_t limit = spec.width > 0 ? static_cast<std::size_t>(spec.width) : kUnlimited;
  std::string text;
  st = collect_number(in, limit, true, 10, text);
  if (st < 0) return st;
  double value = 0;
  if (!parse_real(text, value)) return VI_ERROR_INV_FMT;
  if (spec.suppress) return VI_SUCCESS;
  if (spec.length == LengthModifier::Long) {
    ViReal64* target = va_arg(*args, ViReal64*);
    if (target == nullptr) return VI_ERROR_USER_BUF;
    *target = value;
  } else if (spec.length == LengthModifier::None) {
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
      return VI_ERROR_INV_FMT;
    ViReal32* target = va_arg(*args, ViReal32*);
    if (target == nullptr) return VI_ERROR_USER_BUF;
    *target = static_cast<ViReal32>(value);
  } else {
    return VI_ERROR_NSUP_FMT;
  }
  return VI_SUCCESS;
}

// The one byte a scan set refuses when it is written as "^" and that byte
// ("%[^\n]", "%[^,]"), or -1: such a set is scanned with memchr.
int sole_refused_byte(std::string_view scanset) {
  if (scanset.size() != 2 || scanset[0] != '^') return -1;
  return static_cast<unsigned char>(scanset[1]);
}

// "%s" and "%[...]": a run of accepted data bytes, never past the message end.
ViStatus scan_run(Scanner& in, const FormatSpec& spec, va_list* args) {
  const bool is_string = spec.conversion == 's';
  const int refused = is_string ? -1 : sole_refused_byte(spec.scanset);
  std::bitset<256> accepted;
  if (is_string) {
    ViStatus st = in.skip_space();
    if (st < 0) return st;
  } else if (refused < 0) {
    accepted = build_scanset(spec.scanset);
  }
  TextTarget target;
  std::size_t limit = 0;
  ViStatus st = text_target(spec, args, target, limit);
  if (st < 0) return st;
  std::size_t taken = 0;
  auto accepts = [&](char c) -> bool {
    if (is_string) return !is_ascii_space(c);
    if (refused >= 0) return static_cast<unsigned char>(c) != refused;
    return accepted[static_cast<unsigned char>(c)];
  };
  while (taken < limit) {
    // What is already held goes in runs; a byte that ends a message, or one
    // yet to arrive, goes through peek.
    const std::string_view run = in.plain_run();
    if (!run.empty()) {
      const std::size_t most = std::min(run.size(), limit - taken);
      std::size_t n = 0;
      if (refused >= 0) {
        const void* hit = std::memchr(run.data(), refused, most);
        n = hit != nullptr ? static_cast<std::size_t>(static_cast<const char*>(hit) - run.data()) : most;
      } else {
        while (n < most && accepts(run[n])) ++n;
      }
      target.put(run.substr(0, n));
      in.take_plain(n);
      taken += n;
      if (n < most) break;  // a byte outside the set
      continue;
    }
    Symbol sym;
    st = in.peek(sym);
    if (st < 0) return st;
    if (sym.is_end) break;
    if (!accepts(sym.byte)) break;
    target.put(sym.byte);
    in.take(sym);
    ++taken;
  }
  if (is_string && taken == 0) return VI_ERROR_INV_FMT;
  if (!spec.suppress) target.finish();
  return VI_SUCCESS;
}

// "%t" and "%T": the rest of the message, its closing line feed included; what
// does not fit the buffer is read and dropped.
ViStatus scan_rest(Scanner& in, const FormatSpec& spec, va_list* args) {
  TextTarget target;
  std::size_t limit = 0;
  ViStatus st = text_target(spec, args, target, limit);
  if (st < 0) return st;
  if (target.buffer != nullptr) target.capacity = std::min(target.capacity, limit);
  if (spec.suppress && in.ended()) return VI_SUCCESS;
  while (!in.ended()) {
    const std::string_view run = in.plain_run();
    if (!run.empty()) {
      target.put(run);
      in.take_plain(run.size());
      continue;
    }
    Symbol sym;
    st = in.peek(sym);
    if (st < 0) return st;
    if (!sym.is_end || sym.end_has_byte) target.put(sym.byte);
    in.take(sym);
  }
  if (!spec.suppress) target.finish();
  return VI_SUCCESS;
}

ViStatus scan_chars(Scanner& in, const FormatSpec& spec, va_list* args) {
  std::size_t count = spec.width > 0 ? static_cast<std::size_t>(spec.width) : 1;
  char* target = spec.suppress ? nullptr : va_arg(*args, char*);
  if (!spec.suppress && target == nullptr) return VI_ERROR_USER_BUF;
  for (std::size_t i = 0; i < count; ++i) {
    Symbol sym;
    ViStatus st = in.peek(sym);
    if (st < 0) return st;
    if (sym.is_end) return VI_ERROR_INV_FMT;
    if (target != nullptr) target[i] = sym.byte;
    in.take(sym);
  }
  return VI_SUCCESS;
}

ViStatus scan_one(Scanner& in, const FormatSpec& spec, va_list* args) {
  switch (spec.conversion) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'o':
      return scan_integer(in, spec, args);
    case 'f':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
      return scan_real(in, spec, args);
    case 's':
    case '[':
      return scan_run(in, spec, args);
    case 't':
    case 'T':
      return scan_rest(in, spec, args);
    case 'c':
      return scan_chars(in, spec, args);
    default:
      return VI_ERROR_NSUP_FMT;
  }
}

ViStatus run_format(Scanner& in, const char* format, va_list* args) {
  std::size_t pos = 0;
  while (format[pos] != '\0') {
    char c = format[pos];
    if (is_ascii_space(c)) {
      ++pos;
      ViStatus st = in.skip_space();
      if (st < 0) return st;
      continue;
    }
    if (c != '%' || format[pos + 1] == '%') {
      pos += c == '%' ? 2 : 1;
      Symbol sym;
      ViStatus st = in.peek(sym);
      if (st < 0) return st;
      if (sym.is_end || sym.byte != c) return VI_ERROR_INV_FMT;
      in.take(sym);
      continue;
    }
    ++pos;
    FormatSpec spec;
    if (!parse_format_spec(format, pos, true, spec)) return VI_ERROR_INV_FMT;
    ViStatus st = scan_one(in, spec, args);
    if (st < 0) return st;
  }
  return VI_SUCCESS;
}

}  // namespace

ViStatus format_read(const char* format, va_list* args, ReadSource& source) {
  if (format == nullptr) return VI_ERROR_USER_BUF;
  Scanner in(source);
  ViStatus st = run_format(in, format, args);
  if (st == VI_ERROR_INV_FMT || st == VI_ERROR_NSUP_FMT || st == VI_ERROR_USER_BUF) {
    // A reply that does not parse is dropped whole, so the next read starts fresh.
    in.discard_message();
    return st;
  }
  if (st < 0) return st;
  // The line feed that closed the last field belongs to this message.
  if (in.end_is_next_without_waiting()) {
    Symbol sym;
    in.peek(sym);
    in.take(sym);
  }
  return VI_SUCCESS;
}

}  // namespace visa
