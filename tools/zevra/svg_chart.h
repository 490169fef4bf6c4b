// SPDX-License-Identifier: MIT
// A line chart of logged measurements, as a self-contained SVG document.
#pragma once

#include <string>
#include <vector>

namespace zevra_tool {

struct Sample {
  double time_s, voltage, current, power;
};

// One channel's samples; every trace of a chart is sampled at the same times.
struct Trace {
  std::string channel;
  std::vector<Sample> samples;
};

// Voltage, current and power in panels of their own. One trace is drawn in a
// colour per quantity; several in a colour per channel, with channels in the legend.
// Dashed marks go at `list_steps` (seconds), the boundaries of a list the log
// ran; without them, where a trace's voltage steps.
std::string SvgChart(const std::string& title, const std::vector<Trace>& traces,
                     const std::vector<double>& list_steps = {});
// A self-contained HTML page: the chart inline and a table of every sample.
std::string HtmlReport(const std::string& title, const std::vector<Trace>& traces,
                       const std::vector<double>& list_steps = {});

}  // namespace zevra_tool
