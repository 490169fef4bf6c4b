// SPDX-License-Identifier: MIT
// Who made this VISA library and its version, as every session and the
// resource manager report them.
#pragma once

#include "visa.h"

namespace visa {

constexpr const char* kManufacturerName = "ZEVRA open instrument stack";
// No registered VXIplug&play vendor ID belongs to this library.
constexpr ViAttrState kManufacturerId = 0;
// 1.0.0, as VISA encodes a version: 12 bits major, 12 minor, 8 sub-minor.
constexpr ViAttrState kImplementationVersion = 0x00100000;

}  // namespace visa
