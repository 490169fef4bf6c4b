// SPDX-License-Identifier: MIT
#include <cassert>

#include "gpib_board.h"
#include "transport.h"

namespace visa {
namespace {

constexpr TransportEntry kTransports[] = {
    {ResourceKind::Socket, "TCPIP SOCKET", &open_socket_transport, nullptr},
    {ResourceKind::Vxi11, "TCPIP INSTR (VXI-11)", &open_vxi11_transport, nullptr},
    {ResourceKind::Hislip, "TCPIP INSTR (HiSLIP)", &open_hislip_transport, nullptr},
    {ResourceKind::Serial, "ASRL INSTR", &open_serial_transport, nullptr},
    {ResourceKind::UsbInstr, "USB INSTR (USBTMC)", &open_usbtmc_transport, nullptr},
    {ResourceKind::UsbRaw, "USB RAW", nullptr, "USB RAW resources are not opened: only USBTMC instruments (INSTR)"},
    {ResourceKind::GpibInstr, "GPIB INSTR", &open_gpib_instr_transport, nullptr},
    {ResourceKind::GpibIntfc, "GPIB INTFC", &open_gpib_intfc_transport, nullptr},
    {ResourceKind::PrologixIntfc, "GPIB INTFC (\"++\" adapter)", &open_prologix_intfc_transport, nullptr},
};

}  // namespace

const TransportEntry& transport_for(ResourceKind kind) {
  for (const TransportEntry& entry : kTransports) {
    if (entry.kind == kind) return entry;
  }
  assert(!"every resource kind has a transport entry");
  return kTransports[0];
}

}  // namespace visa
