// SPDX-License-Identifier: MIT
#include "hislip_async_channel.h"

#include <chrono>
#include <utility>

#include "visa.h"

namespace visa {
namespace {

// A message that has begun to arrive is read whole within this time.
constexpr std::uint32_t kWholeMessageMs = 5000;

bool IsResponseTo(std::uint8_t type, std::uint8_t response) {
  return type == response || type == hislip::kError || type == hislip::kFatalError;
}

ViStatus Outcome(const hislip::Header& h) {
  if (h.type == hislip::kFatalError) return VI_ERROR_CONN_LOST;
  if (h.type == hislip::kError) return VI_ERROR_IO;
  return VI_SUCCESS;
}

}  // namespace

ViStatus ReceiveHislipMessage(TcpConnection& connection, Deadline deadline, hislip::Header& h, std::string& payload) {
  unsigned char header[hislip::kHeaderSize];
  ViStatus st = connection.read_exact(header, sizeof header, deadline);
  if (st < 0) return st;
  if (!hislip::Decode(header, h) || h.length > kHislipOurMaximumMessageSize) return VI_ERROR_CONN_LOST;
  payload.resize(static_cast<std::size_t>(h.length));
  if (h.length == 0) return VI_SUCCESS;
  return connection.read_exact(payload.data(), payload.size(), deadline);
}

HislipAsyncChannel::HislipAsyncChannel() = default;

HislipAsyncChannel::~HislipAsyncChannel() { stop_service_requests(); }

bool HislipAsyncChannel::settles_owed(std::uint8_t type) {
  if (owed_.empty() || !IsResponseTo(type, owed_.front())) return false;
  owed_.pop_front();
  return true;
}

ViStatus HislipAsyncChannel::transaction(const std::string& message, std::uint8_t response, Deadline deadline,
                                         hislip::Header& h, std::string& payload) {
  {
    std::lock_guard lock(mutex_);
    // A channel left out of step (a reader stopped mid-message) stays lost.
    if (reader_status_ < 0) return reader_status_;
    if (reader_.joinable()) {
      responses_.clear();
      awaiting_ = true;
      awaited_ = response;
    }
  }
  ViStatus st = connection_.write_all(message.data(), message.size(), deadline);
  if (reader_.joinable()) {
    if (st >= 0) return wait_for(response, deadline, h, payload);
    std::lock_guard lock(mutex_);
    awaiting_ = false;
    return st;
  }
  if (st < 0) return st;
  for (;;) {
    st = ReceiveHislipMessage(connection_, deadline, h, payload);
    if (st == VI_ERROR_TMO) owed_.push_back(response);  // its answer may still come: not ours then
    if (st < 0) return st;
    if (IsResponseTo(h.type, response) && !settles_owed(h.type)) return Outcome(h);
    // Anything else (a service request nobody asked for, a late answer) is passed over.
  }
}

ViStatus HislipAsyncChannel::wait_for(std::uint8_t response, Deadline deadline, hislip::Header& h,
                                      std::string& payload) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!responses_.empty()) {
      h = responses_.front().first;
      payload = std::move(responses_.front().second);
      responses_.clear();
      awaiting_ = false;
      return Outcome(h);
    }
    if (reader_status_ < 0) {
      awaiting_ = false;
      return reader_status_;
    }
    const int ms = deadline.poll_timeout_ms();
    if (ms == 0) {
      awaiting_ = false;
      owed_.push_back(response);  // its answer may still come: not for the next request
      return VI_ERROR_TMO;
    }
    if (ms < 0)
      arrived_.wait(lock);
    else
      arrived_.wait_for(lock, std::chrono::milliseconds(ms));
  }
}

ViStatus HislipAsyncChannel::start_service_requests(std::function<void()> notify) {
  // Made with the first reader: most sessions never start one.
  if (!wake_) wake_ = std::make_unique<Wakeup>();
  if (!wake_->ok()) return VI_ERROR_SYSTEM_ERROR;
  if (reader_.joinable()) return VI_SUCCESS;
  {
    std::lock_guard lock(mutex_);
    if (reader_status_ < 0) return reader_status_;
    notify_ = std::move(notify);
    responses_.clear();
  }
  reader_ = std::thread([this] { read_loop(); });
  return VI_SUCCESS;
}

void HislipAsyncChannel::stop_service_requests() {
  if (!reader_.joinable()) return;
  wake_->signal();
  reader_.join();
  wake_->clear();
  std::lock_guard lock(mutex_);
  notify_ = nullptr;
  responses_.clear();
}

namespace {

// Reads `size` bytes, watching for the wake-up between pieces.
// 1: read; 0: woken; -1: broken or stalled past the deadline.
int ReadOrWake(TcpConnection& connection, const Wakeup& wake, char* data, std::size_t size, Deadline deadline) {
  while (size > 0) {
    const ViStatus ready = wake.wait_readable(connection.fd(), deadline.poll_timeout_ms());
    if (ready == VI_ERROR_ABORT) return 0;
    if (ready != VI_SUCCESS) return -1;
    std::size_t got = 0;
    const ViStatus st = connection.read_available(data, size, got);
    if (st == VI_ERROR_TMO) continue;
    if (st < 0) return -1;
    data += got;
    size -= got;
  }
  return 1;
}

}  // namespace

bool HislipAsyncChannel::read_message(hislip::Header& h, std::string& payload, ViStatus& status) {
  const Deadline deadline = Deadline::after_ms(kWholeMessageMs);
  unsigned char header[hislip::kHeaderSize];
  int got = ReadOrWake(connection_, *wake_, reinterpret_cast<char*>(header), sizeof header, deadline);
  if (got > 0 && (!hislip::Decode(header, h) || h.length > kHislipOurMaximumMessageSize)) got = -1;
  if (got > 0) {
    payload.resize(static_cast<std::size_t>(h.length));
    got = ReadOrWake(connection_, *wake_, payload.data(), payload.size(), deadline);
  }
  status = got > 0 ? VI_SUCCESS : VI_ERROR_CONN_LOST;
  return got > 0;
}

void HislipAsyncChannel::read_loop() {
  for (;;) {
    const ViStatus ready = wake_->wait_readable(connection_.fd(), -1);
    if (ready == VI_ERROR_ABORT) return;
    if (ready != VI_SUCCESS) break;
    hislip::Header h;
    std::string payload;
    ViStatus st = VI_SUCCESS;
    const bool whole = read_message(h, payload, st);
    std::unique_lock lock(mutex_);
    if (!whole) {
      // Woken mid-message or broken: either way the channel is out of step.
      reader_status_ = VI_ERROR_CONN_LOST;
      arrived_.notify_all();
      return;
    }
    if (h.type == hislip::kAsyncServiceRequest) {
      std::function<void()> notify = notify_;
      lock.unlock();
      if (notify) notify();
      continue;
    }
    if (settles_owed(h.type)) continue;
    // Only the answer a request waits for is kept: whatever else a server
    // sends is dropped, so it cannot grow this client's memory.
    if (awaiting_ && responses_.empty() && IsResponseTo(h.type, awaited_)) {
      responses_.emplace_back(h, std::move(payload));
      arrived_.notify_all();
    }
  }
  std::lock_guard lock(mutex_);
  reader_status_ = VI_ERROR_CONN_LOST;
  arrived_.notify_all();
}

}  // namespace visa
