// The driver's identity strings and its model family table.
#include <string>
#include <string_view>

#include "driver_tables.h"

namespace vexo {
namespace {

constexpr const char* kSupportedModels = "QDX7001, QDX7000";
constexpr const char* kFamily = "DefaultFamily";

std::string_view TrimBlanks(std::string_view s) {
  const char* blanks = " \t\r\n";
  std::size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::map<std::string, std::string> BuildModelFamilyTable() {
  std::map<std::string, std::string> table;
  std::string_view models = kSupportedModels;
  for (std::size_t start = 0;;) {
    std::size_t comma = models.find(',', start);
    std::string_view piece = models.substr(start, comma == std::string_view::npos ? comma : comma - start);
    table[std::string(TrimBlanks(piece))] = std::string(TrimBlanks(kFamily));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return table;
}

}  // namespace

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
