// SPDX-License-Identifier: MIT
// The I/O trace: with ZEVRA_VISA_TRACE=FILE (or "-" for standard error) every
// exported call appends one line: wall-clock time to the microsecond, thread,
// session, the call, the resource at open, the bytes written and read, the
// status with its name, and how long it took. The variable is looked up once;
// without it a call costs one test of a flag. Lines are written whole.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "visatype.h"

namespace visa {

// Decided once, while the library loads: a call that is not traced costs a
// test of this flag and no function call.
extern const bool kTraceEnabled;
inline bool trace_enabled() { return kTraceEnabled; }

// One exported call being traced. Calls made inside it are part of it.
class TracedCall {
 public:
  TracedCall(const char* operation, ViObject object) noexcept {
    if (trace_enabled()) begin(operation, object);
  }
  ~TracedCall() = default;
  TracedCall(const TracedCall&) = delete;
  TracedCall& operator=(const TracedCall&) = delete;
  // Writes the line (when this call is traced) and hands the status back.
  ViStatus finish(ViStatus status) noexcept { return active_ ? finish_traced(status) : status; }

 private:
  void begin(const char* operation, ViObject object) noexcept;
  ViStatus finish_traced(ViStatus status) noexcept;
  bool active_ = false;
};

// What the call in progress on this thread did; nothing when none is traced.
void keep_written(const char* data, std::size_t size) noexcept;
void keep_read(const char* data, std::size_t size) noexcept;
inline void trace_written(const char* data, std::size_t size) noexcept {
  if (trace_enabled()) keep_written(data, size);
}
inline void trace_read(const char* data, std::size_t size) noexcept {
  if (trace_enabled()) keep_read(data, size);
}
// What the call is about ("TCPIP0::...::SOCKET (session 0x1002)"); a later one replaces it.
void trace_detail(const std::string& text) noexcept;
// Something met on the way (a discovery's outcome, why a port was refused),
// added to the line in brackets after the detail; notes never replace each other.
void trace_note(const std::string& text) noexcept;

}  // namespace visa
