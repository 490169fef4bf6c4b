// SPDX-License-Identifier: MIT
// A VISA session handle that closes itself: the resource manager session of a
// driver session (closing it closes the instrument session opened from it).
#pragma once

#include "visa.h"

namespace vexo {

class VisaHandle {
 public:
  VisaHandle() = default;
  ~VisaHandle() { Close(); }
  VisaHandle(const VisaHandle&) = delete;
  VisaHandle& operator=(const VisaHandle&) = delete;

  ViSession get() const { return handle_; }
  // Where viOpenDefaultRM writes the new handle; the previous one is closed first.
  ViSession* Out() {
    Close();
    return &handle_;
  }
  // Closes the handle; one that fails to close is kept, so the status is the caller's to act on.
  ViStatus Close() {
    if (handle_ == 0) return VI_SUCCESS;
    ViStatus st = viClose(handle_);
    if (st >= 0) handle_ = 0;
    return st;
  }

 private:
  ViSession handle_ = 0;
};

}  // namespace vexo
