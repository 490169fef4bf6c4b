// SPDX-License-Identifier: MIT
// Texts both generators derive from the driver's tables, so the reference
// documentation and the Python package's docstrings say the same things.
#pragma once

#include <map>
#include <string>

#include "attribute.h"
#include "attribute_registry.h"

namespace reference_docs {

// `text` as inline code, with line feeds and table bars escaped; "—" for null.
std::string Code(const char* text);
// The readable name of an enum map ("output mode"), or null.
const char* MapName(const vexo::EnumMap* map);
// What a simulated read returns.
std::string Simulated(const vexo::AttributeDescriptor& a);
std::string KindText(zevra::AttributeKind kind);
// Whether the attribute has read or write behaviour of its own.
bool HasOwnCallbacks(const vexo::AttributeDescriptor& a);
// What an attribute is and does, in one paragraph: type, access, kind, its
// exchange, its values and its simulated read. The header, the reference and
// the Python docstrings all say this.
std::string AttributeSummary(const vexo::AttributeDescriptor& a, zevra::AttributeKind kind);
// ZEVRA_Get<Name>/ZEVRA_Set<Name> -> the attribute constant they access.
const std::map<std::string, std::string>& AttributeOfAccessor();

}  // namespace reference_docs
