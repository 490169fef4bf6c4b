// SPDX-License-Identifier: MIT
#include "usbtmc_device.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "bus_actions.h"
#include "usbtmc_codec.h"

namespace emulator {
namespace {

constexpr int kOk = 0, kNoDevice = -4, kTimeout = -7, kStall = -9;

}  // namespace

// Replies wait in the device until the host asks for them with a REQUEST_DEV_DEP_MSG_IN.
class UsbtmcDevice::HostClient final : public Client {
 public:
  explicit HostClient(UsbtmcDevice& device) : device_(device) {}
  void send(std::string_view bytes) override {
    if (device_.transcript_ != nullptr) device_.transcript_->record_reply(bytes);
    std::lock_guard lock(device_.mutex_);
    device_.output_.append(bytes);
    device_.changed_.notify_all();
  }
  // An instrument that drops its host goes off the bus.
  void close() override { device_.unplug(); }
  bool pause(std::chrono::milliseconds duration) override {
    std::lock_guard lock(device_.mutex_);
    device_.readable_at_ = std::max(device_.readable_at_, Clock::now()) + duration;
    return true;
  }

 private:
  UsbtmcDevice& device_;
};

UsbtmcDevice::UsbtmcDevice(Instrument& instrument, Transcript* transcript, UsbIdentity identity)
    : transcript_(transcript),
      identity_(std::move(identity)),
      connection_(instrument.connect()),
      client_(std::make_unique<HostClient>(*this)),
      service_requests_(instrument.service_requests(), [this](int stb) {
        std::lock_guard lock(mutex_);
        notifications_.push_back({usbtmc::kNotifySrq, static_cast<std::uint8_t>(stb)});
        changed_.notify_all();
      }) {}

UsbtmcDevice::~UsbtmcDevice() { service_requests_.reset(); }

bool UsbtmcDevice::claim() {
  std::lock_guard lock(mutex_);
  if (claimed_ || unplugged_) return false;
  claimed_ = true;
  return true;
}

void UsbtmcDevice::release() {
  std::lock_guard lock(mutex_);
  claimed_ = false;
}

void UsbtmcDevice::unplug() {
  std::lock_guard lock(mutex_);
  unplugged_ = true;
  changed_.notify_all();
}

template <typename Ready>
bool UsbtmcDevice::wait(std::unique_lock<std::mutex>& lock, unsigned timeout_ms, Ready&& ready) {
  // libusb's 0 is "no timeout".
  const auto until = timeout_ms == 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!ready()) {
    if (unplugged_) return false;
    if (until == Clock::time_point::max()) {
      changed_.wait(lock);
    } else if (changed_.wait_until(lock, until) == std::cv_status::timeout) {
      return ready();
    }
  }
  return true;
}

void UsbtmcDevice::on_message_bytes(std::string_view bytes, bool end_of_message) {
  auto line = [&](std::string_view text) {
    if (transcript_ != nullptr) transcript_->record(text);
    connection_->on_line(text, *client_);
    return true;
  };
  input_.feed(bytes, line, [&] { connection_->on_overlong_line(*client_); });
  if (end_of_message) input_.end(line);
}

int UsbtmcDevice::bulk_out(const std::uint8_t* data, std::size_t size, unsigned) {
  std::lock_guard io(io_mutex_);
  usbtmc::ParsedHeader h;
  {
    std::lock_guard lock(mutex_);
    if (unplugged_) return kNoDevice;
  }
  // A transfer that does not make sense stalls the pipe, as a device's would.
  if (!usbtmc::ParseHeader(data, size, h)) return kStall;
  switch (h.id) {
    case usbtmc::kDevDepMsgOut: {
      if (h.size > size - usbtmc::kHeaderSize) return kStall;
      // A new command drops replies the host never read, as IEEE 488.2 has it.
      if (input_.empty()) {
        std::lock_guard lock(mutex_);
        output_.clear();
        readable_at_ = {};
      }
      on_message_bytes(std::string_view(reinterpret_cast<const char*>(data) + usbtmc::kHeaderSize, h.size),
                       h.end_of_message());
      return kOk;
    }
    case usbtmc::kRequestDevDepMsgIn: {
      std::lock_guard lock(mutex_);
      request_ = InRequest{h.tag, h.size, h.term_char_enabled() ? std::optional<std::uint8_t>(h.term_char) : std::nullopt};
      in_transfer_.clear();
      changed_.notify_all();
      return kOk;
    }
    case usbtmc::kTrigger:
      DeviceTrigger(*connection_, transcript_);
      return kOk;
    default:
      return kStall;
  }
}

