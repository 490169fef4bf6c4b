// SPDX-License-Identifier: MIT
// A session's asynchronous reads and writes (viReadAsync, viWriteAsync): run
// one after another, in the order started, on a thread of the session's own;
// each ends with a VI_EVENT_IO_COMPLETION carrying its status, job ID, buffer
// and count. viTerminate takes a job that has not started out of the line
// (it completes with VI_ERROR_ABORT), and stops a running read at its next
// slice; closing the session does both to every job, without events.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "event_data.h"
#include "visa.h"

namespace visa {

class InstrumentSession;

class AsyncJobs {
 public:
  explicit AsyncJobs(InstrumentSession& session) : session_(session) {}
  ~AsyncJobs();
  AsyncJobs(const AsyncJobs&) = delete;
  AsyncJobs& operator=(const AsyncJobs&) = delete;

  ViStatus start_read(ViBuf buffer, ViUInt32 count, ViJobId& job);
  ViStatus start_write(ViConstBuf buffer, ViUInt32 count, ViJobId& job);
  // One job, or every job of the session for VI_NULL; returns once a running
  // job it stops has stopped. VI_ERROR_INV_JOB_ID for no such outstanding job.
  ViStatus terminate(ViJobId job);

 private:
  struct Job {
    ViJobId id;
    bool read;
    ViAddr buffer;
    ViUInt32 count;
  };
  ViStatus start(const Job& job, ViJobId& id);
  void run();
  void complete(const Job& job, ViStatus status, ViUInt64 count);

  InstrumentSession& session_;
  std::mutex mutex_;
  std::condition_variable wake_;      // a job was queued, or stop
  std::condition_variable finished_;  // the running job ended
  std::deque<Job> queue_;
  ViJobId running_ = VI_NULL;
  std::atomic<bool> abort_running_{false};
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace visa
