// SPDX-License-Identifier: MIT
#include "async_jobs.h"

#include "instrument_session.h"

namespace visa {
namespace {

// Job IDs are unique in the process; VI_NULL names no job.
ViJobId NextJobId() {
  static std::atomic<ViJobId> next{1};
  ViJobId id = next.fetch_add(1);
  return id != VI_NULL ? id : next.fetch_add(1);
}

}  // namespace

AsyncJobs::~AsyncJobs() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
    abort_running_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

ViStatus AsyncJobs::start_read(ViBuf buffer, ViUInt32 count, ViJobId& job) {
  return start({VI_NULL, true, buffer, count}, job);
}

ViStatus AsyncJobs::start_write(ViConstBuf buffer, ViUInt32 count, ViJobId& job) {
  return start({VI_NULL, false, const_cast<ViByte*>(buffer), count}, job);
}

ViStatus AsyncJobs::start(const Job& job, ViJobId& id) {
  std::lock_guard lock(mutex_);
  queue_.push_back(job);
  queue_.back().id = id = NextJobId();
  if (!worker_.joinable()) worker_ = std::thread([this] { run(); });
  wake_.notify_all();
  return VI_SUCCESS;
}

ViStatus AsyncJobs::terminate(ViJobId job) {
  std::deque<Job> taken;
  std::unique_lock lock(mutex_);
  for (auto it = queue_.begin(); it != queue_.end();) {
    if (job == VI_NULL || it->id == job) {
      taken.push_back(*it);
      it = queue_.erase(it);
    } else {
      ++it;
    }
  }
  const bool stops_running = running_ != VI_NULL && (job == VI_NULL || running_ == job);
  if (taken.empty() && !stops_running) return job == VI_NULL ? VI_SUCCESS : VI_ERROR_INV_JOB_ID;
  if (stops_running) {
    abort_running_ = true;
    const ViJobId stopping = running_;
    finished_.wait(lock, [&] { return running_ != stopping; });
  }
  lock.unlock();
  for (const Job& j : taken) complete(j, VI_ERROR_ABORT, 0);
  return VI_SUCCESS;
}

void AsyncJobs::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const Job job = queue_.front();
    queue_.pop_front();
    running_ = job.id;
    abort_running_ = false;
    lock.unlock();
    std::size_t moved = 0;
    ViStatus status = job.read ? session_.read_job(static_cast<char*>(job.buffer), job.count, moved, abort_running_)
                               : session_.write(static_cast<const char*>(job.buffer), job.count, moved);
    // A job stopped while it ran (a USB read runs to its end) reports that it was stopped.
    if (abort_running_ && status == VI_ERROR_TMO) status = VI_ERROR_ABORT;
    lock.lock();
    // Delivered before viTerminate returns; a session being closed delivers no more events.
    if (!stopping_) complete(job, status, moved);
    running_ = VI_NULL;
    finished_.notify_all();
    if (stopping_) return;
  }
}

// Queues the event or hands it to the handlers' thread: no handler runs here.
void AsyncJobs::complete(const Job& job, ViStatus status, ViUInt64 count) {
  EventData event;
  event.type = VI_EVENT_IO_COMPLETION;
  event.status = status;
  event.job = job.id;
  event.buffer = job.buffer;
  event.count = count;
  event.operation = job.read ? "viReadAsync" : "viWriteAsync";
  session_.events().occurred(event);
}

}  // namespace visa
