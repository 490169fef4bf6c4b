// SPDX-License-Identifier: MIT
// USBTMC interfaces on the machine's USB buses, through libusb: listed by
// class 0xFE, subclass 3, and opened with the kernel's usbtmc driver set
// aside for as long as the session holds the interface. libusb is loaded when
// USB is first asked for, so programs that use only LAN or serial
// instruments do not load it (nor libudev under it).
#include <libusb.h>

#include <memory>
#include <optional>
#include <string>

#include "protocols/usbtmc_codec.h"
#include "runtime_library.h"
#include "usb_device.h"
#include "visa.h"

namespace visa {
namespace {

// The libusb functions used, each resolved by name as libusb_<name>.
#define ZEVRA_LIBUSB_FUNCTIONS(X)                                                                              \
  X(init) X(exit) X(get_device_list) X(free_device_list) X(get_device_descriptor)                            \
  X(get_active_config_descriptor) X(free_config_descriptor) X(open) X(close) X(get_string_descriptor_ascii) \
  X(kernel_driver_active) X(detach_kernel_driver) X(attach_kernel_driver) X(claim_interface)                 \
  X(release_interface) X(bulk_transfer) X(interrupt_transfer) X(control_transfer) X(clear_halt) X(strerror)

struct LibusbApi {
#define ZEVRA_LIBUSB_POINTER(name) decltype(&libusb_##name) name = nullptr;
  ZEVRA_LIBUSB_FUNCTIONS(ZEVRA_LIBUSB_POINTER)
#undef ZEVRA_LIBUSB_POINTER
  const char* missing = nullptr;  // why USB is unavailable, or null once every function is bound
};

const LibusbApi& Usb() {
  static const LibusbApi api = [] {
    LibusbApi a;
    void* library = OpenRuntimeLibrary("libusb-1.0.so.0");
    if (library == nullptr) {
      a.missing = "libusb-1.0 is not installed";
      return a;
    }
#define ZEVRA_LIBUSB_BIND(name) && Bind(library, "libusb_" #name, a.name)
    const bool bound = true ZEVRA_LIBUSB_FUNCTIONS(ZEVRA_LIBUSB_BIND);
#undef ZEVRA_LIBUSB_BIND
    if (!bound) a.missing = "libusb-1.0 lacks a function this library needs";
    return a;
  }();
  return api;
}

struct ContextCloser {
  void operator()(libusb_context* c) const { Usb().exit(c); }
};
struct ListFreer {
  void operator()(libusb_device** l) const { Usb().free_device_list(l, 1); }
};
struct HandleCloser {
  void operator()(libusb_device_handle* h) const { Usb().close(h); }
};
struct ConfigFreer {
  void operator()(libusb_config_descriptor* c) const { Usb().free_config_descriptor(c); }
};
using Context = std::unique_ptr<libusb_context, ContextCloser>;
using Handle = std::unique_ptr<libusb_device_handle, HandleCloser>;

// What the transport needs of a USBTMC interface's descriptors.
struct TmcInterface {
  std::uint8_t number = 0, protocol = 0;
  std::uint8_t bulk_in = 0, bulk_out = 0, interrupt_in = 0;
};

std::vector<TmcInterface> TmcInterfaces(libusb_device* device) {
  std::vector<TmcInterface> found;
  libusb_config_descriptor* raw = nullptr;
  if (Usb().get_active_config_descriptor(device, &raw) != 0) return found;
  std::unique_ptr<libusb_config_descriptor, ConfigFreer> config(raw);
  for (int i = 0; i < config->bNumInterfaces; ++i) {
    const libusb_interface& interface = config->interface[i];
    if (interface.num_altsetting < 1) continue;
    const libusb_interface_descriptor& alt = interface.altsetting[0];
    if (alt.bInterfaceClass != usbtmc::kInterfaceClass || alt.bInterfaceSubClass != usbtmc::kInterfaceSubclass) continue;
    TmcInterface t;
    t.number = alt.bInterfaceNumber;
    t.protocol = alt.bInterfaceProtocol;
    for (int e = 0; e < alt.bNumEndpoints; ++e) {
      const libusb_endpoint_descriptor& ep = alt.endpoint[e];
      const int type = ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK;
      const bool in = (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0;
      if (type == LIBUSB_TRANSFER_TYPE_BULK && in) t.bulk_in = ep.bEndpointAddress;
      if (type == LIBUSB_TRANSFER_TYPE_BULK && !in) t.bulk_out = ep.bEndpointAddress;
      if (type == LIBUSB_TRANSFER_TYPE_INTERRUPT && in) t.interrupt_in = ep.bEndpointAddress;
    }
    if (t.bulk_in != 0 && t.bulk_out != 0) found.push_back(t);
  }
  return found;
}

std::string SerialNumber(libusb_device_handle* handle, const libusb_device_descriptor& descriptor) {
  if (descriptor.iSerialNumber == 0) return {};
  unsigned char text[256] = {};
  int n = Usb().get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text, sizeof text);
  return n > 0 ? std::string(reinterpret_cast<char*>(text), static_cast<std::size_t>(n)) : std::string();
}

// Every USBTMC interface, with a handle opened on its device when asked
// (reading the serial number needs one, and the permission to open it).
template <typename Visit>
void ForEachInterface(libusb_context* context, Visit&& visit) {
  libusb_device** raw_list = nullptr;
  ssize_t count = Usb().get_device_list(context, &raw_list);
  if (count < 0) return;
  std::unique_ptr<libusb_device*, ListFreer> list(raw_list);
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device_descriptor descriptor{};
    if (Usb().get_device_descriptor(raw_list[i], &descriptor) != 0) continue;
    std::vector<TmcInterface> interfaces = TmcInterfaces(raw_list[i]);
    if (interfaces.empty()) continue;
    libusb_device_handle* raw_handle = nullptr;
    if (Usb().open(raw_list[i], &raw_handle) != 0) continue;
    Handle handle(raw_handle);
    UsbAddress address;
    address.vendor = descriptor.idVendor;
    address.product = descriptor.idProduct;
    address.serial = SerialNumber(raw_handle, descriptor);
    if (address.serial.empty()) continue;  // a resource name needs it
    for (std::size_t n = 0; n < interfaces.size(); ++n) {
      // The first USBTMC interface goes without its number, as resource names usually give it.
      address.interface_number = n == 0 ? -1 : interfaces[n].number;
      if (visit(address, interfaces[n], handle)) return;
    }
  }
}

class LibusbDevice final : public UsbDevice {
 public:
  LibusbDevice(Context context, Handle handle, TmcInterface interface, bool reattach)
      : context_(std::move(context)), handle_(std::move(handle)), interface_(interface), reattach_(reattach) {}
  ~LibusbDevice() override {
    Usb().release_interface(handle_.get(), interface_.number);
    // The kernel's usbtmc driver gets its interface back.
    if (reattach_) Usb().attach_kernel_driver(handle_.get(), interface_.number);
  }

