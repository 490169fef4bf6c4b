// The list file "list load" reads: one "voltage,current,dwell_ms" row per step;
// blank lines, "#" comments and rows starting with a letter (headers) skipped.
#pragma once

#include <array>
#include <istream>
#include <string>
#include <vector>

namespace zevra_tool {

using ListStep = std::array<double, 3>;  // volts, amperes, dwell in ms

// The steps of `in` (named `name` in messages); throws Failure (exit 2) on a bad row.
std::vector<ListStep> ParseListSteps(std::istream& in, const std::string& name);

}  // namespace zevra_tool
