// SPDX-License-Identifier: MIT
#include "list_csv.h"

#include <cctype>
#include <sstream>

#include "session.h"
#include "regular_file.h"

namespace zevra_tool {

ListFile ParseListSteps(std::istream& in, const std::string& name) {
  ListFile file;
  std::string line;
  bool first_row = true;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1) regular_file::DropByteOrderMark(line);
    if (line.empty() || line[0] == '#') continue;
    bool header = first_row && std::isalpha(static_cast<unsigned char>(line[0]));
    first_row = false;
    if (header) continue;
    const std::string where = name + " line " + std::to_string(number);
    if (line.find('\0') != std::string::npos) throw Failure(where + ": holds a NUL byte; nothing was sent", 2);
    std::stringstream fields(line);
    ListStep step{};
    std::string field;
    static constexpr const char* kFields[] = {"voltage", "current", "dwell_ms"};
    for (std::size_t k = 0; k < step.size(); ++k) {
      if (!std::getline(fields, field, ',')) throw Failure(where + ": want voltage,current,dwell_ms", 2);
      const std::string what = std::string(kFields[k]) + " in " + where;
      // The dwell goes to the instrument as a 32-bit count of milliseconds.
      step[k] = k == 2 ? static_cast<double>(ParseWholeNumber(field, what, 0, 2147483647)) : ParseNumber(field, what);
    }
    if (std::getline(fields, field, ',')) throw Failure(where + ": want voltage,current,dwell_ms, no more", 2);
    if (step[0] < 0 || step[1] < 0) throw Failure(where + ": levels and dwell are not negative", 2);
    file.steps.push_back(step);
    file.lines.push_back(number);
  }
  return file;
}

}  // namespace zevra_tool
