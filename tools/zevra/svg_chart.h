// A line chart of logged measurements, as a self-contained SVG document.
#pragma once

#include <string>
#include <vector>

namespace zevra_tool {

struct Sample {
  double time_s, voltage, current, power;
};

std::string SvgChart(const std::string& title, const std::vector<Sample>& samples);
// A self-contained HTML page: the chart inline and a table of every sample.
std::string HtmlReport(const std::string& title, const std::vector<Sample>& samples);

}  // namespace zevra_tool
