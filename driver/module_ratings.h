// SPDX-License-Identifier: MIT
// Output module ratings, by module model.
#pragma once

#include <span>
#include <string_view>

#include "visatype.h"

namespace zevra {

struct ModuleRating {
  const char* model;
  ViReal64 max_voltage;
  ViReal64 max_current;
  ViReal64 max_power;
};

// The rating whose model matches the first seven characters of a module
// identity (case ignored), or null.
const ModuleRating* FindModuleRating(std::string_view module_identity);

// Every module the driver knows, in the order they are searched.
std::span<const ModuleRating> ModuleRatings();

}  // namespace zevra
