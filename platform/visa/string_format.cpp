// SPDX-License-Identifier: MIT
#include "string_format.h"

#include "formatted_io.h"
#include "visa.h"

namespace visa {
namespace {

class StringSink final : public WriteSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  ViStatus append(const char* data, std::size_t size) override {
    out_.append(data, size);
    return VI_SUCCESS;
  }
  ViStatus end_message() override { return VI_SUCCESS; }  // nothing to send

 private:
  std::string& out_;
};

class StringSource final : public ReadSource {
 public:
  explicit StringSource(std::string_view text) : text_(text) {}
  ViStatus peek(InputBuffer::Item& item) override {
    item = {};
    if (pos_ < text_.size()) {
      item.has_byte = true;
      item.byte = text_[pos_];
      item.ends_by_end = pos_ + 1 == text_.size();
    } else {
      item.ends_by_end = true;  // past the end: a message end with no byte
    }
    return VI_SUCCESS;
  }
  void consume(const InputBuffer::Item& item) override {
    if (item.has_byte) ++pos_;
  }
  bool has_buffered() const override { return true; }
  // All but the last byte, which ends the message.
  std::string_view plain_run() override {
    return pos_ + 1 < text_.size() ? text_.substr(pos_, text_.size() - pos_ - 1) : std::string_view{};
  }
  void take_plain(std::size_t n) override { pos_ += n; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

ViStatus format_to_string(const char* format, va_list* args, std::string& out) {
  StringSink sink(out);
  return format_write(format, args, sink);
}

ViStatus scan_from_string(std::string_view text, const char* format, va_list* args) {
  StringSource source(text);
  return format_read(format, args, source);
}

}  // namespace visa
