// SPDX-License-Identifier: MIT
// Asynchronous I/O: viReadAsync, viWriteAsync and viTerminate. Each job ends
// with a VI_EVENT_IO_COMPLETION (by queue or handler, as enabled).
#include "api_guard.h"
#include "visa.h"

using visa::InstrumentSession;

namespace {

// Starts a job with `start` (the session's start_read or start_write) and
// hands its ID back where the caller asked for it.
template <typename Buffer, typename Start>
ViStatus StartJob(const char* operation, ViSession vi, Buffer buf, ViUInt32 cnt, ViPJobId jobId, Start start) {
  return visa::with_accessible_session(operation, vi, [&](InstrumentSession& s) -> ViStatus {
    if (buf == nullptr && cnt > 0) return VI_ERROR_USER_BUF;
    ViJobId job = VI_NULL;
    ViStatus st = start(s.jobs(), job);
    if (jobId != nullptr) *jobId = job;
    return st;
  });
}

}  // namespace

extern "C" {

ViStatus viReadAsync(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPJobId jobId) {
  return StartJob(__func__, vi, buf, cnt, jobId,
                  [&](visa::AsyncJobs& jobs, ViJobId& job) { return jobs.start_read(buf, cnt, job); });
}

ViStatus viWriteAsync(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPJobId jobId) {
  return StartJob(__func__, vi, buf, cnt, jobId,
                  [&](visa::AsyncJobs& jobs, ViJobId& job) { return jobs.start_write(buf, cnt, job); });
}

// VI_NULL as the job stops every job of the session; VI_NULL is the only degree.
ViStatus viTerminate(ViObject vi, ViUInt16 degree, ViJobId jobId) {
  return visa::with_session(__func__, vi, [&](InstrumentSession& s) -> ViStatus {
    if (degree != VI_NULL) return VI_ERROR_INV_DEGREE;
    return s.jobs().terminate(jobId);
  });
}

}  // extern "C"
