// SPDX-License-Identifier: MIT
// USB devices the process emulates itself (a test's, a simulator's), found
// through the symbol zevra_usb_model_entry, opened like real ones.
#include <cstring>
#include <mutex>

#include "protocols/usb_model.h"
#include "runtime_library.h"
#include "usb_device.h"
#include "visa.h"

namespace visa {
namespace {

const zevra_usb_model* Model() {
  static const zevra_usb_model* model = nullptr;
  static std::once_flag looked;
  std::call_once(looked, [] {
    auto entry = reinterpret_cast<zevra_usb_model_entry_fn>(FindInProgram("zevra_usb_model_entry"));
    const zevra_usb_model* m = entry != nullptr ? entry() : nullptr;
    if (m != nullptr && m->version == ZEVRA_USB_MODEL_VERSION) model = m;
  });
  return model;
}

UsbAddress AddressOf(const zevra_usb_model_device_info& info) {
  UsbAddress a;
  a.vendor = info.vendor;
  a.product = info.product;
  a.serial = std::string(info.serial, strnlen(info.serial, sizeof info.serial));
  return a;
}

class EmulatedDevice final : public UsbDevice {
 public:
  EmulatedDevice(const zevra_usb_model* model, void* handle, const zevra_usb_model_device_info& info)
      : m_(model), d_(handle), info_(info) {}
  ~EmulatedDevice() override { m_->close(d_); }

  int bulk_out(const std::uint8_t* data, std::size_t size, unsigned ms) override { return m_->bulk_out(d_, data, size, ms); }
  int bulk_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned ms) override {
    got = 0;
    return m_->bulk_in(d_, data, capacity, &got, ms);
  }
  int control_in(std::uint8_t type, std::uint8_t request, std::uint16_t value, std::uint16_t index, std::uint8_t* data,
                 std::size_t size, std::size_t& got, unsigned ms) override {
    got = 0;
    return m_->control_in(d_, type, request, value, index, data, size, &got, ms);
  }
  int interrupt_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned ms) override {
    got = 0;
    return m_->interrupt_in(d_, data, capacity, &got, ms);
  }
  int clear_halt(bool bulk_in) override { return m_->clear_halt(d_, bulk_in ? 1 : 0); }

  std::uint8_t interface_number() const override { return info_.interface_number; }
  std::uint8_t bulk_in_endpoint() const override { return 0x81; }
  std::uint8_t bulk_out_endpoint() const override { return 0x02; }
  std::uint8_t protocol() const override { return info_.protocol; }
  bool has_interrupt_in() const override { return info_.has_interrupt_in != 0; }

 private:
  const zevra_usb_model* m_;
  void* d_;
  zevra_usb_model_device_info info_;
};

}  // namespace

std::vector<UsbAddress> emulated_usb_instruments() {
  std::vector<UsbAddress> found;
  const zevra_usb_model* m = Model();
  if (m == nullptr) return found;
  for (std::size_t i = 0, n = m->count(); i < n; ++i) {
    zevra_usb_model_device_info info{};
    if (m->info(i, &info) == 0) found.push_back(AddressOf(info));
  }
  return found;
}

ViStatus open_emulated_usb_device(const UsbAddress& address, std::unique_ptr<UsbDevice>& out, bool& found) {
  found = false;
  const zevra_usb_model* m = Model();
  if (m == nullptr) return VI_ERROR_RSRC_NFOUND;
  for (std::size_t i = 0, n = m->count(); i < n; ++i) {
    zevra_usb_model_device_info info{};
    if (m->info(i, &info) != 0) continue;
    UsbAddress a = AddressOf(info);
    if (a.vendor != address.vendor || a.product != address.product || a.serial != address.serial) continue;
    if (address.interface_number >= 0 && address.interface_number != info.interface_number) continue;
    found = true;
    void* handle = m->open(i);
    if (handle == nullptr) return VI_ERROR_RSRC_BUSY;
    out = std::make_unique<EmulatedDevice>(m, handle, info);
    return VI_SUCCESS;
  }
  return VI_ERROR_RSRC_NFOUND;
}

ViStatus open_usb_device(const UsbAddress& address, std::unique_ptr<UsbDevice>& out, std::string& why) {
  bool found = false;
  ViStatus st = open_emulated_usb_device(address, out, found);
  if (found) {
    if (st < 0) why = "the emulated device is in use";
    return st;
  }
  return open_libusb_device(address, out, why);
}

}  // namespace visa
