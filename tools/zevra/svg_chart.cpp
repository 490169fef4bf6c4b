// SPDX-License-Identifier: MIT
#include "svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "report.h"

namespace zevra_tool {
namespace {

constexpr double kWidth = 800, kLeft = 80, kRight = 30, kTop = 64, kPanelHeight = 140, kGap = 36, kBottom = 46;

struct Series {
  const char* name;   // class and legend text
  const char* unit;
  const char* colour;
  double Sample::*field;
};
constexpr const char* kChannelColours[] = {"#1f5fbf", "#c0392b", "#2e8b57", "#d4801a"};
constexpr Series kSeries[] = {
    {"voltage", "V", "#1f5fbf", &Sample::voltage},
    {"current", "A", "#c0392b", &Sample::current},
    {"power", "W", "#2e8b57", &Sample::power},
};

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out;
}

std::string Num(double v) {
  if (!std::isfinite(v)) v = 0;  // a NaN reading must not make the path unreadable
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

// A tick step of 1, 2 or 5 times a power of ten giving at most about five intervals up to `max`.
double NiceStep(double max) {
  double raw = max / 5;
  double magnitude = std::pow(10, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * magnitude >= raw) return m * magnitude;
  return 10 * magnitude;
}

std::string TickLabel(double v, const char* unit) {
  char text[32];
  std::snprintf(text, sizeof text, "%g %s", std::abs(v) < 1e-12 ? 0.0 : v, unit);
  return text;
}

// The axis top: the next tick at or above the largest value (at least one step).
double AxisTop(double largest, double& step) {
  step = NiceStep(largest > 0 ? largest * 1.05 : 1);
  return std::max(step, std::ceil(largest * 1.05 / step) * step);
}

// Where a trace's output steps: the voltage moves by more than a fiftieth of its range between samples.
std::vector<double> StepTimes(const std::vector<Sample>& samples) {
  double v_low = 0, v_high = 0;
  for (const Sample& s : samples) {
    v_low = std::min(v_low, s.voltage);
    v_high = std::max(v_high, s.voltage);
  }
  std::vector<double> steps;
  for (std::size_t k = 1; k < samples.size(); ++k)
    if (std::abs(samples[k].voltage - samples[k - 1].voltage) > (v_high - v_low) / 50 + 1e-9)
      steps.push_back(samples[k].time_s);
  return steps;
}

void LegendEntry(std::ostringstream& svg, double x, const std::string& colour, const std::string& text,
                 const char* dash = nullptr) {
  svg << "<line x1=\"" << x << "\" y1=\"44\" x2=\"" << x + 24 << "\" y2=\"44\" stroke=\"" << colour << "\"";
  if (dash != nullptr) svg << " stroke-dasharray=\"" << dash << "\"";
  else svg << " stroke-width=\"3\"";
  svg << "/><text x=\"" << x + 30 << "\" y=\"48\">" << Escape(text) << "</text>\n";
}

}  // namespace

std::string SvgChart(const std::string& title, const std::vector<Trace>& traces, const std::vector<double>& list_steps) {
  const double plot_w = kWidth - kLeft - kRight;
  const double height = kTop + 3 * kPanelHeight + 2 * kGap + kBottom;
  const bool by_channel = traces.size() > 1;
  double t_last = 0;
  for (const Trace& trace : traces)
    for (const Sample& s : trace.samples) t_last = std::max(t_last, s.time_s);
  double t_step = 0;
  const double t_max = AxisTop(t_last, t_step);
  auto x = [&](double t) { return kLeft + t / t_max * plot_w; };
  auto colour = [&](std::size_t trace, const Series& series) {
    return std::string(by_channel ? kChannelColours[trace % std::size(kChannelColours)] : series.colour);
  };

  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << height << "\" viewBox=\"0 0 "
      << kWidth << " " << height << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      << "<text x=\"" << kWidth / 2 << "\" y=\"24\" text-anchor=\"middle\" font-size=\"16\">" << Escape(title) << "</text>\n";
  // The legend under the title: the quantities, or the channels, and the step marks.
  svg << "<g class=\"legend\">\n";
  double lx = kLeft;
  if (by_channel) {
    for (std::size_t k = 0; k < traces.size(); ++k, lx += 100) LegendEntry(svg, lx, colour(k, kSeries[0]), traces[k].channel);
  } else {
    for (const Series& series : kSeries) {
      LegendEntry(svg, lx, series.colour, std::string(series.name) + " (" + series.unit + ")");
      lx += 150;
    }
  }
  LegendEntry(svg, lx, "#888", list_steps.empty() ? "step" : "list step", "4 3");
  svg << "</g>\n";

  std::vector<double> steps = list_steps;
  for (std::size_t k = 0; k < traces.size() && list_steps.empty(); ++k) {
    std::vector<double> own = StepTimes(traces[k].samples);
    steps.insert(steps.end(), own.begin(), own.end());
  }
  std::sort(steps.begin(), steps.end());
  steps.erase(std::unique(steps.begin(), steps.end()), steps.end());

  for (std::size_t panel = 0; panel < std::size(kSeries); ++panel) {
    const Series& series = kSeries[panel];
    const double top = kTop + static_cast<double>(panel) * (kPanelHeight + kGap);
    double largest = 0;
    for (const Trace& trace : traces)
      for (const Sample& s : trace.samples) largest = std::max(largest, s.*series.field);
    double step = 0;
    const double max = AxisTop(largest, step);
    auto y = [&](double v) { return top + kPanelHeight - std::max(0.0, v) / max * kPanelHeight; };
    const std::string tick_colour = by_channel ? "#444" : series.colour;
    svg << "<g class=\"panel " << series.name << "\">\n<rect x=\"" << kLeft << "\" y=\"" << top << "\" width=\"" << plot_w
        << "\" height=\"" << kPanelHeight << "\" fill=\"none\" stroke=\"#444\"/>\n";
    if (by_channel)
      svg << "<text class=\"panel-label\" x=\"" << kLeft + 6 << "\" y=\"" << top + 14 << "\">" << series.name << " ("
          << series.unit << ")</text>\n";
    for (double v = 0; v <= max + step / 2; v += step) {
      svg << "<line x1=\"" << kLeft << "\" y1=\"" << Num(y(v)) << "\" x2=\"" << kLeft + plot_w << "\" y2=\"" << Num(y(v))
          << "\" stroke=\"#e4e4e4\"/><text class=\"tick\" x=\"" << kLeft - 6 << "\" y=\"" << Num(y(v) + 4)
          << "\" text-anchor=\"end\" fill=\"" << tick_colour << "\">" << TickLabel(v, series.unit) << "</text>\n";
    }
    for (double t : steps)
      if (t <= t_max)
        svg << "<line class=\"step-mark\" x1=\"" << Num(x(t)) << "\" y1=\"" << top << "\" x2=\"" << Num(x(t)) << "\" y2=\""
          << top + kPanelHeight << "\" stroke=\"#888\" stroke-dasharray=\"4 3\"/>\n";
    // A step line per trace: each sample holds until the next one.
    for (std::size_t k = 0; k < traces.size(); ++k) {
      const std::vector<Sample>& samples = traces[k].samples;
      svg << "<path class=\"series " << series.name << "\" data-channel=\"" << Escape(traces[k].channel)
          << "\" fill=\"none\" stroke-width=\"2\" stroke=\"" << colour(k, series) << "\" d=\"";
      for (std::size_t n = 0; n < samples.size(); ++n) {
        double value = y(samples[n].*series.field);
        if (n == 0) svg << "M" << Num(x(samples[n].time_s)) << "," << Num(value);
        else svg << " H" << Num(x(samples[n].time_s)) << " V" << Num(value);
      }
      svg << "\"/>\n";
    }
    svg << "</g>\n";
  }
  // The time axis under the last panel.
  const double axis_y = kTop + 3 * kPanelHeight + 2 * kGap;
  for (double t = 0; t <= t_max + t_step / 2; t += t_step)
    svg << "<text class=\"tick\" x=\"" << Num(x(t)) << "\" y=\"" << axis_y + 16 << "\" text-anchor=\"middle\">"
        << TickLabel(t, "s") << "</text>\n";
  svg << "<text x=\"" << kLeft + plot_w / 2 << "\" y=\"" << height - 8 << "\" text-anchor=\"middle\">time (s)</text>\n"
      << "</svg>\n";
  return svg.str();
}

std::string HtmlReport(const std::string& title, const std::vector<Trace>& traces, const std::vector<double>& list_steps) {
  std::ostringstream html;
  html << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" << Escape(title)
       << "</title>\n<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse}"
          "td,th{padding:2px 10px;text-align:right;border-bottom:1px solid #ddd}</style></head><body>\n<h1>"
       << Escape(title) << "</h1>\n" << SvgChart(title, traces, list_steps) << "<table id=\"samples\">\n<tr><th>time (s)</th>";
  // Several channels: each heading names its channel.
  const bool by_channel = traces.size() > 1;
  for (const Trace& trace : traces) {
    std::string prefix = by_channel ? Escape(trace.channel) + " " : "";
    html << "<th>" << prefix << "voltage (V)</th><th>" << prefix << "current (A)</th><th>" << prefix << "power (W)</th>";
  }
  html << "</tr>\n";
  const std::size_t rows = traces.empty() ? 0 : traces.front().samples.size();
  for (std::size_t n = 0; n < rows; ++n) {
    html << "<tr><td>" << FormatNumber(traces.front().samples[n].time_s, 3) << "</td>";
    for (const Trace& trace : traces) {
      if (n >= trace.samples.size()) continue;
      const Sample& s = trace.samples[n];
      html << "<td>" << FormatNumber(s.voltage) << "</td><td>" << FormatNumber(s.current) << "</td><td>"
           << FormatNumber(s.power) << "</td>";
    }
    html << "</tr>\n";
  }
  html << "</table>\n</body></html>\n";
  return html.str();
}

}  // namespace zevra_tool
