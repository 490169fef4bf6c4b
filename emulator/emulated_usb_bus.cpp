// SPDX-License-Identifier: MIT
#include "emulated_usb_bus.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "usb_model.h"

namespace emulator {

EmulatedUsbBus& EmulatedUsbBus::instance() {
  static EmulatedUsbBus bus;
  return bus;
}

void EmulatedUsbBus::attach(UsbtmcDevice* device) {
  std::lock_guard lock(mutex_);
  devices_.push_back(device);
}

void EmulatedUsbBus::detach(UsbtmcDevice* device) {
  std::lock_guard lock(mutex_);
  devices_.erase(std::remove(devices_.begin(), devices_.end(), device), devices_.end());
}

std::size_t EmulatedUsbBus::count() {
  std::lock_guard lock(mutex_);
  return devices_.size();
}

UsbtmcDevice* EmulatedUsbBus::at(std::size_t index) {
  std::lock_guard lock(mutex_);
  return index < devices_.size() ? devices_[index] : nullptr;
}

namespace {

UsbtmcDevice* Device(void* handle) { return static_cast<UsbtmcDevice*>(handle); }

const zevra_usb_model kModel = {
    ZEVRA_USB_MODEL_VERSION,
    [] { return EmulatedUsbBus::instance().count(); },
    [](std::size_t index, zevra_usb_model_device_info* out) -> int {
      UsbtmcDevice* d = EmulatedUsbBus::instance().at(index);
      if (d == nullptr) return -4;
      *out = {};
      out->vendor = d->identity().vendor;
      out->product = d->identity().product;
      std::snprintf(out->serial, sizeof out->serial, "%s", d->identity().serial.c_str());
      out->interface_number = 0;
      out->protocol = 1;  // USB488
      out->max_packet_size = UsbtmcDevice::kMaxPacketSize;
      out->has_interrupt_in = 1;
      return 0;
    },
    [](std::size_t index) -> void* {
      UsbtmcDevice* d = EmulatedUsbBus::instance().at(index);
      return d != nullptr && d->claim() ? d : nullptr;
    },
    [](void* handle) { Device(handle)->release(); },
    [](void* handle, const std::uint8_t* data, std::size_t size, unsigned ms) {
      return Device(handle)->bulk_out(data, size, ms);
    },
    [](void* handle, std::uint8_t* data, std::size_t capacity, std::size_t* got, unsigned ms) {
      return Device(handle)->bulk_in(data, capacity, *got, ms);
    },
    [](void* handle, std::uint8_t type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
       std::uint8_t* data, std::size_t size, std::size_t* got, unsigned) {
      return Device(handle)->control_in(type, request, value, index, data, size, *got);
    },
    [](void* handle, std::uint8_t* data, std::size_t capacity, std::size_t* got, unsigned ms) {
      return Device(handle)->interrupt_in(data, capacity, *got, ms);
    },
    [](void*, int) { return 0; },
};

}  // namespace
}  // namespace emulator

extern "C" __attribute__((visibility("default"))) const zevra_usb_model* zevra_usb_model_entry() {
  return &emulator::kModel;
}
