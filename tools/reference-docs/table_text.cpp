// SPDX-License-Identifier: MIT
#include "table_text.h"

#include <cstdio>

#include "attribute_help.h"
#include "attribute_list.h"
#include "enum_maps.h"

namespace reference_docs {

std::string Code(const char* text) {
  if (text == nullptr) return "—";
  std::string s;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') s += "\\n";
    else if (*p == '|') s += "\\|";
    else s += *p;
  }
  return "`" + s + "`";
}

const char* MapName(const vexo::EnumMap* map) {
  for (const zevra::NamedMap& named : zevra::NamedMaps())
    if (&named.map() == map) return named.name;
  return nullptr;
}

std::string Simulated(const vexo::AttributeDescriptor& a) {
  if (a.type == vexo::ValueType::String) {
    std::string text = std::string("\"") + a.simulated.text + "\"";
    return a.simulated.fixed ? "always " + text : "last written, else " + text;
  }
  char number[32];
  std::snprintf(number, sizeof number, "%g", a.simulated.number);
  std::string value = number;
  if (a.type == vexo::ValueType::Boolean)
    value = (a.simulated.fixed || a.simulated.has_default ? a.simulated.number != 0 : true) ? "VI_TRUE" : "VI_FALSE";
  if (a.read == vexo::TemplateRead || a.simulated.fixed)
    return a.simulated.fixed ? "always " + value : "last written, else " + value;
  return "own behaviour, see below";
}

std::string KindText(zevra::AttributeKind kind) {
  switch (kind) {
    case zevra::AttributeKind::Inherent: return "inherent";
    case zevra::AttributeKind::Class: return "class (channel-based)";
    default: return "instrument";
  }
}

bool HasOwnCallbacks(const vexo::AttributeDescriptor& a) {
  return (a.read && a.read != vexo::TemplateRead) || (a.write && a.write != vexo::TemplateWrite);
}

std::string AttributeSummary(const vexo::AttributeDescriptor& a, zevra::AttributeKind kind) {
  std::string access = a.read && a.write ? "read/write" : a.read ? "read-only" : "write-only";
  std::string doc;
  if (const AttributeHelp* help = FindAttributeHelp(a.id); help != nullptr) {
    doc = std::string(help->meaning) + " ";
    if (!help->values.empty()) doc += "Values: " + help->values + ". ";
  }
  doc += std::string(vexo::TypeName(a.type)) + ", " + access + ", " + KindText(kind) + ".";
  bool own = HasOwnCallbacks(a);
  if (a.query != nullptr) doc += " Query " + Code(a.query) + ".";
  if (a.command != nullptr) doc += " Command " + Code(a.command) + ".";
  if (own && a.query == nullptr && a.command == nullptr) doc += " A behaviour of its own (see docs/reference.md).";
  if (const char* map = MapName(a.map); map != nullptr) doc += std::string(" Defined values: ") + map + ".";
  // The reference's "see below" points at its own section on these behaviours.
  bool own_simulation = a.read != nullptr && a.read != vexo::TemplateRead && !a.simulated.fixed;
  if (a.read && !own_simulation) doc += " Simulated read: " + Simulated(a) + ".";
  return doc;
}

const std::map<std::string, std::string>& AttributeOfAccessor() {
  static const std::map<std::string, std::string> accessors = [] {
    std::map<std::string, std::string> m;
#define ZEVRA_ACCESSOR_Specific(NAME, Function)            \
  m["ZEVRA_Get" #Function] = "ZEVRA_ATTR_" #NAME;          \
  m["ZEVRA_Set" #Function] = "ZEVRA_ATTR_" #NAME;
#define ZEVRA_ACCESSOR_SpecificIo(NAME, Function)
#define ZEVRA_ACCESSOR_Inherent(NAME, Function)
#define ZEVRA_ACCESSOR_Class(NAME, Function)
#define ZEVRA_ACCESSOR(NAME, Function, ID, Type, Access, Kind) ZEVRA_ACCESSOR_##Kind(NAME, Function)
    ZEVRA_ATTRIBUTE_LIST(ZEVRA_ACCESSOR)
#undef ZEVRA_ACCESSOR
    return m;
  }();
  return accessors;
}

}  // namespace reference_docs
