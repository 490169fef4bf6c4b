// SPDX-License-Identifier: MIT
// The serial ports a Windows machine has, as its serial drivers register them.
#include <windows.h>

#include <algorithm>
#include <charconv>
#include <string_view>

#include "discovery.h"

namespace visa {

std::vector<ResourceName> find_serial_ports() {
  std::vector<unsigned> numbers;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    for (DWORD index = 0;; ++index) {
      char name[256];
      DWORD name_size = sizeof name;
      char data[64];
      DWORD data_size = sizeof data - 1;
      DWORD type = 0;
      LONG result = ::RegEnumValueA(key, index, name, &name_size, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data), &data_size);
      if (result == ERROR_NO_MORE_ITEMS) break;
      if (result != ERROR_SUCCESS || type != REG_SZ) continue;
      data[data_size] = '\0';
      // Each value's data is the port's name, "COM3": ASRL3 reaches it.
      std::string_view port(data);
      while (!port.empty() && port.back() == '\0') port.remove_suffix(1);
      if (port.size() <= 3 || port.substr(0, 3) != "COM") continue;
      unsigned number = 0;
      auto [end, ec] = std::from_chars(port.data() + 3, port.data() + port.size(), number);
      if (ec == std::errc{} && end == port.data() + port.size() && number > 0) numbers.push_back(number);
    }
    ::RegCloseKey(key);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  std::vector<ResourceName> ports;
  for (unsigned number : numbers) {
    ResourceName resource;
    if (parse_resource_name("ASRL" + std::to_string(number), resource) >= 0) ports.push_back(resource);
  }
  return ports;
}

}  // namespace visa
