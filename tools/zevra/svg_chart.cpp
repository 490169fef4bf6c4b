#include "svg_chart.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace zevra_tool {
namespace {

constexpr double kWidth = 800, kHeight = 400, kLeft = 70, kRight = 70, kTop = 50, kBottom = 50;

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
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

std::string Label(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", v);
  return text;
}

}  // namespace

std::string SvgChart(const std::string& title, const std::vector<Sample>& samples) {
  double t_max = 1, v_max = 1, i_max = 1;
  for (const Sample& s : samples) {
    t_max = std::max(t_max, s.time_s);
    v_max = std::max(v_max, s.voltage * 1.1);
    i_max = std::max(i_max, s.current * 1.1);
  }
  double plot_w = kWidth - kLeft - kRight, plot_h = kHeight - kTop - kBottom;
  auto x = [&](double t) { return kLeft + t / t_max * plot_w; };
  auto y = [&](double value, double max) { return kTop + plot_h - value / max * plot_h; };
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\"" << kHeight
      << "\" viewBox=\"0 0 " << kWidth << " " << kHeight << "\" font-family=\"sans-serif\" font-size=\"12\">\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      << "<text x=\"" << kWidth / 2 << "\" y=\"28\" text-anchor=\"middle\" font-size=\"16\">" << Escape(title) << "</text>\n"
      << "<rect x=\"" << kLeft << "\" y=\"" << kTop << "\" width=\"" << plot_w << "\" height=\"" << plot_h
      << "\" fill=\"none\" stroke=\"#444\"/>\n";
  for (int k = 0; k <= 4; ++k) {
    double f = k / 4.0, gy = kTop + plot_h - f * plot_h, gx = kLeft + f * plot_w;
    svg << "<line x1=\"" << kLeft << "\" y1=\"" << Num(gy) << "\" x2=\"" << kLeft + plot_w << "\" y2=\"" << Num(gy)
        << "\" stroke=\"#ddd\"/>\n"
        << "<text x=\"" << kLeft - 6 << "\" y=\"" << Num(gy + 4) << "\" text-anchor=\"end\" fill=\"#1f5fbf\">"
        << Label(f * v_max) << "</text>\n"
        << "<text x=\"" << kLeft + plot_w + 6 << "\" y=\"" << Num(gy + 4) << "\" fill=\"#c0392b\">" << Label(f * i_max)
        << "</text>\n"
        << "<text x=\"" << Num(gx) << "\" y=\"" << kTop + plot_h + 18 << "\" text-anchor=\"middle\">" << Label(f * t_max)
        << "</text>\n";
  }
  svg << "<text x=\"" << kWidth / 2 << "\" y=\"" << kHeight - 8 << "\" text-anchor=\"middle\">time (s)</text>\n"
      << "<text x=\"16\" y=\"" << kHeight / 2 << "\" fill=\"#1f5fbf\" transform=\"rotate(-90 16 " << kHeight / 2
      << ")\" text-anchor=\"middle\">voltage (V)</text>\n"
      << "<text x=\"" << kWidth - 12 << "\" y=\"" << kHeight / 2 << "\" fill=\"#c0392b\" transform=\"rotate(90 "
      << kWidth - 12 << " " << kHeight / 2 << ")\" text-anchor=\"middle\">current (A)</text>\n";
  for (int series = 0; series < 2; ++series) {
    svg << "<polyline fill=\"none\" stroke-width=\"2\" stroke=\"" << (series == 0 ? "#1f5fbf" : "#c0392b")
        << "\" class=\"" << (series == 0 ? "voltage" : "current") << "\" points=\"";
    for (const Sample& s : samples)
      svg << Num(x(s.time_s)) << "," << Num(series == 0 ? y(s.voltage, v_max) : y(s.current, i_max)) << " ";
    svg << "\"/>\n";
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace zevra_tool
