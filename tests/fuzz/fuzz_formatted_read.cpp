// SPDX-License-Identifier: MIT
// Formatted reads: the input is a format, a NUL, then the instrument's reply
// (one message, its last byte marked END).
#include <cstdarg>

#include "formatted_io.h"
#include "fuzz_support.h"
#include "visa.h"

namespace {

class ReplySource final : public visa::ReadSource {
 public:
  explicit ReplySource(std::string_view reply) : reply_(reply) {}
  ViStatus peek(visa::InputBuffer::Item& item) override {
    item = {};
    if (at_ >= reply_.size()) return VI_ERROR_TMO;  // nothing more will come
    item.has_byte = true;
    item.byte = reply_[at_];
    item.ends_by_termchar = item.byte == '\n';
    item.ends_by_end = at_ + 1 == reply_.size();
    return VI_SUCCESS;
  }
  void consume(const visa::InputBuffer::Item& item) override {
    if (item.has_byte) ++at_;
  }
  bool has_buffered() const override { return at_ < reply_.size(); }
  // Up to the first line feed, and never the last byte, which carries END.
  std::string_view plain_run() override {
    if (at_ + 1 >= reply_.size()) return {};
    std::string_view rest = reply_.substr(at_, reply_.size() - at_ - 1);
    return rest.substr(0, rest.find('\n'));
  }
  void take_plain(std::size_t n) override { at_ += n; }

 private:
  std::string_view reply_;
  std::size_t at_ = 0;
};

ViStatus Read(const char* format, visa::ReadSource* source, ...) {
  va_list args;
  va_start(args, source);
  ViStatus st = visa::format_read(format, &args, *source);
  va_end(args);
  return st;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = fuzzing::Text(data, size);
  std::size_t split = input.find('\0');
  if (split == std::string_view::npos || input.size() > fuzzing::kMaxText) return 0;
  std::string format(input.substr(0, split));
  if (!fuzzing::UsableFormat(format)) return 0;
  static fuzzing::Arguments a;
  a.clear();
  ReplySource source(input.substr(split + 1));
  Read(format.c_str(), &source, a.at(0), a.at(1), a.at(2), a.at(3), a.at(4), a.at(5), a.at(6), a.at(7), a.at(8),
       a.at(9), a.at(10), a.at(11), a.at(12), a.at(13), a.at(14), a.at(15));
  return 0;
}
