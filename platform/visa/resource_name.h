// SPDX-License-Identifier: MIT
// Parsing of VISA resource strings: TCP/IP, serial (ASRL), USB, GPIB and the
// "++" GPIB adapters that carry it (PRLGX-TCPIP, PRLGX-ASRL).
#pragma once

#include <string>
#include <string_view>

#include "visatype.h"

namespace visa {

enum class ResourceKind { Socket, Vxi11, Hislip, Serial, UsbInstr, UsbRaw, GpibInstr, GpibIntfc, PrologixIntfc };

// A USB device as a resource names it.
struct UsbAddress {
  unsigned vendor = 0;
  unsigned product = 0;
  std::string serial;
  int interface_number = -1;  // -1: the device's first USBTMC interface
};

struct ResourceName {
  ResourceKind kind = ResourceKind::Socket;
  unsigned board = 0;
  std::string host;          // without IPv6 brackets
  unsigned port = 0;         // SOCKET, HiSLIP and a PRLGX-TCPIP adapter; 0 for VXI-11 (portmapper decides)
  unsigned gpib_primary = 0;   // GPIB INSTR: 0 to 30
  int gpib_secondary = -1;     // GPIB INSTR: 0 to 30, or -1 for none
  std::string device_name;   // VXI-11 "inst0", HiSLIP "hislip0"
  std::string resource_class;  // "SOCKET" or "INSTR"
  std::string canonical;       // e.g. "TCPIP0::127.0.0.1::5025::SOCKET"
  std::string device_path;     // ASRL and PRLGX-ASRL: the serial device, "/dev/ttyS0"
  UsbAddress usb;              // USB

  ViUInt16 interface_type() const;
  // A byte stream with no messages of its own (raw socket, serial line): the
  // status byte and trigger travel as 488.2 strings there.
  bool byte_stream() const { return kind == ResourceKind::Socket || kind == ResourceKind::Serial; }
};

// The resource of serial port `path` ("ASRL/dev/ttyUSB0::INSTR").
ResourceName serial_resource(const std::string& path);
// The resource of a USBTMC interface, as discovery reports it.
ResourceName usb_resource(unsigned board, const UsbAddress& address, bool raw);

// VI_SUCCESS, VI_ERROR_INV_RSRC_NAME (malformed) or VI_ERROR_RSRC_NFOUND (well formed,
// but for an interface this library does not reach).
ViStatus parse_resource_name(std::string_view text, ResourceName& out);

}  // namespace visa
