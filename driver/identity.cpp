// The driver's identity strings and its model family table.
#include <string>
#include <string_view>

#include "ZEVRA.h"
#include "driver_tables.h"
#include "text.h"

namespace vexo {
namespace {

constexpr const char* kSupportedModels = "QDX7001, QDX7000";
constexpr const char* kFamily = "DefaultFamily";

std::map<std::string, std::string> BuildModelFamilyTable() {
  std::map<std::string, std::string> table;
  for (std::string_view model : SplitTrimmed(kSupportedModels, ',')) table[std::string(model)] = kFamily;
  return table;
}

}  // namespace

const RepeatedCapability& Capability() {
  static const RepeatedCapability capability{"OutputChannel", "CH1,CH2,CH3,CH4", ZEVRA_ATTR_SELECTED_CHANNEL,
                                             ZEVRA_VAL_CHANNEL1};
  return capability;
}

const DriverIdentity& Identity() {
  static const DriverIdentity identity{
      "ZEVRA",
      "Halmeric",
      "IVI-C Driver for QDX Series DC Power Supplies",
      "1.0.0.0",
      3,
      0,
      "IviDCPwrBase,IviDCPwrSoftwareTrigger,IviDCPwrMeasurement",
      "QDX7001",
  };
  return identity;
}

const std::map<std::string, std::string>& ModelFamilyTable() {
  static const std::map<std::string, std::string> table = BuildModelFamilyTable();
  return table;
}

}  // namespace vexo
