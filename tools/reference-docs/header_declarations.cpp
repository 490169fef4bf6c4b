// SPDX-License-Identifier: MIT
#include "header_declarations.h"

#include <regex>
#include <sstream>

#include "attribute_list.h"
#include "function_table.h"

namespace reference_docs {
namespace {

Parameter ParseParameter(std::string text) {
  Parameter p;
  text = std::regex_replace(text, std::regex(R"(^\s+|\s+$)"), "");
  std::smatch m;
  if (std::regex_match(text, m, std::regex(R"((\w+)\s*(\*?)\s*(\w+)\s*(\[\])?)"))) {
    p.type = m[1];
    p.pointer = m[2].length() > 0;
    p.name = m[3];
    p.array = m[4].length() > 0;
  }
  return p;
}

Declaration Declare(const std::string& section, const std::string& name, const std::string& parameters,
                    const std::string& prose, const std::string& statuses = "", Io io = Io::kAsRecorded) {
  Declaration d{section, name, parameters, prose, prose, statuses, io, ParseParameters(parameters)};
  for (char& c : d.comment)
    if (c == '\n') c = ' ';
  d.comment = std::regex_replace(d.comment, std::regex(R"(\s+)"), " ");
  return d;
}

// The parameters of a generated getter or setter of an attribute of `type`.
std::string AccessorParameters(const std::string& type, bool getter) {
  if (type == "ViString")
    return getter ? "ViSession Vi, ViInt32 AttributeValueBufferSize, ViChar AttributeValue[]"
                  : "ViSession Vi, ViConstString AttributeValue";
  return "ViSession Vi, " + type + (getter ? " *AttributeValue" : " AttributeValue");
}

}  // namespace

std::vector<Parameter> ParseParameters(const std::string& parameters) {
  std::vector<Parameter> parsed;
  std::stringstream list(parameters);
  for (std::string one; std::getline(list, one, ',');) parsed.push_back(ParseParameter(one));
  return parsed;
}

const std::vector<Declaration>& Declarations() {
  static const std::vector<Declaration> declarations = [] {
    std::vector<Declaration> all;
    for (const FunctionRow& row : WrittenFunctions())
      all.push_back(Declare(row.section, row.name, row.parameters, row.prose, row.statuses, row.io));
    auto accessors = [&all](const char* function, const char* type, const std::string& access) {
      for (bool getter : {true, false}) {
        if (access.find(getter ? 'R' : 'W') == std::string::npos) continue;
        all.push_back(Declare(kGeneratedSection, std::string(getter ? "ZEVRA_Get" : "ZEVRA_Set") + function,
                              AccessorParameters(type, getter), ""));
      }
    };
#define ZEVRA_DECLARE_Specific(Function, Type, Access) accessors(#Function, #Type, #Access);
#define ZEVRA_DECLARE_SpecificIo(Function, Type, Access)
#define ZEVRA_DECLARE_Inherent(Function, Type, Access)
#define ZEVRA_DECLARE_Class(Function, Type, Access)
#define ZEVRA_DECLARE(NAME, Function, ID, Type, Access, Kind) ZEVRA_DECLARE_##Kind(Function, Type, Access)
    ZEVRA_ATTRIBUTE_LIST(ZEVRA_DECLARE)
#undef ZEVRA_DECLARE
    return all;
  }();
  return declarations;
}

}  // namespace reference_docs
