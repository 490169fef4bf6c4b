#include "list_csv.h"

#include <cctype>
#include <sstream>

#include "session.h"

namespace zevra_tool {

ListFile ParseListSteps(std::istream& in, const std::string& name) {
  ListFile file;
  std::string line;
  bool first_row = true;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    bool header = first_row && std::isalpha(static_cast<unsigned char>(line[0]));
    first_row = false;
    if (header) continue;
    const std::string where = name + " line " + std::to_string(number);
    std::stringstream fields(line);
    ListStep step{};
    std::string field;
    for (double& v : step) {
      if (!std::getline(fields, field, ',')) throw Failure(where + ": want voltage,current,dwell_ms", 2);
      v = ParseNumber(field, "value in " + where);
    }
    if (std::getline(fields, field, ',')) throw Failure(where + ": want voltage,current,dwell_ms, no more", 2);
    if (step[0] < 0 || step[1] < 0 || step[2] < 0) throw Failure(where + ": levels and dwell are not negative", 2);
    file.steps.push_back(step);
    file.lines.push_back(number);
  }
  return file;
}

}  // namespace zevra_tool
