// SPDX-License-Identifier: MIT
// zevra watch: a live panel of every channel (or one): the set and measured
// voltage and current, power, the regulation state, the output, and a trace
// of the recent measured voltage, under a timestamp; tripped channels in red
// and current-limited ones highlighted where the terminal shows colour.
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "commands.h"

namespace zevra_tool {
namespace {

std::atomic<bool> g_interrupted{false};
void OnInterrupt(int) { g_interrupted = true; }

constexpr std::size_t kTraceLength = 24;

// Each channel's own summary condition register: bit 0 CC, 1 OV, 2 unregulated, 3 OC.
constexpr std::array<ViStatus (*)(ViSession, ViInt32*), 4> kConditions = {
    ZEVRA_GetQuestionableInstrumentSummary1ConditionRegister, ZEVRA_GetQuestionableInstrumentSummary2ConditionRegister,
    ZEVRA_GetQuestionableInstrumentSummary3ConditionRegister, ZEVRA_GetQuestionableInstrumentSummary4ConditionRegister};

std::string Regulation(ViInt32 bits, bool on) {
  if (bits & 2) return "OV";
  if (bits & 8) return "OC";
  if (!on) return "off";
  if (bits & 4) return "unregulated";
  return bits & 1 ? "CC" : "CV";
}

// The recent values as block characters, lowest to highest of what is shown.
std::string Trace(const std::deque<double>& values) {
  static const char* const kBlocks[] = {"▁", "▂", "▃", "▄", "▅", "▆", "▇", "█"};
  double low = values.front(), high = values.front();
  for (double v : values) {
    low = std::min(low, v);
    high = std::max(high, v);
  }
  std::string trace;
  for (double v : values) {
    std::size_t level = high > low ? static_cast<std::size_t>((v - low) / (high - low) * 7 + 0.5) : 0;
    trace += kBlocks[level];
  }
  return trace;
}

std::string Now() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  return text;
}

// Colour only for a terminal that shows it, and never when NO_COLOR is set.
bool UseColour() {
  const char* no_colour = std::getenv("NO_COLOR");
  const char* term = std::getenv("TERM");
  return isatty(STDOUT_FILENO) != 0 && (no_colour == nullptr || *no_colour == '\0') &&
         !(term != nullptr && std::string(term) == "dumb");
}

// The text panel with each channel's row coloured by its state.
std::string Coloured(const std::string& text, const std::map<std::string, std::string>& states) {
  std::istringstream lines(text);
  std::string out;
  for (std::string line; std::getline(lines, line);) {
    auto it = states.find(line.substr(0, line.find(' ')));
    const char* colour = nullptr;
    if (it != states.end() && (it->second == "OV" || it->second == "OC")) colour = "\033[1;31m";
    else if (it != states.end() && it->second == "CC") colour = "\033[33m";
    out += colour != nullptr ? colour + line + "\033[0m\n" : line + "\n";
  }
  return out;
}

}  // namespace

void Watch(Context& c, const std::vector<std::string>& args, Report&) {
  Session& s = c.session;
  const std::vector<std::string> channels = s.Channels(args.empty() ? "all" : args[0]);
  const long interval_ms = static_cast<long>(ParseWholeNumber(c.Option("--interval", "500"), "interval", 0, 86400000));
  const long count = c.Has("--count") ? static_cast<long>(ParseWholeNumber(c.Option("--count"), "count", 1, 1000000000))
                                      : -1;
  g_interrupted = false;
  auto previous = std::signal(SIGINT, OnInterrupt);
  const bool tty = isatty(STDOUT_FILENO) != 0;
  const bool colour = !c.json && UseColour();
  std::map<std::string, std::deque<double>> traces;
  for (long n = 0; (count < 0 || n < count) && !g_interrupted; ++n) {
    Report frame;
    frame.Field("time", Now());
    Table& t = frame.AddTable("channels", {"channel", "set_V", "voltage_V", "set_A", "current_A", "power_W", "state",
                                           "output", "trace_V"});
    std::map<std::string, std::string> states;
    for (const std::string& channel : channels) {
      ViInt32 index = channel[2] - '1';
      ViReal64 set_v = 0, set_a = 0, v = 0, a = 0, p = 0;
      ViBoolean on = VI_FALSE;
      ViInt32 bits = 0;
      s.Check(ZEVRA_GetAttributeViReal64(s.vi(), channel.c_str(), ZEVRA_ATTR_VOLTAGE_LEVEL, &set_v), "reading " + channel);
      s.Check(ZEVRA_GetAttributeViReal64(s.vi(), channel.c_str(), ZEVRA_ATTR_CURRENT_LIMIT, &set_a), "reading " + channel);
      s.Check(ZEVRA_GetAttributeViBoolean(s.vi(), channel.c_str(), ZEVRA_ATTR_OUTPUT_ENABLED, &on), "reading " + channel);
      s.Check(ZEVRA_SetSelectedChannel(s.vi(), index), "selecting " + channel);
      s.Check(ZEVRA_MeasureSelectedChannel(s.vi(), &v, &a, &p), "measuring " + channel);
      s.Check(kConditions[static_cast<std::size_t>(index)](s.vi(), &bits), "reading the state of " + channel);
      std::deque<double>& trace = traces[channel];
      trace.push_back(v);
      if (trace.size() > kTraceLength) trace.pop_front();
      std::string state = Regulation(bits, on == VI_TRUE);
      states[channel] = state;
      t.rows.push_back({channel, Value::Number(set_v), Value::Number(v), Value::Number(set_a), Value::Number(a),
                        Value::Number(p), state, on ? "on" : "off", Trace(trace)});
    }
    if (tty) std::cout << "\033[H\033[2J";
    std::string text = colour ? Coloured(frame.Text(), states) : frame.Text();
    std::cout << (c.json ? frame.Json() : "zevra watch (Ctrl-C to stop)\n" + text) << std::flush;
    if ((count < 0 || n + 1 < count) && interval_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(interval_ms));
  }
  std::signal(SIGINT, previous);
}

}  // namespace zevra_tool
