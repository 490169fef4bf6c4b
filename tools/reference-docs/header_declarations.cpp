// SPDX-License-Identifier: MIT
#include "header_declarations.h"

#include <fstream>
#include <regex>
#include <sstream>

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

}  // namespace

std::vector<Parameter> ParseParameters(const std::string& parameters) {
  std::vector<Parameter> parsed;
  std::stringstream list(parameters);
  for (std::string one; std::getline(list, one, ',');) parsed.push_back(ParseParameter(one));
  return parsed;
}

std::vector<Declaration> ReadDeclarations(const std::string& header_path) {
  std::ifstream in(header_path);
  std::stringstream text;
  text << in.rdbuf();
  return ParseDeclarations(text.str());
}

std::vector<Declaration> ParseDeclarations(const std::string& header) {
  std::regex declaration(R"((/\*(?:[^*]|\*(?!/))*\*/\n)?ZEVRA_API ViStatus (ZEVRA_\w+)\(([^;]*)\);)");
  std::vector<Declaration> out;
  for (std::sregex_iterator it(header.begin(), header.end(), declaration), end; it != end; ++it) {
    Declaration d;
    d.name = (*it)[2];
    d.parameters = std::regex_replace((*it)[3].str(), std::regex(R"(\s+)"), " ");
    // The generated tags (" * @returns ...") follow the prose and are not part of it.
    std::string block = (*it)[1].str();
    std::size_t tags = block.find(block.rfind("/* @", 0) == 0 ? "/* @" : "\n * @");
    if (tags != std::string::npos) block.erase(tags);
    std::string comment = std::regex_replace(block, std::regex(R"(/\*|\*/|\n \*|\n)"), " ");
    d.comment = std::regex_replace(comment, std::regex(R"(\s+)"), " ");
    d.comment = std::regex_replace(d.comment, std::regex(R"(^ | $)"), "");
    d.parsed = ParseParameters(d.parameters);
    out.push_back(std::move(d));
  }
  return out;
}

}  // namespace reference_docs
