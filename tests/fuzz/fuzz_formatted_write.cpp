// SPDX-License-Identifier: MIT
// Formatted writes: the input is the format; every argument points at a
// zeroed buffer (an empty string, a zero number).
#include <cstdarg>

#include "formatted_io.h"
#include "fuzz_support.h"
#include "visa.h"

namespace {

class BoundedSink final : public visa::WriteSink {
 public:
  ViStatus append(const char* data, std::size_t size) override {
    written_ += size;
    (void)data;
    return written_ > (1u << 24) ? VI_ERROR_IO : VI_SUCCESS;
  }
  ViStatus end_message() override { return VI_SUCCESS; }

 private:
  std::size_t written_ = 0;
};

ViStatus Write(const char* format, visa::WriteSink* sink, ...) {
  va_list args;
  va_start(args, sink);
  ViStatus st = visa::format_write(format, &args, *sink);
  va_end(args);
  return st;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string format(fuzzing::Text(data, size));
  if (format.size() > fuzzing::kMaxText || format.find('\0') != std::string::npos || !fuzzing::UsableFormat(format))
    return 0;
  static fuzzing::Arguments a;
  a.clear();
  BoundedSink sink;
  Write(format.c_str(), &sink, a.at(0), a.at(1), a.at(2), a.at(3), a.at(4), a.at(5), a.at(6), a.at(7), a.at(8),
        a.at(9), a.at(10), a.at(11), a.at(12), a.at(13), a.at(14), a.at(15));
  return 0;
}