int UsbtmcDevice::bulk_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned timeout_ms) {
  got = 0;
  std::unique_lock lock(mutex_);
  if (unplugged_) return kNoDevice;
  if (in_transfer_.empty()) {
    // A reply is sent once the host asked and the instrument has one ready
    // (a slow instrument's only once its delay has passed).
    const auto until = timeout_ms == 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      if (unplugged_) return kNoDevice;
      const bool have = request_.has_value() && !output_.empty();
      const auto now = Clock::now();
      if (have && now >= readable_at_) break;
      if (now >= until) return kTimeout;
      const auto wake = have ? std::min(until, readable_at_) : until;
      if (wake == Clock::time_point::max()) {
        changed_.wait(lock);
      } else {
        changed_.wait_until(lock, wake);
      }
    }
    std::size_t n = std::min<std::size_t>(request_->size, output_.size());
    bool by_term_char = false;
    if (request_->term_char) {
      std::size_t at = output_.find(static_cast<char>(*request_->term_char));
      if (at != std::string::npos && at < n) {
        n = at + 1;
        by_term_char = true;
      }
    }
    // A reply's end is its line feed, with nothing more queued behind it.
    const bool end = n == output_.size() && output_[n - 1] == '\n';
    in_transfer_ = usbtmc::DevDepMsgIn(request_->tag, std::string_view(output_).substr(0, n), end, by_term_char);
    output_.erase(0, n);
    request_.reset();
  }
  got = std::min(capacity, in_transfer_.size());
  std::memcpy(data, in_transfer_.data(), got);
  in_transfer_.erase(0, got);
  return kOk;
}

int UsbtmcDevice::interrupt_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned timeout_ms) {
  got = 0;
  std::unique_lock lock(mutex_);
  if (!wait(lock, timeout_ms, [&] { return !notifications_.empty(); })) return unplugged_ ? kNoDevice : kTimeout;
  got = std::min<std::size_t>(capacity, 2);
  std::memcpy(data, notifications_.front().data(), got);
  notifications_.pop_front();
  return kOk;
}

void UsbtmcDevice::device_clear() {
  std::lock_guard io(io_mutex_);
  input_.clear();
  std::lock_guard lock(mutex_);
  output_.clear();
  readable_at_ = {};
  request_.reset();
  in_transfer_.clear();
}

int UsbtmcDevice::control_in(std::uint8_t request_type, std::uint8_t request, std::uint16_t value, std::uint16_t,
                             std::uint8_t* data, std::size_t size, std::size_t& got) {
  got = 0;
  {
    std::lock_guard lock(mutex_);
    if (unplugged_) return kNoDevice;
  }
  std::uint8_t answer[24] = {};
  std::size_t length = 1;
  answer[0] = usbtmc::kSuccess;
  const auto tag = static_cast<std::uint8_t>(value);
  switch (request) {
    case usbtmc::kInitiateAbortBulkIn: {
      std::lock_guard lock(mutex_);
      // Only a transfer asked for and not yet taken whole can be aborted.
      const bool in_progress = (request_ && request_->tag == tag) || !in_transfer_.empty();
      if (!in_progress) answer[0] = usbtmc::kTransferNotInProgress;
      request_.reset();
      in_transfer_.clear();
      answer[1] = tag;
      length = 2;
      break;
    }
    case usbtmc::kInitiateAbortBulkOut:
      // Bulk-OUT transfers are taken whole as they come: none is ever half done.
      answer[0] = usbtmc::kTransferNotInProgress;
      answer[1] = tag;
      length = 2;
      break;
    case usbtmc::kCheckAbortBulkInStatus:
    case usbtmc::kCheckAbortBulkOutStatus:
      length = 8;  // nothing left in the FIFO, no bytes counted
      break;
    case usbtmc::kInitiateClear:
      device_clear();
      if (transcript_ != nullptr) transcript_->record("<clear>");
      break;
    case usbtmc::kCheckClearStatus:
      length = 2;
      break;
    case usbtmc::kGetCapabilities:
      answer[2] = 0x00;  // bcdUSBTMC 1.00
      answer[3] = 0x01;
      answer[5] = 0x01;  // the termination character is supported
      answer[12] = 0x00;  // bcdUSB488 1.00
      answer[13] = 0x01;
      answer[14] = 0x07;  // USB488.2 interface, REN/GTL/LLO, TRIGGER
      answer[15] = 0x0F;  // SCPI, SR1, RL1, DT1
      length = 24;
      break;
    case usbtmc::kReadStatusByte: {
      // The byte goes on interrupt-IN, tagged; the answer carries 0 in its place.
      std::unique_lock io(io_mutex_);
      bool waiting = false;
      {
        std::lock_guard lock(mutex_);
        waiting = !output_.empty() || !in_transfer_.empty();
      }
      const int stb = ReadStatusByte(*connection_, waiting);
      io.unlock();
      std::lock_guard lock(mutex_);
      notifications_.push_back({static_cast<std::uint8_t>(0x80 | tag), static_cast<std::uint8_t>(stb)});
      changed_.notify_all();
      answer[1] = tag;
      length = 3;
      break;
    }
    case usbtmc::kRenControl:
      if (transcript_ != nullptr) transcript_->record(value != 0 ? "<remote enable>" : "<remote disable>");
      break;
    case usbtmc::kGoToLocal:
      if (transcript_ != nullptr) transcript_->record("<go to local>");
      break;
    case usbtmc::kLocalLockout:
      if (transcript_ != nullptr) transcript_->record("<local lockout>");
      break;
    default:
      return kStall;
  }
  if ((request_type & 0x80) == 0) return kStall;  // every USBTMC class request sends data back
  got = std::min(size, length);
  std::memcpy(data, answer, got);
  return kOk;
}

}  // namespace emulator
