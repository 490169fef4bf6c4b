// SPDX-License-Identifier: MIT
// XDR (RFC 4506) as far as the VXI-11 and portmapper calls this library makes
// need it: 32-bit integers (int, unsigned, enum, bool, and the short and char
// fields XDR widens to 32 bits) and variable-length opaque data and strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace visa::xdr {

class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}

  Writer& u32(std::uint32_t v) {
    const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    out_.append(bytes, 4);
    return *this;
  }
  Writer& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  // Opaque data and strings alike: the length, the bytes, zeros to a multiple of four.
  Writer& opaque(std::string_view bytes) {
    u32(static_cast<std::uint32_t>(bytes.size()));
    out_.append(bytes);
    out_.append((4 - bytes.size() % 4) % 4, '\0');
    return *this;
  }

 private:
  std::string& out_;
};

// Reads in order; a read past the end, or an opaque longer than its bound,
// fails the reader for good, and what it returns after is zero or empty.
class Reader {
 public:
  Reader(const char* data, std::size_t size) : data_(data), size_(size) {}

  std::uint32_t u32() {
    if (!ok_ || size_ - pos_ < 4) return fail();
    const auto* p = reinterpret_cast<const unsigned char*>(data_ + pos_);
    pos_ += 4;
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  std::string_view opaque(std::size_t most) {
    const std::uint32_t length = u32();
    const std::size_t padded = (std::size_t{length} + 3) & ~std::size_t{3};
    if (!ok_ || length > most || size_ - pos_ < padded) {
      fail();
      return {};
    }
    std::string_view bytes(data_ + pos_, length);
    pos_ += padded;
    return bytes;
  }
  bool ok() const { return ok_; }
  std::size_t left() const { return size_ - pos_; }

 private:
  std::uint32_t fail() {
    ok_ = false;
    return 0;
  }
  const char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace visa::xdr
