// SPDX-License-Identifier: MIT
#include "resource_name.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <vector>

#include "serial_line.h"
#include "visa.h"

namespace visa {
namespace {

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool iequals(std::string_view a, std::string_view b) { return upper(a) == upper(b); }

bool starts_with_ci(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && iequals(s.substr(0, prefix.size()), prefix);
}

bool parse_uint(std::string_view s, unsigned max, unsigned& out) {
  if (s.empty() || s.size() > 10) return false;
  unsigned long long v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc{} || p != s.data() + s.size() || v > max) return false;
  out = static_cast<unsigned>(v);
  return true;
}

// Splits on "::", keeping a bracketed IPv6 literal in one piece.
bool split_fields(std::string_view s, std::vector<std::string_view>& fields) {
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '[' && i == start) {
      std::size_t close = s.find(']', i);
      if (close == std::string_view::npos) return false;
      i = close + 1;
      continue;
    }
    if (s.compare(i, 2, "::") == 0) {
      fields.push_back(s.substr(start, i - start));
      i += 2;
      start = i;
      continue;
    }
    ++i;
  }
  fields.push_back(s.substr(start));
  return true;
}

bool parse_host(std::string_view field, std::string& host) {
  if (field.empty()) return false;
  if (field.front() == '[') {
    if (field.size() < 3 || field.back() != ']') return false;
    host = std::string(field.substr(1, field.size() - 2));
    return true;
  }
  for (char c : field) {
    // A ':' belongs in a host only inside an IPv6 literal's brackets.
    if (std::isspace(static_cast<unsigned char>(c)) || c == '[' || c == ']' || c == ':') return false;
  }
  host = std::string(field);
  return true;
}

// A USB vendor or product ID: "0x0957" or decimal.
bool parse_usb_id(std::string_view s, unsigned& out) {
  if (starts_with_ci(s, "0x")) {
    s.remove_prefix(2);
    if (s.empty() || s.size() > 4) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out, 16);
    return ec == std::errc{} && p == s.data() + s.size();
  }
  return parse_uint(s, 0xFFFF, out);
}

std::string usb_canonical(unsigned board, const UsbAddress& a, bool raw) {
  char ids[32];
  std::snprintf(ids, sizeof ids, "::0x%04X::0x%04X::", a.vendor, a.product);
  std::string name = "USB" + std::to_string(board) + ids + a.serial;
  if (a.interface_number >= 0) name += "::" + std::to_string(a.interface_number);
  return name + (raw ? "::RAW" : "::INSTR");
}

// ASRL<n>[::INSTR] (port n is /dev/ttyS<n-1>, or COMn on Windows) or ASRL<device path>[::INSTR].
ViStatus parse_serial(const std::vector<std::string_view>& fields, ResourceName& out) {
  if (fields.size() > 2 || (fields.size() == 2 && !iequals(fields[1], "INSTR"))) return VI_ERROR_INV_RSRC_NAME;
  std::string_view port = fields[0].substr(4);
  if (!port.empty() && port.front() == '/') {
    out = serial_resource(std::string(port));
    return VI_SUCCESS;
  }
  ResourceName r;
  if (!parse_uint(port, 65535, r.board)) return VI_ERROR_INV_RSRC_NAME;
  if (r.board == 0) return VI_ERROR_RSRC_NFOUND;  // ports count from 1
  r.kind = ResourceKind::Serial;
  r.resource_class = "INSTR";
  r.device_path = serial_port_device(r.board);
  r.canonical = "ASRL" + std::to_string(r.board) + "::INSTR";
  out = std::move(r);
  return VI_SUCCESS;
}

// USB[board]::vendor::product::serial[::interface][::INSTR|::RAW].
ViStatus parse_usb(std::vector<std::string_view> fields, ResourceName& out) {
  ResourceName r;
  std::string_view board = fields[0].substr(3);
  if (!board.empty() && !parse_uint(board, 65535, r.board)) return VI_ERROR_INV_RSRC_NAME;
  bool raw = false;
  if (iequals(fields.back(), "RAW")) {
    raw = true;
    fields.pop_back();
  } else if (iequals(fields.back(), "INSTR")) {
    fields.pop_back();
  }
  if (fields.size() != 4 && fields.size() != 5) return VI_ERROR_INV_RSRC_NAME;
  if (!parse_usb_id(fields[1], r.usb.vendor) || !parse_usb_id(fields[2], r.usb.product)) return VI_ERROR_INV_RSRC_NAME;
  r.usb.serial = std::string(fields[3]);
  if (fields.size() == 5) {
    unsigned number = 0;
    if (!parse_uint(fields[4], 255, number)) return VI_ERROR_INV_RSRC_NAME;
    r.usb.interface_number = static_cast<int>(number);
  }
  out = usb_resource(r.board, r.usb, raw);
  return VI_SUCCESS;
}