  int bulk_out(const std::uint8_t* data, std::size_t size, unsigned ms) override {
    int sent = 0;
    return Usb().bulk_transfer(handle_.get(), interface_.bulk_out, const_cast<std::uint8_t*>(data),
                               static_cast<int>(size), &sent, ms);
  }
  int bulk_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned ms) override {
    int n = 0;
    int st = Usb().bulk_transfer(handle_.get(), interface_.bulk_in, data, static_cast<int>(capacity), &n, ms);
    got = static_cast<std::size_t>(n);
    return st;
  }
  int control_in(std::uint8_t type, std::uint8_t request, std::uint16_t value, std::uint16_t index, std::uint8_t* data,
                 std::size_t size, std::size_t& got, unsigned ms) override {
    int n = Usb().control_transfer(handle_.get(), type, request, value, index, data, static_cast<std::uint16_t>(size), ms);
    got = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n < 0 ? n : 0;
  }
  int interrupt_in(std::uint8_t* data, std::size_t capacity, std::size_t& got, unsigned ms) override {
    int n = 0;
    int st = Usb().interrupt_transfer(handle_.get(), interface_.interrupt_in, data, static_cast<int>(capacity), &n, ms);
    got = static_cast<std::size_t>(n);
    return st;
  }
  int clear_halt(bool bulk_in) override {
    return Usb().clear_halt(handle_.get(), bulk_in ? interface_.bulk_in : interface_.bulk_out);
  }

  std::uint8_t interface_number() const override { return interface_.number; }
  std::uint8_t bulk_in_endpoint() const override { return interface_.bulk_in; }
  std::uint8_t bulk_out_endpoint() const override { return interface_.bulk_out; }
  std::uint8_t protocol() const override { return interface_.protocol; }
  bool has_interrupt_in() const override { return interface_.interrupt_in != 0; }

 private:
  Context context_;  // outlives the handle: members go in reverse order
  Handle handle_;
  TmcInterface interface_;
  bool reattach_;
};

// A libusb context, or null with the reason in `why`.
Context NewContext(std::string& why) {
  if (Usb().missing != nullptr) {
    why = Usb().missing;
    return nullptr;
  }
  libusb_context* raw = nullptr;
  if (Usb().init(&raw) != 0) {
    why = "no USB on this machine";
    return nullptr;
  }
  return Context(raw);
}

}  // namespace

std::vector<UsbAddress> libusb_instruments() {
  std::vector<UsbAddress> found;
  std::string why;
  Context context = NewContext(why);
  if (!context) return found;  // no USB here, or no libusb
  ForEachInterface(context.get(), [&](const UsbAddress& a, const TmcInterface&, Handle&) {
    found.push_back(a);
    return false;
  });
  return found;
}

ViStatus open_libusb_device(const UsbAddress& address, std::unique_ptr<UsbDevice>& out, std::string& why) {
  Context context = NewContext(why);
  if (!context) return VI_ERROR_RSRC_NFOUND;
  ViStatus status = VI_ERROR_RSRC_NFOUND;
  why = "no such USBTMC interface";
  ForEachInterface(context.get(), [&](const UsbAddress& a, const TmcInterface& t, Handle& handle) {
    bool wanted_number = address.interface_number < 0 ? a.interface_number < 0 : address.interface_number == t.number;
    if (a.vendor != address.vendor || a.product != address.product || a.serial != address.serial || !wanted_number)
      return false;
    // The kernel's usbtmc driver holds the interface when it is loaded.
    bool reattach = Usb().kernel_driver_active(handle.get(), t.number) == 1 &&
                    Usb().detach_kernel_driver(handle.get(), t.number) == 0;
    int st = Usb().claim_interface(handle.get(), t.number);
    if (st != 0) {
      if (reattach) Usb().attach_kernel_driver(handle.get(), t.number);
      why = Usb().strerror(static_cast<libusb_error>(st));
      status = st == LIBUSB_ERROR_BUSY ? VI_ERROR_RSRC_BUSY : VI_ERROR_IO;
      return true;
    }
    // The handle moves into the device; the enumeration stops here.
    libusb_device_handle* h = handle.get();
    handle.release();
    out = std::make_unique<LibusbDevice>(std::move(context), Handle(h), t, reattach);
    status = VI_SUCCESS;
    return true;
  });
  return status;
}

}  // namespace visa
