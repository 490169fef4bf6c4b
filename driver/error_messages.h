// SPDX-License-Identifier: MIT
// The driver's error message table: every status code the driver knows, with
// its constant name and message template.
#pragma once

#include <span>

#include "visatype.h"

namespace zevra {

struct ErrorMessageRow {
  ViStatus code;
  const char* constant;
  const char* message;
};

std::span<const ErrorMessageRow> ErrorMessageTable();

}  // namespace zevra
