// SPDX-License-Identifier: MIT
// What each attribute means, and its units and valid values: the help text the
// header, the reference and the Python docstrings all show.
#pragma once

#include <string>

#include "visatype.h"

namespace reference_docs {

struct AttributeHelp {
  const char* meaning;
  std::string values;  // empty: what the type and the value map say
};

// The help of an attribute, or null for one that has none.
const AttributeHelp* FindAttributeHelp(ViAttr id);

// The attributes of the driver that have no help; the generators refuse to run
// while there is one, so no attribute goes undocumented.
std::string AttributesWithoutHelp();

}  // namespace reference_docs
