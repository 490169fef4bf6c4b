// SPDX-License-Identifier: MIT
// The attribute registry: every attribute of attribute_list.h with its behaviour.
#pragma once

#include <map>

#include "attribute.h"

namespace zevra {

enum class AttributeKind { Inherent, Specific, SpecificIo, Class };

struct RegisteredAttribute {
  vexo::AttributeDescriptor descriptor;
  AttributeKind kind;
  const char* function_name;  // the <Name> of ZEVRA_Get<Name>/ZEVRA_Set<Name>
};

const std::map<ViAttr, RegisteredAttribute>& AttributeRegistry();

}  // namespace zevra
