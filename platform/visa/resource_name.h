// Parsing of VISA resource strings for the TCP/IP interface.
#pragma once

#include <string>
#include <string_view>

#include "visatype.h"

namespace visa {

enum class ResourceKind { Socket, Vxi11, Hislip };

struct ResourceName {
  ResourceKind kind = ResourceKind::Socket;
  unsigned board = 0;
  std::string host;          // without IPv6 brackets
  unsigned port = 0;         // SOCKET and HiSLIP; 0 for VXI-11 (portmapper decides)
  std::string device_name;   // VXI-11 "inst0", HiSLIP "hislip0"
  std::string resource_class;  // "SOCKET" or "INSTR"
  std::string canonical;       // e.g. "TCPIP0::127.0.0.1::5025::SOCKET"
};

// VI_SUCCESS, VI_ERROR_INV_RSRC_NAME (malformed) or VI_ERROR_RSRC_NFOUND (well formed,
// but for an interface this library does not reach).
ViStatus parse_resource_name(std::string_view text, ResourceName& out);

}  // namespace visa
