// SPDX-License-Identifier: MIT
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
  std::string comment;     // the prose, one line, without the comment markers and the generated tags
  std::vector<Parameter> parsed;
};

// Every "ZEVRA_API ViStatus ZEVRA_...(...);" in header order; empty when the
// file cannot be read.
std::vector<Declaration> ReadDeclarations(const std::string& header_path);
// The same from the header's text.
std::vector<Declaration> ParseDeclarations(const std::string& header);
// The parameter lists of a declaration's text ("ViSession Vi, ViReal64 *Value").
std::vector<Parameter> ParseParameters(const std::string& parameters);

}  // namespace reference_docs
