// SPDX-License-Identifier: MIT
// The formatted-I/O engine: VISA's printf- and scanf-style conversions over a
// session's write buffer and its buffered input.
#pragma once

#include <cstdarg>
#include <string_view>
#include <cstddef>

#include "input_buffer.h"
#include "visatype.h"

namespace visa {

// Where formatted output goes. A "\n" in the format string ends a message.
class WriteSink {
 public:
  virtual ~WriteSink() = default;
  virtual ViStatus append(const char* data, std::size_t size) = 0;
  virtual ViStatus end_message() = 0;
  // The last bytes of a message and its end; a sink may send them from where they are.
  virtual ViStatus finish_message(const char* data, std::size_t size) {
    ViStatus st = append(data, size);
    return st < 0 ? st : end_message();
  }
};

// Where formatted input comes from: the session's buffered input.
class ReadSource {
 public:
  virtual ~ReadSource() = default;
  virtual ViStatus peek(InputBuffer::Item& item) = 0;
  virtual void consume(const InputBuffer::Item& item) = 0;
  // True when the next item is already held, so looking at it cannot block.
  virtual bool has_buffered() const = 0;
  // The data bytes held that end no message, seen without waiting (perhaps
  // none), and taking the first `n` of them: conversions scan runs in bulk.
  virtual std::string_view plain_run() = 0;
  virtual void take_plain(std::size_t n) = 0;
};

// Both take the argument list by pointer so that a query's write and read
// halves consume one list in turn. Integer sizes follow the VISA types: "%d"
// and "%ld" are ViInt32, "%hd" ViInt16, "%lld" ViInt64.
ViStatus format_write(const char* format, va_list* args, WriteSink& sink);
ViStatus format_read(const char* format, va_list* args, ReadSource& source);

}  // namespace visa
