#include "list_csv.h"

#include <cctype>
#include <sstream>

#include "session.h"

namespace zevra_tool {

std::vector<ListStep> ParseListSteps(std::istream& in, const std::string& name) {
  std::vector<ListStep> steps;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#' || std::isalpha(static_cast<unsigned char>(line[0]))) continue;
    std::stringstream fields(line);
    ListStep step{};
    std::string field;
    for (double& v : step) {
      if (!std::getline(fields, field, ','))
        throw Failure(name + " line " + std::to_string(number) + ": want voltage,current,dwell_ms", 2);
      v = ParseNumber(field, "value on line " + std::to_string(number));
    }
    steps.push_back(step);
  }
  return steps;
}

}  // namespace zevra_tool
