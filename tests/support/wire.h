// SPDX-License-Identifier: MIT
// The emulator's other transports for tests: an instrument served over
// VXI-11, HiSLIP, a serial line, USB (a USBTMC device on this process's
// emulated bus) or GPIB (at address 5 behind a "++" adapter, which an
// interface session of this server's declares as a board of its own) as well
// as its raw socket, and the VISA resource for each.
#pragma once

#include <atomic>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>

#include "emulated_usb_bus.h"
#include "gpib_bus.h"
#include "prologix_adapter.h"
#include "socket_server.h"
#include "hislip_server.h"
#include "serial_server.h"
#include "instrument.h"
#include "transcript.h"
#include "visa.h"
#include "vxi11_server.h"

namespace testsupport {

enum class Wire { Socket, Vxi11, Hislip, Serial, Usb, Gpib };

inline const char* WireName(Wire w) {
  switch (w) {
    case Wire::Socket: return "Socket";
    case Wire::Vxi11: return "Vxi11";
    case Wire::Hislip: return "Hislip";
    case Wire::Serial: return "Serial";
    case Wire::Usb: return "Usb";
    case Wire::Gpib: return "Gpib";
  }
  return "?";
}
inline std::ostream& operator<<(std::ostream& os, Wire w) { return os << WireName(w); }

class WireServer {
 public:
  // Starts the server for `wire` (nothing more for the raw socket); the
  // error text is empty on success.
  std::string start(Wire wire, emulator::Instrument& instrument, emulator::Transcript* transcript) {
    wire_ = wire;
    if (wire == Wire::Vxi11) {
      vxi11_ = std::make_unique<emulator::Vxi11Server>(instrument, transcript);
      std::string error = vxi11_->start("127.0.0.1", 0);
      // The VISA library finds this emulator's portmapper through the environment.
      if (error.empty()) setenv("ZEVRA_VXI11_PORTMAPPER_PORT", std::to_string(vxi11_->portmapper_port()).c_str(), 1);
      return error;
    }
    if (wire == Wire::Hislip) {
      hislip_ = std::make_unique<emulator::HislipServer>(instrument, transcript);
      return hislip_->start("127.0.0.1", 0);
    }
    if (wire == Wire::Serial) {
      serial_ = std::make_unique<emulator::SerialServer>(instrument, transcript);
      return serial_->start(9600);
    }
    if (wire == Wire::Usb) {
      // Each instrument a serial number of its own, on this process's emulated bus.
      static std::atomic<int> next{1};
      emulator::UsbIdentity identity;
      identity.serial = "EMU" + std::to_string(next++);
      usb_ = std::make_unique<emulator::UsbtmcDevice>(instrument, transcript, identity);
      emulator::EmulatedUsbBus::instance().attach(usb_.get());
      return {};
    }
    if (wire == Wire::Gpib) {
      static std::atomic<unsigned> next_board{10};
      gpib_board_ = next_board++;
      bus_ = std::make_unique<emulator::GpibBus>();
      bus_->attach(5, instrument, transcript);
      adapter_ = std::make_unique<emulator::GpibAdapterInstrument>(*bus_, emulator::AdapterFirmware::Prologix);
      gpib_ = std::make_unique<emulator::SocketServer>(*adapter_, nullptr);
      std::string error = gpib_->start("127.0.0.1", 0);
      if (!error.empty()) return error;
      const std::string adapter = "PRLGX-TCPIP" + std::to_string(gpib_board_) + "::127.0.0.1::" +
                                  std::to_string(gpib_->port()) + "::INTFC";
      if (viOpenDefaultRM(&gpib_rm_) < 0 || viOpen(gpib_rm_, adapter.c_str(), VI_NULL, 2000, &gpib_intfc_) < 0)
        return "cannot open " + adapter;
      return {};
    }
    return {};
  }
  // The resource for this wire; `socket_resource` is the raw socket's.
  std::string resource(const std::string& socket_resource) const {
    if (wire_ == Wire::Vxi11) return "TCPIP0::127.0.0.1::inst0::INSTR";
    if (wire_ == Wire::Hislip) return "TCPIP0::127.0.0.1::hislip0," + std::to_string(hislip_->port()) + "::INSTR";
    if (wire_ == Wire::Serial) return "ASRL" + serial_->path() + "::INSTR";
    if (wire_ == Wire::Usb) return "USB0::0x1AB1::0x7001::" + usb_->identity().serial + "::INSTR";
    if (wire_ == Wire::Gpib) return "GPIB" + std::to_string(gpib_board_) + "::5::INSTR";
    return socket_resource;
  }
  // The port a client connects to for the instrument itself: the raw socket's,
  // the VXI-11 core channel's or the HiSLIP server's.
  unsigned instrument_port(unsigned socket_port) const {
    if (wire_ == Wire::Vxi11) return vxi11_->core_port();
    if (wire_ == Wire::Hislip) return hislip_->port();
    return socket_port;
  }
  unsigned portmapper_port() const { return vxi11_ ? vxi11_->portmapper_port() : 0; }
  Wire wire() const { return wire_; }

  // Drops every client, as an instrument that is switched off would.
  void stop() {
    if (vxi11_) vxi11_->stop();
    if (hislip_) hislip_->stop();
    if (serial_) serial_->stop();
    if (usb_) usb_->unplug();
    if (gpib_) gpib_->stop();
  }
  ~WireServer() {
    if (gpib_rm_ != VI_NULL) viClose(gpib_rm_);  // gives the board up
    stop();
    if (usb_) emulator::EmulatedUsbBus::instance().detach(usb_.get());
    if (vxi11_) unsetenv("ZEVRA_VXI11_PORTMAPPER_PORT");
  }

 private:
  Wire wire_ = Wire::Socket;
  std::unique_ptr<emulator::Vxi11Server> vxi11_;
  std::unique_ptr<emulator::HislipServer> hislip_;
  std::unique_ptr<emulator::SerialServer> serial_;
  std::unique_ptr<emulator::UsbtmcDevice> usb_;
  std::unique_ptr<emulator::GpibBus> bus_;
  std::unique_ptr<emulator::GpibAdapterInstrument> adapter_;
  std::unique_ptr<emulator::SocketServer> gpib_;  // after the bus and adapter it serves
  unsigned gpib_board_ = 0;
  ViSession gpib_rm_ = VI_NULL, gpib_intfc_ = VI_NULL;
};

}  // namespace testsupport
