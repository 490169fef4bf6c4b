// SPDX-License-Identifier: MIT
// USB instruments (USB::vendor::product::serial::INSTR): USBTMC with USB488
// over a UsbDevice. Writes are DEV_DEP_MSG_OUT transfers, EOM on the last of
// a message; reads ask with REQUEST_DEV_DEP_MSG_IN (the termination
// character with it when enabled) and take one DEV_DEP_MSG_IN transfer. A
// transfer that times out is aborted on the device, so the pipes stay in step.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "protocols/usbtmc_codec.h"
#include "trace.h"
#include "transport.h"
#include "usb_device.h"
#include "visa.h"

namespace visa {
namespace {

// The most message bytes one transfer carries each way.
constexpr std::size_t kMostPerTransfer = 1 << 20;
constexpr unsigned kInterruptPollMs = 50;

ViStatus FromUsb(int result) {
  switch (result) {
    case kUsbOk: return VI_SUCCESS;
    case kUsbTimeout: return VI_ERROR_TMO;
    case kUsbNoDevice: return VI_ERROR_CONN_LOST;
    default: return VI_ERROR_IO;
  }
}

// libusb waits forever for a timeout of 0: a deadline that has run out still gets a moment.
unsigned TimeoutMs(Deadline d) {
  int ms = d.poll_timeout_ms();
  if (ms < 0) return 0;
  return static_cast<unsigned>(std::max(ms, 1));
}

class UsbtmcTransport final : public Transport {
 public:
  UsbtmcTransport(std::unique_ptr<UsbDevice> device, UsbAddress address)
      : device_(std::move(device)), address_(std::move(address)) {}
  // The reader stops before the device goes.
  ~UsbtmcTransport() override { stop_interrupt_reader(); }

  ViStatus write(const char* data, std::size_t size, bool end, Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    std::size_t offset = 0;
    do {
      const std::size_t n = std::min(kMostPerTransfer, size - offset);
      const bool last = offset + n == size;
      tag_ = usbtmc::NextTag(tag_);
      const std::string transfer = usbtmc::DevDepMsgOut(tag_, std::string_view(data + offset, n), end && last);
      ViStatus st = send(transfer, deadline);
      if (st < 0) return st;
      offset += n;
    } while (offset < size);
    return VI_SUCCESS;
  }

  ViStatus read(char* data, std::size_t capacity, const ReadSettings& settings, Deadline deadline, std::size_t& got,
                bool& end) override {
    got = 0;
    end = false;
    if (lost_) return VI_ERROR_CONN_LOST;
    for (;;) {
      const std::size_t asked = std::min(capacity, kMostPerTransfer);
      tag_ = usbtmc::NextTag(tag_);
      const auto request = usbtmc::RequestDevDepMsgIn(
          tag_, static_cast<std::uint32_t>(asked),
          settings.termchar_enabled ? std::optional<std::uint8_t>(settings.termchar) : std::nullopt);
      ViStatus st = send(std::string(reinterpret_cast<const char*>(request.data()), request.size()), deadline);
      if (st < 0) return st;
      usbtmc::ParsedHeader header;
      st = receive(asked, deadline, header);
      if (st < 0) return st;
      std::memcpy(data, in_.data() + usbtmc::kHeaderSize, header.size);
      got = header.size;
      end = header.end_of_message();
      // A transfer with no bytes and no EOM says nothing yet: ask again.
      if (got > 0 || end) return VI_SUCCESS;
      if (deadline.exhausted()) return VI_ERROR_TMO;
    }
  }

  // Replies come only when asked for: nothing has arrived unasked.
  ViStatus discard_arrived() override { return lost_ ? VI_ERROR_CONN_LOST : VI_SUCCESS; }

