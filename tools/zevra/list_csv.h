// SPDX-License-Identifier: MIT
// The list file "list load" reads: one "voltage,current,dwell_ms" row per step;
// blank lines and "#" comments skipped, and the first row too when it is a
// header (starts with a letter). Any other row that does not parse fails the
// whole file, so a step is never silently dropped.
#pragma once

#include <array>
#include <istream>
#include <string>
#include <vector>

namespace zevra_tool {

using ListStep = std::array<double, 3>;  // volts, amperes, dwell in ms

// The line of the file each step came from, for messages.
struct ListFile {
  std::vector<ListStep> steps;
  std::vector<int> lines;
};

// The steps of `in` (named `name` in messages); throws Failure (exit 2) on a bad row.
ListFile ParseListSteps(std::istream& in, const std::string& name);

}  // namespace zevra_tool
