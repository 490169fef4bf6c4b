// SPDX-License-Identifier: MIT
#include "attribute_registry.h"

#include <string>

#include "ZEVRA.h"
#include "attribute_behaviors.h"
#include "attribute_list.h"
#include "enum_maps.h"
#include "vexo_assert.h"

namespace zevra {
namespace {

using vexo::ValueType;

constexpr ValueType TypeOf(std::string_view type) {
  return type == "ViInt32"     ? ValueType::Int32
         : type == "ViReal64"  ? ValueType::Real64
         : type == "ViBoolean" ? ValueType::Boolean
         : type == "ViString"  ? ValueType::String
                               : ValueType::Session;
}

std::map<ViAttr, RegisteredAttribute> Build() {
  std::map<ViAttr, RegisteredAttribute> registry;
#define ZEVRA_REGISTER(NAME, Function, ID, Type, Access, Kind)                                       \
  {                                                                                                 \
    RegisteredAttribute& r = registry[ID];                                                          \
    r.descriptor.id = ID;                                                                           \
    r.descriptor.name = "ZEVRA_ATTR_" #NAME;                                                        \
    r.descriptor.label = "ZEVRA_get_" #NAME;                                                        \
    r.descriptor.type = TypeOf(#Type);                                                              \
    r.descriptor.channel_based = AttributeKind::Kind == AttributeKind::Class;                       \
    r.descriptor.read = std::string_view(#Access).find('R') != std::string_view::npos ? vexo::TemplateRead : nullptr; \
    r.descriptor.write = std::string_view(#Access).find('W') != std::string_view::npos ? vexo::TemplateWrite : nullptr; \
    r.kind = AttributeKind::Kind;                                                                   \
    r.function_name = #Function;                                                                    \
  }
  ZEVRA_ATTRIBUTE_LIST(ZEVRA_REGISTER)
#undef ZEVRA_REGISTER

  for (const AttributeBehavior& b : AttributeBehaviors()) {
    auto it = registry.find(b.id);
    VEXO_ASSERT(it != registry.end() && "every behaviour belongs to a listed attribute");
    if (it == registry.end()) continue;
    vexo::AttributeDescriptor& d = it->second.descriptor;
    d.query = b.query;
    d.command = b.command;
    d.map = b.map != nullptr ? &b.map() : nullptr;
    d.simulated = b.simulated;
    d.framing = b.framing;
    if (d.read != nullptr && b.read != nullptr) d.read = b.read;
    if (d.write != nullptr && b.write != nullptr) d.write = b.write;
  }
  return registry;
}

}  // namespace

const std::map<ViAttr, RegisteredAttribute>& AttributeRegistry() {
  static const std::map<ViAttr, RegisteredAttribute> registry = Build();
  return registry;
}

}  // namespace zevra