// GPIB[board]::primary[::secondary][::INSTR] (addresses 0 to 30) and GPIB[board]::INTFC.
ViStatus parse_gpib(std::vector<std::string_view> fields, ResourceName& out) {
  ResourceName r;
  std::string_view board = fields[0].substr(4);
  if (!board.empty() && !parse_uint(board, 65535, r.board)) return VI_ERROR_INV_RSRC_NAME;
  const std::string prefix = "GPIB" + std::to_string(r.board);
  if (fields.size() == 2 && iequals(fields[1], "INTFC")) {
    r.kind = ResourceKind::GpibIntfc;
    r.resource_class = "INTFC";
    r.canonical = prefix + "::INTFC";
    out = std::move(r);
    return VI_SUCCESS;
  }
  if (fields.size() > 1 && iequals(fields.back(), "INSTR")) fields.pop_back();
  if (fields.size() != 2 && fields.size() != 3) return VI_ERROR_INV_RSRC_NAME;
  if (!parse_uint(fields[1], 30, r.gpib_primary)) return VI_ERROR_INV_RSRC_NAME;
  r.canonical = prefix + "::" + std::to_string(r.gpib_primary);
  if (fields.size() == 3) {
    unsigned secondary = 0;
    if (!parse_uint(fields[2], 30, secondary)) return VI_ERROR_INV_RSRC_NAME;
    r.gpib_secondary = static_cast<int>(secondary);
    r.canonical += "::" + std::to_string(secondary);
  }
  r.kind = ResourceKind::GpibInstr;
  r.resource_class = "INSTR";
  r.canonical += "::INSTR";
  out = std::move(r);
  return VI_SUCCESS;
}

// A "++" GPIB adapter as board `board`: PRLGX-TCPIP[board]::host[::port]::INTFC
// (port 1234 unless named) or PRLGX-ASRL[board]::device::INTFC, the device a
// path or a serial port number (ASRL numbering: 1 is /dev/ttyS0, or COM1; on
// Windows COM<n> too).
ViStatus parse_prologix(std::vector<std::string_view> fields, ResourceName& out) {
  const bool tcp = starts_with_ci(fields[0], "PRLGX-TCPIP");
  ResourceName r;
  std::string_view board = fields[0].substr(tcp ? 11 : 10);
  if (!board.empty() && !parse_uint(board, 65535, r.board)) return VI_ERROR_INV_RSRC_NAME;
  if (fields.size() < 3 || !iequals(fields.back(), "INTFC")) return VI_ERROR_INV_RSRC_NAME;
  fields.pop_back();
  r.kind = ResourceKind::PrologixIntfc;
  r.resource_class = "INTFC";
  const std::string prefix = (tcp ? "PRLGX-TCPIP" : "PRLGX-ASRL") + std::to_string(r.board) + "::";
  if (tcp) {
    if (fields.size() > 3 || !parse_host(fields[1], r.host)) return VI_ERROR_INV_RSRC_NAME;
    r.port = 1234;
    if (fields.size() == 3 && (!parse_uint(fields[2], 65535, r.port) || r.port == 0)) return VI_ERROR_INV_RSRC_NAME;
    r.canonical = prefix + std::string(fields[1]) + "::" + std::to_string(r.port) + "::INTFC";
  } else {
    if (fields.size() != 2) return VI_ERROR_INV_RSRC_NAME;
    std::string_view device = fields[1];
    unsigned number = 0;
    if (!device.empty() && device.front() == '/') {
      r.device_path = std::string(device);
    } else if (parse_uint(device, 65535, number) && number > 0) {
      r.device_path = serial_port_device(number);
#ifdef _WIN32
    } else if (starts_with_ci(device, "COM") && parse_uint(device.substr(3), 65535, number) && number > 0) {
      r.device_path = serial_port_device(number);  // the name Windows users know the port by
#endif
    } else {
      return VI_ERROR_INV_RSRC_NAME;
    }
    r.canonical = prefix + std::string(device) + "::INTFC";
  }
  out = std::move(r);
  return VI_SUCCESS;
}

// Interfaces VISA knows but this library does not reach.
bool is_other_interface(std::string_view text) {
  static constexpr std::string_view kOthers[] = {"VXI", "PXI", "GPIB-VXI"};
  return std::any_of(std::begin(kOthers), std::end(kOthers),
                     [&](std::string_view p) { return starts_with_ci(text, p); });
}

}  // namespace

ResourceName serial_resource(const std::string& path) {
  ResourceName r;
  r.kind = ResourceKind::Serial;
  r.resource_class = "INSTR";
  r.device_path = path;
  r.canonical = "ASRL" + path + "::INSTR";
  return r;
}

