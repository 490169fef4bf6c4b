// SPDX-License-Identifier: MIT
// The driver's identity, its output channels, its supported models, and the
// look-ups of its attribute registry and error message table.
#include "description.h"

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ZEVRA.h"
#include "attribute_registry.h"
#include "error_messages.h"
#include "text.h"

namespace zevra {
namespace {

constexpr const char* kSupportedModels = "QDX7001, QDX7000";
constexpr const char* kFamily = "DefaultFamily";

// Every access looks its row up, a channel access twice (the selection is a
// write of its own): hashed, rather than walking the ordered registry's tree.
const vexo::AttributeDescriptor* FindAttribute(ViAttr id) {
  static const std::unordered_map<ViAttr, const vexo::AttributeDescriptor*> index = [] {
    std::unordered_map<ViAttr, const vexo::AttributeDescriptor*> m;
    for (const auto& [attribute, row] : AttributeRegistry()) m.emplace(attribute, &row.descriptor);
    return m;
  }();
  auto it = index.find(id);
  return it == index.end() ? nullptr : it->second;
}

const char* ErrorTemplate(ViStatus code) {
  static const std::map<ViStatus, const char*> table = [] {
    std::map<ViStatus, const char*> m;
    for (const ErrorMessageRow& row : ErrorMessageTable()) m.emplace(row.code, row.message);
    return m;
  }();
  auto it = table.find(code);
  return it == table.end() ? nullptr : it->second;
}

const std::map<std::string, std::string>& ModelFamilies() {
  static const std::map<std::string, std::string> table = [] {
    std::map<std::string, std::string> m;
    for (std::string_view model : vexo::SplitTrimmed(kSupportedModels, ',')) m[std::string(model)] = kFamily;
    return m;
  }();
  return table;
}

}  // namespace

const vexo::InstrumentDescription& Description() {
  static const vexo::InstrumentDescription description{
      .identity = {"ZEVRA", "Halmeric", "IVI-C Driver for QDX Series DC Power Supplies", "1.0.0.0", 3, 0,
                   "IviDCPwrBase,IviDCPwrSoftwareTrigger,IviDCPwrMeasurement", "QDX7001"},
      .capability = {"OutputChannel", "CH1,CH2,CH3,CH4", ZEVRA_ATTR_SELECTED_CHANNEL, ZEVRA_VAL_CHANNEL1},
      .find_attribute = FindAttribute,
      .error_template = ErrorTemplate,
      .model_families = &ModelFamilies(),
  };
  return description;
}

}  // namespace zevra
