// SPDX-License-Identifier: MIT
// A USBTMC interface as the transport sees it: the bulk and interrupt pipes
// and class requests of one interface, whichever bus it is on (a real one,
// through libusb, or one the process emulates). Return codes are libusb's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resource_name.h"
#include "visatype.h"

namespace visa {

enum UsbResult : int { kUsbOk = 0, kUsbIo = -1, kUsbNoDevice = -4, kUsbTimeout = -7, kUsbPipe = -9 };

class UsbDevice {
 public:
  virtual ~UsbDevice() = default;
  virtual int bulk_out(const std::uint8_t* data, std::size_t size, unsigned timeout_ms) = 0;
  // One transfer of up to `capacity` bytes; fewer end it.
  virtual int bulk_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned timeout_ms) = 0;
  virtual int control_in(std::uint8_t request_type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
                         std::uint8_t* data, std::size_t size, std::size_t& got, unsigned timeout_ms) = 0;
  virtual int interrupt_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned timeout_ms) = 0;
  virtual int clear_halt(bool bulk_in) = 0;

  virtual std::uint8_t interface_number() const = 0;
  virtual std::uint8_t bulk_in_endpoint() const = 0;
  virtual std::uint8_t bulk_out_endpoint() const = 0;
  virtual std::uint8_t protocol() const = 0;  // 1: USB488
  virtual bool has_interrupt_in() const = 0;
};

// The USBTMC interface `address` names, on the emulated bus when the process
// provides one and has it, else through libusb. `why` says what failed.
ViStatus open_usb_device(const UsbAddress& address, std::unique_ptr<UsbDevice>& out, std::string& why);

// The USBTMC interfaces of each bus.
std::vector<UsbAddress> emulated_usb_instruments();
std::vector<UsbAddress> libusb_instruments();
ViStatus open_emulated_usb_device(const UsbAddress& address, std::unique_ptr<UsbDevice>& out, bool& found);
ViStatus open_libusb_device(const UsbAddress& address, std::unique_ptr<UsbDevice>& out, std::string& why);

}  // namespace visa
