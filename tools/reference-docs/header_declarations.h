// SPDX-License-Identifier: MIT
// The driver's exported functions as declarations: the functions written by
// hand (function_table.cpp) and the ZEVRA_Get<Name>/ZEVRA_Set<Name> generated
// for each instrument-specific attribute, in the order the header shows them.
#pragma once

#include <string>
#include <vector>

#include "function_table.h"

namespace reference_docs {

struct Parameter {
  std::string type;  // "ViReal64", "ViConstString", ...
  std::string name;
  bool pointer = false;  // "ViReal64 *Value": an output
  bool array = false;    // "ViChar Name[]": an output buffer
};

struct Declaration {
  std::string section;     // the header section it is declared in
  std::string name;        // "ZEVRA_Measure"
  std::string parameters;  // "ViSession Vi, ViConstString ChannelName, ..."
  std::string prose;       // what it does, in the header's lines ('\n' between); empty for the generated ones
  std::string comment;     // the prose on one line
  std::string statuses;    // its own, besides VI_SUCCESS and the common ones ("IVI_ERROR_INVALID_VALUE")
  Io io = Io::kAsRecorded;
  std::vector<Parameter> parsed;
};

// Every exported function, in header order.
const std::vector<Declaration>& Declarations();
// The parameter list of a declaration ("ViSession Vi, ViReal64 *Value").
std::vector<Parameter> ParseParameters(const std::string& parameters);

}  // namespace reference_docs
