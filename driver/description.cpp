// The driver's identity, its output channels, its supported models, and the
// look-ups of its attribute registry and error message table.
#include "description.h"

#include <map>
#include <string>
#include <string_view>

#include "ZEVRA.h"
#include "attribute_registry.h"
#include "error_messages.h"
#include "text.h"

namespace zevra {
namespace {

constexpr const char* kSupportedModels = "QDX7001, QDX7000";
constexpr const char* kFamily = "DefaultFamily";

const vexo::AttributeDescriptor* FindAttribute(ViAttr id) {
  const auto& registry = AttributeRegistry();
  auto it = registry.find(id);
  return it == registry.end() ? nullptr : &it->second.descriptor;
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
