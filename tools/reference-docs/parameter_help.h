// SPDX-License-Identifier: MIT
// What each function parameter means, with its units and valid values: by
// parameter name, or by function and name where one name means different things.
#pragma once

#include <string>
#include <vector>

#include "header_declarations.h"

namespace reference_docs {

// The help of `parameter` of `function`, or null when it has none.
const char* ParameterHelp(const std::string& function, const std::string& parameter);

// "Function.Parameter, ..." of the declarations' parameters without help; the
// generators refuse to run while there is one.
std::string ParametersWithoutHelp(const std::vector<Declaration>& declarations);

}  // namespace reference_docs
