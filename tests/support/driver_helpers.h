// SPDX-License-Identifier: MIT
// Helpers for driver tests: recorded errors and the session object behind a handle.
#pragma once

#include <string>

#include "ZEVRA.h"
#include "frame.h"

namespace testsupport {

struct RecordedError {
  ViStatus code = 0;
  std::string text;
};

// Reads (and so clears) the error recorded on vi, or the thread's last error for VI_NULL.
inline RecordedError LastError(ViSession vi) {
  RecordedError e;
  char text[1024] = "";
  ZEVRA_GetError(vi, &e.code, sizeof text, text);
  e.text = text;
  return e;
}

inline vexo::DriverSession& Session(ViSession vi) { return *vexo::ResolveSession(vi); }

// Closes a driver session when the test ends.
class DriverHandle {
 public:
  DriverHandle() = default;
  ~DriverHandle() {
    if (vi_ != VI_NULL) ZEVRA_close(vi_);
  }
  DriverHandle(const DriverHandle&) = delete;
  DriverHandle& operator=(const DriverHandle&) = delete;
  ViSession* out() { return &vi_; }
  ViSession get() const { return vi_; }
  operator ViSession() const { return vi_; }
  ViStatus open(const std::string& resource, const std::string& options, ViBoolean id_query = VI_FALSE,
                ViBoolean reset = VI_FALSE) {
    std::string name = resource;
    return ZEVRA_InitWithOptions(name.data(), id_query, reset, options.c_str(), &vi_);
  }

 private:
  ViSession vi_ = VI_NULL;
};

}  // namespace testsupport