ResourceName usb_resource(unsigned board, const UsbAddress& address, bool raw) {
  ResourceName r;
  r.kind = raw ? ResourceKind::UsbRaw : ResourceKind::UsbInstr;
  r.board = board;
  r.resource_class = raw ? "RAW" : "INSTR";
  r.usb = address;
  r.canonical = usb_canonical(board, address, raw);
  return r;
}

ViUInt16 ResourceName::interface_type() const {
  switch (kind) {
    case ResourceKind::Serial: return VI_INTF_ASRL;
    case ResourceKind::UsbInstr:
    case ResourceKind::UsbRaw: return VI_INTF_USB;
    case ResourceKind::GpibInstr:
    case ResourceKind::GpibIntfc:
    case ResourceKind::PrologixIntfc: return VI_INTF_GPIB;
    default: return VI_INTF_TCPIP;
  }
}

ViStatus parse_resource_name(std::string_view text, ResourceName& out) {
  std::vector<std::string_view> fields;
  if (!split_fields(text, fields) || fields.empty()) return VI_ERROR_INV_RSRC_NAME;
  for (std::string_view f : fields) {
    // A field ending in ':' would run into the "::" after it and not read back as itself.
    if (f.empty() || f.back() == ':') return VI_ERROR_INV_RSRC_NAME;
  }

  std::string_view intf = fields[0];
  if (starts_with_ci(intf, "ASRL")) return parse_serial(fields, out);
  if (starts_with_ci(intf, "USB")) return parse_usb(fields, out);
  if (starts_with_ci(intf, "GPIB-VXI")) return fields.size() >= 2 ? VI_ERROR_RSRC_NFOUND : VI_ERROR_INV_RSRC_NAME;
  if (starts_with_ci(intf, "GPIB")) return fields.size() >= 2 ? parse_gpib(fields, out) : VI_ERROR_INV_RSRC_NAME;
  if (starts_with_ci(intf, "PRLGX-TCPIP") || starts_with_ci(intf, "PRLGX-ASRL")) return parse_prologix(fields, out);
  if (!starts_with_ci(intf, "TCPIP")) {
    if (is_other_interface(intf) && fields.size() >= 2) return VI_ERROR_RSRC_NFOUND;
    return VI_ERROR_INV_RSRC_NAME;
  }
  ResourceName r;
  std::string_view board = intf.substr(5);
  if (!board.empty() && !parse_uint(board, 65535, r.board)) return VI_ERROR_INV_RSRC_NAME;
  if (fields.size() < 2 || !parse_host(fields[1], r.host)) return VI_ERROR_INV_RSRC_NAME;
  std::string host_text(fields[1]);

  auto finish = [&](std::string tail) {
    r.canonical = "TCPIP" + std::to_string(r.board) + "::" + host_text + tail;
    out = std::move(r);
    return VI_SUCCESS;
  };

  // TCPIP[board]::host::port::SOCKET
  if (fields.size() == 4 && iequals(fields[3], "SOCKET")) {
    if (!parse_uint(fields[2], 65535, r.port) || r.port == 0) return VI_ERROR_INV_RSRC_NAME;
    r.kind = ResourceKind::Socket;
    r.resource_class = "SOCKET";
    return finish("::" + std::to_string(r.port) + "::SOCKET");
  }

  // A socket resource without its port is malformed, not a device named "SOCKET".
  if (iequals(fields.back(), "SOCKET")) return VI_ERROR_INV_RSRC_NAME;

  // TCPIP[board]::host[::device name][::INSTR]
  std::size_t n = fields.size();
  if (n >= 3 && iequals(fields[n - 1], "INSTR")) --n;
  if (n > 3) return VI_ERROR_INV_RSRC_NAME;
  std::string device = n == 3 ? std::string(fields[2]) : std::string("inst0");
  r.resource_class = "INSTR";
  if (starts_with_ci(device, "hislip")) {
    r.kind = ResourceKind::Hislip;
    r.port = 4880;
    std::size_t comma = device.find(',');
    if (comma != std::string::npos) {
      if (!parse_uint(std::string_view(device).substr(comma + 1), 65535, r.port) || r.port == 0)
        return VI_ERROR_INV_RSRC_NAME;
      device.resize(comma);
    }
    unsigned index = 0;
    if (!parse_uint(std::string_view(device).substr(6), 65535, index))
      return VI_ERROR_INV_RSRC_NAME;
  } else {
    r.kind = ResourceKind::Vxi11;
    for (char c : device) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != ',' && c != '_')
        return VI_ERROR_INV_RSRC_NAME;
    }
  }
  r.device_name = device;
  // HiSLIP's port stays in the name unless it is the one clients assume.
  std::string canonical_device = device;
  if (r.kind == ResourceKind::Hislip && r.port != 4880) canonical_device += "," + std::to_string(r.port);
  return finish("::" + canonical_device + "::INSTR");
}

}  // namespace visa
