// SPDX-License-Identifier: MIT
// The serial ports a machine has, from /dev and what the kernel says of them.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "discovery.h"

namespace visa {
namespace {

struct PortName {
  std::string_view family;  // "ttyS", "ttyUSB", "ttyACM"
  unsigned number = 0;
};

bool ParsePortName(std::string_view name, PortName& out) {
  for (std::string_view family : {"ttyUSB", "ttyACM", "ttyS"}) {
    if (name.substr(0, family.size()) != family) continue;
    std::string_view digits = name.substr(family.size());
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), out.number);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size()) return false;
    out.family = family;
    return true;
  }
  return false;
}

// A ttyS device node exists whether or not a UART sits behind it; the serial
// core says which do (type 0 is PORT_UNKNOWN: nothing there).
bool HasUart(const std::filesystem::path& sys_port) {
  std::ifstream type(sys_port / "type");
  int value = 0;
  return static_cast<bool>(type >> value) && value != 0;
}

}  // namespace

std::vector<ResourceName> find_serial_ports(const std::string& sys_class_tty, const std::string& dev) {
  std::vector<std::pair<PortName, std::string>> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dev, error)) {
    const std::string name = entry.path().filename().string();
    PortName port;
    if (!ParsePortName(name, port)) continue;
    if (port.family == "ttyS" && !HasUart(std::filesystem::path(sys_class_tty) / name)) continue;
    found.emplace_back(port, entry.path().string());
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    auto rank = [](std::string_view f) { return f == "ttyS" ? 0 : f == "ttyUSB" ? 1 : 2; };
    return std::pair(rank(a.first.family), a.first.number) < std::pair(rank(b.first.family), b.first.number);
  });
  std::vector<ResourceName> ports;
  for (const auto& [port, path] : found) {
    ResourceName resource;
    // ttyS<n> is ASRL<n+1>, as VISA numbers a machine's own ports; the others go by path.
    if (port.family == "ttyS" && dev == "/dev" &&
        parse_resource_name("ASRL" + std::to_string(port.number + 1), resource) >= 0) {
      ports.push_back(resource);
    } else {
      ports.push_back(serial_resource(path));
    }
  }
  return ports;
}

}  // namespace visa
