// SPDX-License-Identifier: MIT
// Asynchronous I/O: viReadAsync, viWriteAsync and viTerminate. Each job ends
// with a VI_EVENT_IO_COMPLETION (by queue or handler, as enabled).
#include "api_guard.h"
#include "visa.h"

using visa::InstrumentSession;

extern "C" {

ViStatus viReadAsync(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPJobId jobId) {
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    ViJobId job = VI_NULL;
    ViStatus st = s.jobs().start_read(buf, cnt, job);
    if (jobId != nullptr) *jobId = job;
    return st;
  });
}

ViStatus viWriteAsync(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPJobId jobId) {
  return visa::with_accessible_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    ViJobId job = VI_NULL;
    ViStatus st = s.jobs().start_write(buf, cnt, job);
    if (jobId != nullptr) *jobId = job;
    return st;
  });
}

// VI_NULL as the job stops every job of the session; VI_NULL is the only degree.
ViStatus viTerminate(ViObject vi, ViUInt16 degree, ViJobId jobId) {
  return visa::with_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (degree != VI_NULL) return VI_ERROR_INV_DEGREE;
    return s.jobs().terminate(jobId);
  });
}

}  // extern "C"
