// SPDX-License-Identifier: MIT
// A driver session's virtual channel names from the configuration store: each
// a single name ("Main" -> "CH3") or a range ("Out" 1..4 from 1: Out1..Out4 ->
// CH1..CH4). A range is kept as a range and matched on lookup, so one of any
// width costs nothing at open. Names compare without regard to ASCII case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexo {

class VirtualNameTable {
 public:
  void clear() { entries_.clear(); }
  void add_name(std::string name, std::string maps_to);
  void add_range(std::string name, std::string maps_to, long long min, long long max, long long start);

  std::optional<std::string> physical_for(std::string_view virtual_name) const;
  std::optional<std::string> virtual_for(std::string_view physical_name) const;

 private:
  struct Entry {
    std::string name;
    std::string maps_to;
    bool is_range = false;
    long long min = 0, max = 0, start = 0;
  };
  // In store order; a later entry wins over an earlier one that names the same channel.
  std::vector<Entry> entries_;
};

}  // namespace vexo
