// Finding USBTMC instruments: every interface of class 0xFE (application
// specific), subclass 3 (test and measurement) on the USB buses, named by
// its device's vendor, product and serial number.
#include <libusb.h>

#include <memory>
#include <string>

#include "discovery.h"

namespace visa {
namespace {

constexpr int kApplicationClass = 0xFE, kUsbtmcSubclass = 3;

struct ContextCloser {
  void operator()(libusb_context* c) const { libusb_exit(c); }
};
struct ListFreer {
  void operator()(libusb_device** l) const { libusb_free_device_list(l, 1); }
};
struct HandleCloser {
  void operator()(libusb_device_handle* h) const { libusb_close(h); }
};
struct ConfigFreer {
  void operator()(libusb_config_descriptor* c) const { libusb_free_config_descriptor(c); }
};

// The USBTMC interface numbers of a device's active configuration.
std::vector<int> UsbtmcInterfaces(libusb_device* device) {
  std::vector<int> numbers;
  libusb_config_descriptor* raw = nullptr;
  if (libusb_get_active_config_descriptor(device, &raw) != 0) return numbers;
  std::unique_ptr<libusb_config_descriptor, ConfigFreer> config(raw);
  for (int i = 0; i < config->bNumInterfaces; ++i) {
    const libusb_interface& interface = config->interface[i];
    for (int a = 0; a < interface.num_altsetting; ++a) {
      const libusb_interface_descriptor& alt = interface.altsetting[a];
      if (alt.bInterfaceClass == kApplicationClass && alt.bInterfaceSubClass == kUsbtmcSubclass) {
        numbers.push_back(alt.bInterfaceNumber);
        break;
      }
    }
  }
  return numbers;
}

std::string SerialNumber(libusb_device* device, const libusb_device_descriptor& descriptor) {
  if (descriptor.iSerialNumber == 0) return {};
  libusb_device_handle* raw = nullptr;
  // Reading a string descriptor needs the device opened (and the permission to).
  if (libusb_open(device, &raw) != 0) return {};
  std::unique_ptr<libusb_device_handle, HandleCloser> handle(raw);
  unsigned char text[256] = {};
  int n = libusb_get_string_descriptor_ascii(raw, descriptor.iSerialNumber, text, sizeof text);
  return n > 0 ? std::string(reinterpret_cast<char*>(text), static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

std::vector<ResourceName> find_usb_instruments() {
  std::vector<ResourceName> found;
  libusb_context* raw_context = nullptr;
  if (libusb_init(&raw_context) != 0) return found;  // no USB on this machine
  std::unique_ptr<libusb_context, ContextCloser> context(raw_context);
  libusb_device** raw_list = nullptr;
  ssize_t count = libusb_get_device_list(raw_context, &raw_list);
  if (count < 0) return found;
  std::unique_ptr<libusb_device*, ListFreer> list(raw_list);
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(raw_list[i], &descriptor) != 0) continue;
    std::vector<int> interfaces = UsbtmcInterfaces(raw_list[i]);
    if (interfaces.empty()) continue;
    UsbAddress address;
    address.vendor = descriptor.idVendor;
    address.product = descriptor.idProduct;
    address.serial = SerialNumber(raw_list[i], descriptor);
    if (address.serial.empty()) continue;  // a resource name needs it
    // The first USBTMC interface goes without its number, as resource names usually give it.
    for (std::size_t n = 0; n < interfaces.size(); ++n) {
      address.interface_number = n == 0 ? -1 : interfaces[n];
      found.push_back(usb_resource(0, address, false));
    }
  }
  return found;
}

}  // namespace visa
