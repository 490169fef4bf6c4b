#include "hislip_async_channel.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
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

HislipAsyncChannel::HislipAsyncChannel() : wake_fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

HislipAsyncChannel::~HislipAsyncChannel() {
  stop_service_requests();
  if (wake_fd_ >= 0) ::close(wake_fd_);
}

ViStatus HislipAsyncChannel::transaction(const std::string& message, std::uint8_t response, Deadline deadline,
                                         hislip::Header& h, std::string& payload) {
  if (reader_.joinable()) {
    std::lock_guard lock(mutex_);
    if (reader_status_ < 0) return reader_status_;
    responses_.clear();  // late answers to a request that gave up
  }
  ViStatus st = connection_.write_all(message.data(), message.size(), deadline);
  if (st < 0) return st;
  if (reader_.joinable()) return wait_for(response, deadline, h, payload);
  for (;;) {
    st = ReceiveHislipMessage(connection_, deadline, h, payload);
    if (st < 0) return st;
    if (IsResponseTo(h.type, response)) return Outcome(h);
    // Anything else (a service request nobody asked for, a stale response) is passed over.
  }
}

ViStatus HislipAsyncChannel::wait_for(std::uint8_t response, Deadline deadline, hislip::Header& h,
                                      std::string& payload) {
  std::unique_lock lock(mutex_);
  for (;;) {
    while (!responses_.empty()) {
      auto [header, body] = std::move(responses_.front());
      responses_.pop_front();
      if (!IsResponseTo(header.type, response)) continue;
      h = header;
      payload = std::move(body);
      return Outcome(h);
    }
    if (reader_status_ < 0) return reader_status_;
    const int ms = deadline.poll_timeout_ms();
    if (ms == 0) return VI_ERROR_TMO;
    if (ms < 0)
      arrived_.wait(lock);
    else
      arrived_.wait_for(lock, std::chrono::milliseconds(ms));
  }
}

ViStatus HislipAsyncChannel::start_service_requests(std::function<void()> notify) {
  if (wake_fd_ < 0) return VI_ERROR_SYSTEM_ERROR;
  if (reader_.joinable()) return VI_SUCCESS;
  {
    std::lock_guard lock(mutex_);
    notify_ = std::move(notify);
    reader_status_ = VI_SUCCESS;
    responses_.clear();
  }
  reader_ = std::thread([this] { read_loop(); });
  return VI_SUCCESS;
}

void HislipAsyncChannel::stop_service_requests() {
  if (!reader_.joinable()) return;
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(wake_fd_, &one, sizeof one);
  reader_.join();
  std::uint64_t drained = 0;
  [[maybe_unused]] ssize_t read = ::read(wake_fd_, &drained, sizeof drained);
  std::lock_guard lock(mutex_);
  notify_ = nullptr;
  responses_.clear();
}

void HislipAsyncChannel::read_loop() {
  for (;;) {
    pollfd p[2] = {{connection_.fd(), POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    if (::poll(p, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (p[1].revents != 0) return;
    hislip::Header h;
    std::string payload;
    ViStatus st = ReceiveHislipMessage(connection_, Deadline::after_ms(kWholeMessageMs), h, payload);
    std::unique_lock lock(mutex_);
    if (st < 0) {
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
    responses_.emplace_back(h, std::move(payload));
    arrived_.notify_all();
  }
  std::lock_guard lock(mutex_);
  reader_status_ = VI_ERROR_CONN_LOST;
  arrived_.notify_all();
}

}  // namespace visa
