// SPDX-License-Identifier: MIT
// The emulator's USB transport: a USBTMC/USB488 interface in front of an
// instrument, answering the host's bulk transfers, class requests and
// interrupt-IN reads as a device would. It lives in the process that emulates
// the bus (see emulated_usb_bus.h), so no USB hardware or kernel is involved.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "instrument.h"
#include "line_assembler.h"
#include "transcript.h"

namespace emulator {

struct UsbIdentity {
  std::uint16_t vendor = 0x1AB1;
  std::uint16_t product = 0x7001;
  std::string serial = "QDX7001-000001";
};

class UsbtmcDevice {
 public:
  UsbtmcDevice(Instrument& instrument, Transcript* transcript, UsbIdentity identity);
  ~UsbtmcDevice();
  UsbtmcDevice(const UsbtmcDevice&) = delete;
  UsbtmcDevice& operator=(const UsbtmcDevice&) = delete;

  const UsbIdentity& identity() const { return identity_; }
  // One host at a time holds the interface.
  bool claim();
  void release();
  // As when the cable is pulled: every later call fails with "no device".
  void unplug();

  // Return codes as libusb's (0, -7 timeout, -9 stall, -4 no device).
  int bulk_out(const std::uint8_t* data, std::size_t size, unsigned timeout_ms);
  int bulk_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned timeout_ms);
  int control_in(std::uint8_t request_type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                 std::uint8_t* data, std::size_t size, std::size_t& got);
  int interrupt_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned timeout_ms);

  static constexpr std::uint16_t kMaxPacketSize = 512;

 private:
  class HostClient;
  using Clock = std::chrono::steady_clock;
  struct InRequest {
    std::uint8_t tag;
    std::uint32_t size;
    std::optional<std::uint8_t> term_char;
  };

  void on_message_bytes(std::string_view bytes, bool end_of_message);
  void device_clear();
  // Waits on `ready` until `timeout_ms` has gone; false when it never held.
  template <typename Ready>
  bool wait(std::unique_lock<std::mutex>& lock, unsigned timeout_ms, Ready&& ready);

  Transcript* transcript_;
  const UsbIdentity identity_;
  std::mutex io_mutex_;  // one bulk-OUT message at a time reaches the instrument
  std::unique_ptr<Connection> connection_;
  LineAssembler input_;
  std::unique_ptr<HostClient> client_;

  std::mutex mutex_;  // all below
  std::condition_variable changed_;
  std::string output_;              // replies not yet sent
  Clock::time_point readable_at_{};  // an instrument that takes its time
  std::optional<InRequest> request_;
  std::string in_transfer_;          // the DEV_DEP_MSG_IN transfer being read
  std::deque<std::array<std::uint8_t, 2>> notifications_;
  bool claimed_ = false;
  bool unplugged_ = false;
  ServiceRequests::Subscription service_requests_;
};

}  // namespace emulator