  // INITIATE_CLEAR, then CHECK_CLEAR_STATUS until the device is done (reading
  // what it still had queued on bulk-in), then the bulk-out pipe is cleared.
  ViStatus clear(Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    std::uint8_t answer[2] = {};
    ViStatus st = control(usbtmc::kToInterface, usbtmc::kInitiateClear, 0, device_->interface_number(), answer, 1,
                          deadline);
    if (st < 0) return st;
    if (answer[0] != usbtmc::kSuccess) return VI_ERROR_IO;
    for (;;) {
      st = control(usbtmc::kToInterface, usbtmc::kCheckClearStatus, 0, device_->interface_number(), answer, 2, deadline);
      if (st < 0) return st;
      if (answer[0] == usbtmc::kSuccess) break;
      if (answer[0] != usbtmc::kPending) return VI_ERROR_IO;
      if ((answer[1] & 0x01) != 0) drain_bulk_in(deadline);
      if (deadline.exhausted()) return VI_ERROR_TMO;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return Track(FromUsb(device_->clear_halt(false)));
  }

  // READ_STATUS_BYTE: the byte comes in the answer, or on interrupt-IN when the interface has that pipe.
  ViStatus read_stb(Deadline deadline, ViUInt16& stb) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    std::uint8_t tag = 0;
    {
      std::lock_guard lock(notify_mutex_);
      stb_tag_ = stb_tag_ >= 127 ? 2 : static_cast<std::uint8_t>(stb_tag_ + 1);  // 2 to 127
      tag = stb_tag_;
      stb_notification_.reset();
    }
    std::uint8_t answer[3] = {};
    ViStatus st = control(usbtmc::kToInterface, usbtmc::kReadStatusByte, tag, device_->interface_number(), answer, 3,
                          deadline);
    if (st < 0) return st;
    if (answer[0] != usbtmc::kSuccess || answer[1] != tag) return VI_ERROR_IO;
    if (!device_->has_interrupt_in()) {
      stb = answer[2];
      return VI_SUCCESS;
    }
    return wait_status_byte(deadline, stb);
  }

  ViStatus assert_trigger(Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    tag_ = usbtmc::NextTag(tag_);
    const auto trigger = usbtmc::Trigger(tag_);
    return send(std::string(reinterpret_cast<const char*>(trigger.data()), trigger.size()), deadline);
  }

  // USB488: REN_CONTROL, GO_TO_LOCAL, LOCAL_LOCKOUT, in the order each mode asks for them.
  ViStatus control_ren(ViUInt16 mode, Deadline deadline) override {
    if (lost_) return VI_ERROR_CONN_LOST;
    struct Step {
      std::uint8_t request;
      std::uint16_t value;
    };
    std::vector<Step> steps;
    switch (mode) {
      case VI_GPIB_REN_DEASSERT: steps = {{usbtmc::kRenControl, 0}}; break;
      case VI_GPIB_REN_ASSERT:
      case VI_GPIB_REN_ASSERT_ADDRESS: steps = {{usbtmc::kRenControl, 1}}; break;
      case VI_GPIB_REN_DEASSERT_GTL: steps = {{usbtmc::kGoToLocal, 0}, {usbtmc::kRenControl, 0}}; break;
      case VI_GPIB_REN_ASSERT_LLO:
      case VI_GPIB_REN_ASSERT_ADDRESS_LLO: steps = {{usbtmc::kRenControl, 1}, {usbtmc::kLocalLockout, 0}}; break;
      case VI_GPIB_REN_ADDRESS_GTL: steps = {{usbtmc::kGoToLocal, 0}}; break;
      default: return VI_ERROR_INV_MODE;
    }
    for (const Step& step : steps) {
      std::uint8_t answer[1] = {};
      ViStatus st = control(usbtmc::kToInterface, step.request, step.value, device_->interface_number(), answer, 1,
                            deadline);
      if (st < 0) return st;
      if (answer[0] != usbtmc::kSuccess) return VI_ERROR_IO;
    }
    return VI_SUCCESS;
  }

  bool carries_service_requests() const override { return device_->has_interrupt_in(); }

  ViStatus start_service_requests(std::function<void()> notify, Deadline) override {
    std::lock_guard lock(notify_mutex_);
    on_service_request_ = std::move(notify);
    return VI_SUCCESS;
  }
  void stop_service_requests(Deadline) override {
    std::lock_guard lock(notify_mutex_);
    on_service_request_ = nullptr;
  }

