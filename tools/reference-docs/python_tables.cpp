// SPDX-License-Identifier: MIT
// Writes the driver's tables as Python literals, from the tables the driver
// itself runs on: the attribute list and behaviours, the enum maps, the status
// table and the function table. python_package.py makes the
// zevra package's modules from them, and the package's tests read them, so the
// package cannot drift from the driver without a test noticing.
//
// usage: zevra-python-tables [OUT]   (standard output without OUT)
#include <cctype>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "attribute_help.h"
#include "attribute_registry.h"
#include "enum_maps.h"
#include "error_messages.h"
#include "header_declarations.h"
#include "header_docs.h"
#include "parameter_help.h"
#include "table_text.h"

namespace {

// A Python string literal.
std::string Py(const std::string& text) {
  std::string s = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') s += '\\';
    if (c == '\n') {
      s += "\\n";
      continue;
    }
    s += c;
  }
  return s + "\"";
}

std::string Py(const char* text) { return text == nullptr ? "None" : Py(std::string(text)); }
const char* Py(bool value) { return value ? "True" : "False"; }

// "power-on state" -> "PowerOnState".
std::string ClassName(const std::string& readable) {
  std::string name;
  bool start = true;
  for (char c : readable) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) {
      start = true;
      continue;
    }
    name += start ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
    start = false;
  }
  return name;
}

// "ZEVRA_ATTR_VOLTAGE_LEVEL" -> "voltage_level".
std::string SnakeAfter(const std::string& constant, const std::string& prefix) {
  std::string name = constant.substr(prefix.size());
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// The enum's member names: the row constants without the prefix they share,
// cut back to a word boundary so that no member starts with a digit.
std::vector<std::string> MemberNames(const vexo::EnumMap& map) {
  const auto& rows = map.rows();
  std::string prefix = rows.front().name;
  for (const auto& row : rows) {
    std::size_t n = 0;
    while (n < prefix.size() && n < row.name.size() && prefix[n] == row.name[n]) ++n;
    prefix.resize(n);
  }
  std::size_t boundary = prefix.rfind('_');
  prefix.resize(boundary == std::string::npos ? 0 : boundary + 1);
  if (rows.size() == 1) prefix = rows.front().name.substr(0, rows.front().name.rfind('_') + 1);
  std::vector<std::string> names;
  for (const auto& row : rows) names.push_back(row.name.substr(prefix.size()));
  return names;
}

std::string EnumOf(const vexo::EnumMap* map) {
  const char* name = reference_docs::MapName(map);
  if (name == nullptr || std::string(name) == "boolean") return {};
  return ClassName(name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 1 && argc != 2) {
    std::cerr << "usage: zevra-python-tables [OUT]\n";
    return 2;
  }
  if (std::string missing = reference_docs::AttributesWithoutHelp(); !missing.empty()) {
    std::cerr << "zevra-python-tables: no help for " << missing << " in tools/reference-docs/attribute_help.cpp\n";
    return 1;
  }
  const std::vector<reference_docs::Declaration>& declarations = reference_docs::Declarations();
  std::string error;
  const std::vector<reference_docs::RecordedCall> recorded = reference_docs::RecordFunctionExchanges(error);
  if (!error.empty()) {
    std::cerr << "zevra-python-tables: the exchanges could not be recorded: " << error << "\n";
    return 1;
  }
  std::ofstream file;
  if (argc == 2) {
    file.open(argv[1]);
    if (!file) {
      std::cerr << "zevra-python-tables: cannot write " << argv[1] << "\n";
      return 1;
    }
  }
  std::ostream& out = argc == 2 ? file : std::cout;
  out << "# SPDX-License-Identifier: MIT\n"
         "\"\"\"The driver's tables: made by zevra-python-tables from the driver's attribute list and\n"
         "behaviours, enum maps, status table and function table.\n"
         "\"\"\"\n\n";

  out << "# (property name, constant, ID, type, channel-based, readable, writable, enum class or None, doc)\n"
         "ATTRIBUTES = (\n";
  for (const auto& [id, registered] : zevra::AttributeRegistry()) {
    const vexo::AttributeDescriptor& a = registered.descriptor;
    std::string enum_class = EnumOf(a.map);
    out << "    (" << Py(SnakeAfter(a.name, "ZEVRA_ATTR_")) << ", " << Py(a.name) << ", " << id << ", "
        << Py(vexo::TypeName(a.type)) << ", " << Py(a.channel_based) << ", " << Py(a.read != nullptr) << ", "
        << Py(a.write != nullptr) << ", " << (enum_class.empty() ? "None" : Py(enum_class)) << ",\n     "
        << Py(a.name + " (" + std::to_string(id) + "): " + reference_docs::AttributeSummary(a, registered.kind)) << "),\n";
  }
  out << ")\n\n";

  out << "# (class name, readable name, ((member, value, constant), ...))\nENUMS = (\n";
  for (const zevra::NamedMap& named : zevra::NamedMaps()) {
    std::string enum_class = EnumOf(&named.map());
    if (enum_class.empty()) continue;
    out << "    (" << Py(enum_class) << ", " << Py(named.name) << ", (\n";
    std::vector<std::string> members = MemberNames(named.map());
    for (std::size_t i = 0; i < members.size(); ++i) {
      const auto& row = named.map().rows()[i];
      out << "        (" << Py(members[i]) << ", " << row.value << ", " << Py(row.name) << "),\n";
    }
    out << "    )),\n";
  }
  out << ")\n\n";

  out << "# (function, ((type, name, is pointer, is array, help), ...), attribute it accesses or None, doc,\n"
         "#  the lines its example call sent or \"\")\n"
         "FUNCTIONS = (\n";
  for (const reference_docs::Declaration& d : declarations) {
    out << "    (" << Py(d.name) << ", (";
    for (const reference_docs::Parameter& p : d.parsed)
      out << "(" << Py(p.type) << ", " << Py(p.name) << ", " << Py(p.pointer) << ", " << Py(p.array) << ", "
          << Py(reference_docs::ParameterHelp(d.name, p.name)) << "), ";
    auto accessor = reference_docs::AttributeOfAccessor().find(d.name);
    out << "),\n     " << (accessor == reference_docs::AttributeOfAccessor().end() ? "None" : Py(accessor->second))
        << ", " << Py(d.comment) << ",\n     " << Py(reference_docs::SentLines(d.name, recorded)) << "),\n";
  }
  out << ")\n\n";

  out << "# status code -> constant name\nSTATUS_NAMES = {\n";
  for (const zevra::ErrorMessageRow& row : zevra::ErrorMessageTable())
    out << "    " << row.code << ": " << Py(row.constant) << ",\n";
  out << "}\n";
  out.flush();
  return out ? 0 : 1;
}
