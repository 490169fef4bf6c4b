// SPDX-License-Identifier: MIT
// The buses our library does not reach on Windows yet: USB (libusb), mDNS
// discovery (Avahi) and linux-gpib boards. Each answers as a bus with nothing
// on it, and says why in the trace.
#include "discovery.h"
#include "gpib_board.h"
#include "usb_device.h"
#include "visa.h"

namespace visa {

std::vector<UsbAddress> libusb_instruments() { return {}; }

ViStatus open_libusb_device(const UsbAddress&, std::unique_ptr<UsbDevice>&, std::string& why) {
  why = "USB is not supported on Windows yet";
  return VI_ERROR_RSRC_NFOUND;
}

std::vector<ResourceName> find_mdns_instruments(std::uint32_t, std::string& note) {
  note = "mDNS discovery skipped: not supported on Windows yet";
  return {};
}

ViStatus open_linux_gpib_board(unsigned, std::shared_ptr<GpibBoard>&, std::string& why) {
  why = "linux-gpib boards are not supported on Windows";
  return VI_ERROR_RSRC_NFOUND;
}

}  // namespace visa
