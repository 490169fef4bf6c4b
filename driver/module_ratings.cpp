// SPDX-License-Identifier: MIT
#include "module_ratings.h"

#include "ci_map.h"

namespace zevra {
namespace {

constexpr ModuleRating kRatings[] = {
    {"QDX7101", 15, 20, 100}, {"QDX7102", 32, 9.4, 100}, {"QDX7103", 60, 5, 100}, {"QDX7104", 100, 3, 100},
    {"QDX7301", 15, 20, 300}, {"QDX7302", 32, 9.4, 300}, {"QDX7303", 60, 5, 300}, {"QDX7304", 100, 3, 300},
};

}  // namespace

const ModuleRating* FindModuleRating(std::string_view module_identity) {
  if (module_identity.size() < 7) return nullptr;
  for (const ModuleRating& rating : kRatings) {
    if (vexo::EqualsIgnoringCase(module_identity.substr(0, 7), rating.model)) return &rating;
  }
  return nullptr;
}

std::span<const ModuleRating> ModuleRatings() { return kRatings; }

}  // namespace zevra