  bool reads_resume_after_timeout() const override { return false; }
  std::string peer_address() const override { return {}; }

  ViStatus get_attribute(ViAttr id, AttributeValue& v) const override {
    switch (id) {
      case VI_ATTR_MANF_ID: v = {AttributeType::UInt16, address_.vendor, {}}; return VI_SUCCESS;
      case VI_ATTR_MODEL_CODE: v = {AttributeType::UInt16, address_.product, {}}; return VI_SUCCESS;
      case VI_ATTR_USB_SERIAL_NUM: v = {AttributeType::String, 0, address_.serial}; return VI_SUCCESS;
      case VI_ATTR_USB_INTFC_NUM: v = {AttributeType::Int16, device_->interface_number(), {}}; return VI_SUCCESS;
      case VI_ATTR_USB_PROTOCOL: v = {AttributeType::Int16, device_->protocol(), {}}; return VI_SUCCESS;
      case VI_ATTR_4882_COMPLIANT:
        v = {AttributeType::Boolean, device_->protocol() == usbtmc::kProtocolUsb488 ? VI_TRUE : VI_FALSE, {}};
        return VI_SUCCESS;
      default: return VI_ERROR_NSUP_ATTR;
    }
  }

  // The interrupt-IN pipe is read here, by the one thread that runs it; a
  // service request goes to the session, a status byte to read_stb.
  void start_interrupt_reader() {
    if (!device_->has_interrupt_in()) return;
    reader_ = std::thread([this] { read_interrupts(); });
  }
  void stop_interrupt_reader() {
    stopping_.store(true);
    if (reader_.joinable()) reader_.join();
  }

 private:
  ViStatus Track(ViStatus st) {
    if (st == VI_ERROR_CONN_LOST) lost_ = true;
    return st;
  }

  ViStatus control(std::uint8_t type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                   std::uint8_t* answer, std::size_t size, Deadline deadline) {
    std::size_t got = 0;
    ViStatus st = Track(FromUsb(device_->control_in(type, request, value, index, answer, size, got, TimeoutMs(deadline))));
    if (st == VI_SUCCESS && got < size) return VI_ERROR_IO;
    return st;
  }

  // One bulk-OUT transfer; one that times out is aborted on the device.
  ViStatus send(const std::string& transfer, Deadline deadline) {
    int result = device_->bulk_out(reinterpret_cast<const std::uint8_t*>(transfer.data()), transfer.size(),
                                   TimeoutMs(deadline));
    if (result == kUsbTimeout) {
      abort_bulk(usbtmc::kInitiateAbortBulkOut, usbtmc::kCheckAbortBulkOutStatus, device_->bulk_out_endpoint(), false);
      return VI_ERROR_TMO;
    }
    if (result == kUsbPipe) device_->clear_halt(false);
    return Track(FromUsb(result));
  }

  // One DEV_DEP_MSG_IN transfer into in_: its header, then `header.size` bytes.
  ViStatus receive(std::size_t asked, Deadline deadline, usbtmc::ParsedHeader& header) {
    const std::size_t most = usbtmc::kHeaderSize + usbtmc::Aligned(asked);
    in_.resize(most);
    std::size_t have = 0;
    for (;;) {
      std::size_t got = 0;
      int result = device_->bulk_in(in_.data() + have, most - have, got, TimeoutMs(deadline));
      if (result == kUsbTimeout) {
        abort_bulk(usbtmc::kInitiateAbortBulkIn, usbtmc::kCheckAbortBulkInStatus, device_->bulk_in_endpoint(), true);
        return VI_ERROR_TMO;
      }
      if (result == kUsbPipe) device_->clear_halt(true);
      if (result != kUsbOk) return Track(FromUsb(result));
      have += got;
      if (have < usbtmc::kHeaderSize) {
        if (got == 0) return VI_ERROR_IO;  // a short transfer with no header
        continue;
      }
      if (!usbtmc::ParseHeader(in_.data(), have, header) || header.id != usbtmc::kDevDepMsgIn || header.tag != tag_ ||
          header.size > asked) {
        trace_note("USBTMC: a bulk-IN transfer that does not answer the request");
        return VI_ERROR_IO;
      }
      if (have >= usbtmc::kHeaderSize + header.size) return VI_SUCCESS;
      if (got == 0) return VI_ERROR_IO;  // the transfer ended short of what its header said
    }
  }

