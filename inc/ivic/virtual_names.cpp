// SPDX-License-Identifier: MIT
#include "virtual_names.h"

#include <charconv>

#include "ci_map.h"

namespace vexo {
namespace {

// The number k when `text` is `prefix` followed by k written as std::to_string writes it.
std::optional<long long> IndexAfterPrefix(std::string_view text, std::string_view prefix) {
  if (text.size() <= prefix.size() || !EqualsIgnoringCase(text.substr(0, prefix.size()), prefix)) return {};
  std::string_view digits = text.substr(prefix.size());
  long long k = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
  if (ec != std::errc{} || end != digits.data() + digits.size() || std::to_string(k) != digits) return {};
  return k;
}

}  // namespace

void VirtualNameTable::add_name(std::string name, std::string maps_to) {
  entries_.push_back({std::move(name), std::move(maps_to)});
}

void VirtualNameTable::add_range(std::string name, std::string maps_to, long long min, long long max,
                                 long long start) {
  entries_.push_back({std::move(name), std::move(maps_to), true, min, max, start});
}

std::optional<std::string> VirtualNameTable::physical_for(std::string_view virtual_name) const {
  for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
    if (!e->is_range) {
      if (EqualsIgnoringCase(virtual_name, e->name)) return e->maps_to;
      continue;
    }
    std::optional<long long> k = IndexAfterPrefix(virtual_name, e->name);
    if (k && *k >= e->min && *k <= e->max) return e->maps_to + std::to_string(*k - e->min + e->start);
  }
  return {};
}

std::optional<std::string> VirtualNameTable::virtual_for(std::string_view physical_name) const {
  for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
    if (!e->is_range) {
      if (EqualsIgnoringCase(physical_name, e->maps_to)) return e->name;
      continue;
    }
    std::optional<long long> p = IndexAfterPrefix(physical_name, e->maps_to);
    if (p && *p >= e->start && *p - e->start <= e->max - e->min) return e->name + std::to_string(*p - e->start + e->min);
  }
  return {};
}

}  // namespace vexo
