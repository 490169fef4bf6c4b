// SPDX-License-Identifier: MIT
// A VISA status as the library describes it, for what the gateway tells clients and its log.
#pragma once

#include <string>

#include "visa.h"

namespace gateway {

inline std::string StatusTextOf(ViStatus status) {
  char text[256] = {};
  viStatusDesc(VI_NULL, status, text);
  return text;
}

}  // namespace gateway
