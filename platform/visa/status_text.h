// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "visatype.h"

namespace visa {

// "NAME: description" of a VISA status code; false (with a generic text) for a
// code this library does not know.
bool status_text(ViStatus status, std::string& text);

}  // namespace visa
