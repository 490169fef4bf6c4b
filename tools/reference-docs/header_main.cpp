// SPDX-License-Identifier: MIT
// Writes the public header from its layout and the driver's tables: the
// status codes, the attribute IDs, the defined values and every function's
// declaration, each with its documentation.
//
// usage: zevra-header ZEVRA.h.in > include/ZEVRA.h
//        zevra-header --api-list > API_LIST    (the exported names, one a line)
#include <fstream>
#include <iostream>
#include <sstream>

#include "attribute_help.h"
#include "header_docs.h"
#include "parameter_help.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zevra-header ZEVRA.h.in | --api-list\n";
    return 2;
  }
  if (std::string(argv[1]) == "--api-list") {
    for (const reference_docs::Declaration& d : reference_docs::Declarations()) std::cout << d.name << "\n";
    return std::cout ? 0 : 1;
  }
  if (std::string missing = reference_docs::AttributesWithoutHelp(); !missing.empty()) {
    std::cerr << "zevra-header: no help for " << missing << " in tools/reference-docs/attribute_help.cpp\n";
    return 1;
  }
  if (std::string missing = reference_docs::ParametersWithoutHelp(reference_docs::Declarations()); !missing.empty()) {
    std::cerr << "zevra-header: no help for " << missing << " in tools/reference-docs/parameter_help.cpp\n";
    return 1;
  }
  std::ifstream in(argv[1]);
  std::stringstream text;
  text << in.rdbuf();
  const std::string layout = text.str();
  if (!in || layout.empty()) {
    std::cerr << "zevra-header: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::string error;
  const std::vector<reference_docs::RecordedCall> recorded = reference_docs::RecordFunctionExchanges(error);
  if (!error.empty()) {
    std::cerr << "zevra-header: the exchanges could not be recorded: " << error << "\n";
    return 1;
  }
  std::set<std::string> talking = reference_docs::TalkingFunctions(reference_docs::Declarations(), recorded);
  std::string header = reference_docs::WriteHeader(layout, talking, recorded, error);
  if (header.empty()) {
    std::cerr << "zevra-header: " << error << "\n";
    return 1;
  }
  std::cout << header;
  return 0;
}
