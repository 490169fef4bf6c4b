// SPDX-License-Identifier: MIT
// Writes the public header again with its generated documentation (each
// attribute's summary, each function's inputs, outputs and statuses) made
// afresh from the driver's tables; the prose written by hand is kept.
//
// usage: zevra-header-docs ZEVRA.h > ZEVRA.h.new
#include <fstream>
#include <iostream>
#include <sstream>

#include "attribute_help.h"
#include "header_docs.h"
#include "parameter_help.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zevra-header-docs ZEVRA.h\n";
    return 2;
  }
  if (std::string missing = reference_docs::AttributesWithoutHelp(); !missing.empty()) {
    std::cerr << "zevra-header-docs: no help for " << missing << " in tools/reference-docs/attribute_help.cpp\n";
    return 1;
  }
  std::ifstream in(argv[1]);
  std::stringstream text;
  text << in.rdbuf();
  const std::string header = text.str();
  if (!in || header.empty()) {
    std::cerr << "zevra-header-docs: cannot read " << argv[1] << "\n";
    return 1;
  }
  if (std::string missing = reference_docs::ParametersWithoutHelp(reference_docs::ParseDeclarations(header));
      !missing.empty()) {
    std::cerr << "zevra-header-docs: no help for " << missing << " in tools/reference-docs/parameter_help.cpp\n";
    return 1;
  }
  std::string error;
  const std::vector<reference_docs::RecordedCall> recorded = reference_docs::RecordFunctionExchanges(error);
  if (!error.empty()) {
    std::cerr << "zevra-header-docs: the exchanges could not be recorded: " << error << "\n";
    return 1;
  }
  std::set<std::string> talking = reference_docs::TalkingFunctions(reference_docs::ParseDeclarations(header), recorded);
  std::string documented = reference_docs::DocumentHeader(header, talking, recorded);
  if (documented.empty()) {
    std::cerr << "zevra-header-docs: a generated text would end its comment\n";
    return 1;
  }
  std::cout << documented;
  return 0;
}