  // INITIATE_ABORT_BULK_IN/OUT for the current tag, CHECK_ABORT_..._STATUS
  // while it is pending (reading bulk-in to the end for an IN abort), then the
  // pipe's halt cleared. Bounded on its own: the call's deadline has passed.
  void abort_bulk(std::uint8_t initiate, std::uint8_t check, std::uint8_t endpoint, bool bulk_in) {
    const Deadline deadline = Deadline::after_ms(500);
    std::uint8_t answer[8] = {};
    if (control(usbtmc::kToEndpoint, initiate, tag_, endpoint, answer, 2, deadline) < 0) return;
    if (answer[0] != usbtmc::kSuccess) return;  // nothing in progress there
    while (control(usbtmc::kToEndpoint, check, 0, endpoint, answer, 8, deadline) >= 0 && answer[0] == usbtmc::kPending) {
      if (bulk_in && (answer[1] & 0x01) != 0) drain_bulk_in(deadline);
      if (deadline.exhausted()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    device_->clear_halt(bulk_in);
  }

  void drain_bulk_in(Deadline deadline) {
    std::uint8_t scrap[512];
    std::size_t got = 0;
    while (device_->bulk_in(scrap, sizeof scrap, got, TimeoutMs(deadline)) == kUsbOk && got == sizeof scrap) {
    }
  }

  ViStatus wait_status_byte(Deadline deadline, ViUInt16& stb) {
    std::unique_lock lock(notify_mutex_);
    auto arrived = [&] { return stb_notification_.has_value(); };
    if (deadline.infinite()) {
      notified_.wait(lock, arrived);
    } else if (!notified_.wait_for(lock, std::chrono::milliseconds(deadline.poll_timeout_ms()), arrived)) {
      return VI_ERROR_TMO;
    }
    stb = *stb_notification_;
    return VI_SUCCESS;
  }

  void read_interrupts() {
    while (!stopping_.load()) {
      std::uint8_t notification[2] = {};
      std::size_t got = 0;
      int result = device_->interrupt_in(notification, sizeof notification, got, kInterruptPollMs);
      if (result == kUsbTimeout) continue;
      if (result != kUsbOk) {
        if (result == kUsbNoDevice) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(kInterruptPollMs));
        continue;
      }
      if (got < 2) continue;
      std::function<void()> notify;
      {
        std::lock_guard lock(notify_mutex_);
        if (notification[0] == usbtmc::kNotifySrq) {
          notify = on_service_request_;
        } else if (notification[0] == (0x80 | stb_tag_)) {
          stb_notification_ = notification[1];
          notified_.notify_all();
        }
      }
      if (notify) notify();
    }
  }

  std::unique_ptr<UsbDevice> device_;
  const UsbAddress address_;
  std::uint8_t tag_ = 0;
  std::uint8_t stb_tag_ = 1;
  bool lost_ = false;
  std::vector<std::uint8_t> in_;
  std::mutex notify_mutex_;
  std::condition_variable notified_;
  std::optional<std::uint8_t> stb_notification_;
  std::function<void()> on_service_request_;
  std::atomic<bool> stopping_{false};
  std::thread reader_;
};

}  // namespace

ViStatus open_usbtmc_transport(const ResourceName& resource, const OpenRequest&, std::unique_ptr<Transport>& out) {
  std::unique_ptr<UsbDevice> device;
  std::string why;
  ViStatus st = open_usb_device(resource.usb, device, why);
  if (st < 0) {
    trace_note(why);  // the line names the resource already
    return st;
  }
  auto transport = std::make_unique<UsbtmcTransport>(std::move(device), resource.usb);
  transport->start_interrupt_reader();
  out = std::move(transport);
  return VI_SUCCESS;
}

}  // namespace visa
