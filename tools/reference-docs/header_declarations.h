// The function declarations of the public header, each with the comment block
// right above it (when there is one), for the generators that document them.
#pragma once

#include <string>
#include <vector>

namespace reference_docs {

struct Parameter {
  std::string type;  // "ViReal64", "ViConstString", ...
  std::string name;
  bool pointer = false;  // "ViReal64 *Value": an output
  bool array = false;    // "ViChar Name[]": an output buffer
};

struct Declaration {
  std::string name;        // "ZEVRA_Measure"
  std::string parameters;  // as written, blanks collapsed
  std::string comment;     // one line, without the comment markers
  std::vector<Parameter> parsed;
};

// Every "ZEVRA_API ViStatus ZEVRA_...(...);" in header order; empty when the
// file cannot be read.
std::vector<Declaration> ReadDeclarations(const std::string& header_path);

}  // namespace reference_docs
