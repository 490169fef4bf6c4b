// SPDX-License-Identifier: MIT
#include "commands.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "command_line.h"
#include "list_csv.h"
#include "log_files.h"
#include "stop_signals.h"
#include "svg_chart.h"

namespace zevra_tool {

void Shell(Context&, const std::vector<std::string>&, Report&);  // shell.cpp
void Watch(Context&, const std::vector<std::string>&, Report&);  // watch.cpp
void Find(Context&, const std::vector<std::string>&, Report&);   // find.cpp

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string GetText(Session& s, ViAttr id, const char* selector = "") {
  char text[256] = "";
  s.Check(ZEVRA_GetAttributeViString(s.vi(), selector, id, sizeof text, text), "reading an attribute");
  return text;
}

ViInt32 ChannelIndex(const std::string& channel) { return channel[2] - '1'; }

// Voltage, current and power of one channel, measured in one exchange.
std::vector<Value> MeasureRow(Session& s, const std::string& channel) {
  s.Check(ZEVRA_SetSelectedChannel(s.vi(), ChannelIndex(channel)), "selecting " + channel);
  ViReal64 v = 0, i = 0, p = 0;
  s.Check(ZEVRA_MeasureSelectedChannel(s.vi(), &v, &i, &p), "measuring " + channel);
  return {channel, Value::Number(v), Value::Number(i), Value::Number(p)};
}

void MeasureInto(Session& s, const std::string& which, Report& report) {
  Table& t = report.AddTable("measurements", {"channel", "voltage_V", "current_A", "power_W"});
  if (which == "all") {
    ViReal64 v[4], i[4], p[4];
    ViInt32 nv = 0, ni = 0, np = 0;
    s.Check(ZEVRA_MeasureAllChannels(s.vi(), 4, v, &nv, 4, i, &ni, 4, p, &np), "measuring all channels");
    for (ViInt32 k = 0; k < nv && k < ni && k < np; ++k)
      t.rows.push_back({"CH" + std::to_string(k + 1), Value::Number(v[k]), Value::Number(i[k]), Value::Number(p[k])});
  } else {
    t.rows.push_back(MeasureRow(s, s.Channel(which)));
  }
}

struct Quantity {
  const char* name;
  const char* unit;
  ViAttr attribute;  // channel-based, or read on the selected channel
  bool channel_based;
};
constexpr Quantity kQuantities[] = {
    {"VOLT", "V", ZEVRA_ATTR_VOLTAGE_LEVEL, true},
    {"CURR", "A", ZEVRA_ATTR_CURRENT_LIMIT, true},
    {"OVP", "V", ZEVRA_ATTR_OVP_LIMIT, true},
    {"OCP", "A", ZEVRA_ATTR_CURRENT_PROTECTION_LEVEL, false},
};

const Quantity& FindQuantity(const std::string& name) {
  for (const Quantity& q : kQuantities) {
    if (Upper(name) == q.name) return q;
  }
  throw Failure("unknown setting '" + name + "': use VOLT, CURR, OVP or OCP", 2);
}

// --- the commands ---

void Info(Context& c, const std::vector<std::string>&, Report& r) {
  Session& s = c.session;
  r.Field("resource", s.resource());
  r.Field("manufacturer", GetText(s, ZEVRA_ATTR_INSTRUMENT_MANUFACTURER));
  r.Field("model", GetText(s, ZEVRA_ATTR_INSTRUMENT_MODEL));
  r.Field("firmware", GetText(s, ZEVRA_ATTR_INSTRUMENT_FIRMWARE_REVISION));
  r.Field("driver", GetText(s, ZEVRA_ATTR_SPECIFIC_DRIVER_PREFIX) + " " + GetText(s, ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION));
  std::vector<std::string> models;
  std::stringstream supported(GetText(s, ZEVRA_ATTR_SUPPORTED_INSTRUMENT_MODELS));
  for (std::string model; std::getline(supported, model, ',');) models.push_back(model);
  r.Field("supported_models", Value::List(models));
  static constexpr std::pair<const char*, ViAttr> kFlags[] = {
      {"simulate", ZEVRA_ATTR_SIMULATE}, {"cache", ZEVRA_ATTR_CACHE}, {"query_instr_status", ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS},
      {"range_check", ZEVRA_ATTR_RANGE_CHECK}, {"record_coercions", ZEVRA_ATTR_RECORD_COERCIONS},
      {"interchange_check", ZEVRA_ATTR_INTERCHANGE_CHECK}};
  for (const auto& [name, id] : kFlags) {
    ViBoolean b = VI_FALSE;
    s.Check(ZEVRA_GetAttributeViBoolean(s.vi(), "", id, &b), "reading an option flag");
    r.Field(name, Value::Boolean(b == VI_TRUE));
  }
  Table& t = r.AddTable("modules", {"channel", "module", "serial", "firmware"});
  for (ViInt32 k = 0; k < 4; ++k) {
    s.Check(ZEVRA_SetSelectedChannel(s.vi(), k), "selecting a channel");
    std::string module = GetText(s, ZEVRA_ATTR_MODULE_IDENTITY);
    t.rows.push_back({"CH" + std::to_string(k + 1), module.empty() ? "(empty)" : module,
                      GetText(s, ZEVRA_ATTR_MODULE_SERIAL_NUMBER), GetText(s, ZEVRA_ATTR_MODULE_FIRMWARE_VERSION)});
  }
}

using ChannelReport = std::function<void(Session&, const std::string& channel, Report&)>;

// One channel's fields; for "all", a table with a row of those fields per channel.
void ForChannels(Context& c, const std::vector<std::string>& channels, Report& r, const ChannelReport& one) {
  if (channels.size() == 1) return one(c.session, channels.front(), r);
  Table* table = nullptr;
  for (const std::string& channel : channels) {
    Report row;
    one(c.session, channel, row);
    if (table == nullptr) {
      std::vector<std::string> columns;
      for (const auto& [key, value] : row.fields()) columns.push_back(key);
      table = &r.AddTable("channels", columns);
    }
    std::vector<Value> cells;
    for (const auto& [key, value] : row.fields()) cells.push_back(value);
    table->rows.push_back(std::move(cells));
  }
}

void GetOne(Session& s, const std::string& channel, const std::vector<std::string>& args, Report& r) {
  r.Field("channel", channel);
  for (const Quantity& q : kQuantities) {
    if (args.size() == 2 && &FindQuantity(args[1]) != &q) continue;
    ViReal64 value = 0;
    if (!q.channel_based) s.Check(ZEVRA_SetSelectedChannel(s.vi(), ChannelIndex(channel)), "selecting " + channel);
    s.Check(ZEVRA_GetAttributeViReal64(s.vi(), q.channel_based ? channel.c_str() : "", q.attribute, &value),
            std::string("reading ") + q.name + " of " + channel);
    r.Field(q.name, Value::Number(value, q.unit));
  }
}

void SetOne(Session& s, const std::string& channel, const Quantity& q, double value, Report& r) {
  const std::string what = std::string("setting ") + q.name + " on " + channel + " to " + FormatQuantity(value, q.unit);
  if (std::string(q.name) == "VOLT") {
    s.Check(ZEVRA_ConfigureVoltageLevel(s.vi(), channel.c_str(), value), what);
  } else if (std::string(q.name) == "CURR") {
    s.Check(ZEVRA_ConfigureCurrentLimit(s.vi(), channel.c_str(), 0, value), what);
  } else if (std::string(q.name) == "OVP") {
    s.Check(ZEVRA_ConfigureOVP(s.vi(), channel.c_str(), VI_TRUE, value), what);
  } else {
    s.Check(ZEVRA_SetSelectedChannel(s.vi(), ChannelIndex(channel)), what);
    s.Check(ZEVRA_SetCurrentProtectionLevel(s.vi(), value), what);
    s.Check(ZEVRA_SetOcpEnabled(s.vi(), VI_TRUE), what);
  }
  r.Field("channel", channel);
  r.Field(q.name, Value::Number(value, q.unit));
}

void Set(Context& c, const std::vector<std::string>& args, Report& r) {
  const std::vector<std::string> channels = c.session.Channels(args[0]);
  const Quantity& q = FindQuantity(args[1]);
  const double value = ParseQuantity(args[2], q.unit, "value");
  ForChannels(c, channels, r, [&](Session& s, const std::string& ch, Report& row) { SetOne(s, ch, q, value, row); });
}

void Get(Context& c, const std::vector<std::string>& args, Report& r) { ForChannels(c, c.session.Channels(args[0]), r, [&](Session& s, const std::string& ch, Report& row) { GetOne(s, ch, args, row); }); }

// Which protection of a channel has tripped: "overvoltage", "overcurrent", both or none.
std::string TrippedProtection(Session& s, const std::string& channel) {
  ViBoolean ov = VI_FALSE, oc = VI_FALSE;
  if (ZEVRA_SetSelectedChannel(s.vi(), ChannelIndex(channel)) < 0 || ZEVRA_GetOvpTripped(s.vi(), &ov) < 0 ||
      ZEVRA_GetOcpTripped(s.vi(), &oc) < 0) {
    ZEVRA_ClearError(s.vi());
    return {};
  }
  if (ov && oc) return "overvoltage and overcurrent";
  return ov ? "overvoltage" : oc ? "overcurrent" : "";
}

void OutputOne(Session& s, const std::string& channel, bool on, Report& r) {
  ViStatus st = ZEVRA_ConfigureOutputEnabled(s.vi(), channel.c_str(), on ? VI_TRUE : VI_FALSE);
  if (st < 0) {
    Failure failure = s.Failed(st, "switching " + channel + (on ? " on" : " off"));
    // A tripped output refuses to switch on until its protection is cleared.
    std::string tripped = on ? TrippedProtection(s, channel) : "";
    if (tripped.empty()) throw failure;
    throw Failure(std::string(failure.what()) + "\n  " + channel + "'s " + tripped +
                  " protection has tripped; clear it with: zevra clear " + channel.substr(2));
  }
  r.Field("channel", channel);
  r.Field("output", on ? "on" : "off");
}

void Output(Context& c, const std::vector<std::string>& args, Report& r) {
  const std::vector<std::string> channels = c.session.Channels(args[0]);
  const std::string state = Upper(args[1]);
  if (state != "ON" && state != "OFF") throw Failure("bad output state '" + args[1] + "': use on or off", 2);
  ForChannels(c, channels, r, [&](Session& s, const std::string& ch, Report& row) { OutputOne(s, ch, state == "ON", row); });
}

void ClearOne(Session& s, const std::string& channel, Report& r) {
  s.Check(ZEVRA_ResetOutputProtection(s.vi(), channel.c_str()), "clearing the output protection of " + channel);
  r.Field("channel", channel);
  r.Field("protection", "cleared");
}

void Clear(Context& c, const std::vector<std::string>& args, Report& r) {
  ForChannels(c, c.session.Channels(args[0]), r, ClearOne);
}

void Measure(Context& c, const std::vector<std::string>& args, Report& r) {
  MeasureInto(c.session, args.empty() ? "all" : args[0], r);
}

void StateOne(Session& s, const std::string& channel, Report& r) {
  r.Field("channel", channel);
  static constexpr std::pair<const char*, ViInt32> kStates[] = {
      {"CV", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE}, {"CC", ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT},
      {"OV", ZEVRA_VAL_OUTPUT_OVER_VOLTAGE}, {"OC", ZEVRA_VAL_OUTPUT_OVER_CURRENT},
      {"unregulated", ZEVRA_VAL_OUTPUT_UNREGULATED}};
  std::string in;
  for (const auto& [name, value] : kStates) {
    ViBoolean b = VI_FALSE;
    s.Check(ZEVRA_QueryOutputState(s.vi(), channel.c_str(), value, &b), "reading the state of " + channel);
    r.Field(name, Value::Boolean(b == VI_TRUE));
    if (b) in += (in.empty() ? "" : ",") + std::string(name);
  }
  ViBoolean on = VI_FALSE;
  s.Check(ZEVRA_GetAttributeViBoolean(s.vi(), channel.c_str(), ZEVRA_ATTR_OUTPUT_ENABLED, &on), "reading the output");
  r.Field("output", on ? "on" : "off");
  r.Field("state", on ? (in.empty() ? "none" : in) : (in.empty() ? "off" : in));
}

void State(Context& c, const std::vector<std::string>& args, Report& r) { ForChannels(c, c.session.Channels(args[0]), r, StateOne); }

// Register bits with names; others are shown by number.
Value Decode(ViInt32 value, const std::vector<std::pair<int, const char*>>& names) {
  std::vector<std::string> out;
  for (int bit = 0; bit < 16; ++bit) {
    if ((value & (1 << bit)) == 0) continue;
    std::string name = "bit" + std::to_string(bit);
    for (const auto& [b, n] : names)
      if (b == bit) name = n;
    out.push_back(name);
  }
  return Value::List(out);
}

void Status(Context& c, const std::vector<std::string>&, Report& r) {
  Session& s = c.session;
  auto read = [&](ViStatus (*get)(ViSession, ViInt32*), const char* what) {
    ViInt32 v = 0;
    s.Check(get(s.vi(), &v), std::string("reading ") + what);
    return v;
  };
  ViInt32 stb = read(ZEVRA_GetStatusByteEventRegister, "the status byte");
  ViInt32 esr = read(ZEVRA_GetStandardEventEventRegister, "the standard event register");
  Table& t = r.AddTable("registers", {"register", "value", "bits"});
  t.rows.push_back({"status byte", Value::Integer(stb),
                    Decode(stb, {{2, "error-queue"}, {3, "questionable"}, {4, "MAV"}, {5, "ESB"}, {6, "RQS"}, {7, "operation"}})});
  t.rows.push_back({"standard event", Value::Integer(esr),
                    Decode(esr, {{0, "OPC"}, {2, "query-error"}, {3, "device-error"}, {4, "execution-error"},
                                 {5, "command-error"}, {7, "power-on"}})});
  static ViStatus (*const kSummary[])(ViSession, ViInt32*) = {
      ZEVRA_GetQuestionableInstrumentSummary1ConditionRegister, ZEVRA_GetQuestionableInstrumentSummary2ConditionRegister,
      ZEVRA_GetQuestionableInstrumentSummary3ConditionRegister, ZEVRA_GetQuestionableInstrumentSummary4ConditionRegister};
  for (int k = 0; k < 4; ++k) {
    ViInt32 v = read(kSummary[k], "a summary register");
    t.rows.push_back({"CH" + std::to_string(k + 1) + " condition", Value::Integer(v),
                      Decode(v, {{0, "CC"}, {1, "OV"}, {2, "unregulated"}, {3, "OC"}})});
  }
  Table& e = r.AddTable("errors", {"code", "message"});
  for (const InstrumentError& error : s.InstrumentErrors()) e.rows.push_back({Value::Integer(error.code), error.message});
}

void Errors(Context& c, const std::vector<std::string>&, Report& r) {
  Table& e = r.AddTable("errors", {"code", "message"});
  for (const InstrumentError& error : c.session.InstrumentErrors())
    e.rows.push_back({Value::Integer(error.code), error.message});
  if (e.rows.empty() && !c.json) r.Field("errors", "none queued");
}

// Every level of a list file against a channel's module, before anything is sent.
void CheckListRatings(Session& s, const std::string& channel, const ListFile& file, const std::string& path) {
  for (std::size_t k = 0; k < file.steps.size(); ++k) {
    const ListStep& step = file.steps[k];
    ViReal64 max_voltage = 0, max_current = 0;
    s.Check(ZEVRA_QueryMaxVoltageLevel(s.vi(), channel.c_str(), step[1], &max_voltage), "reading the ratings of " + channel);
    s.Check(ZEVRA_QueryMaxCurrentLimit(s.vi(), channel.c_str(), step[0], &max_current), "reading the ratings of " + channel);
    std::string where = path + " line " + std::to_string(file.lines[k]) + ": ";
    if (step[0] > max_voltage)
      throw Failure(where + FormatNumber(step[0]) + " V is more than " + channel + " delivers at " + FormatNumber(step[1]) +
                        " A (" + FormatNumber(max_voltage) + " V); nothing was sent", 2);
    if (step[1] > max_current)
      throw Failure(where + FormatNumber(step[1]) + " A is more than " + channel + " delivers at " + FormatNumber(step[0]) +
                        " V (" + FormatNumber(max_current) + " A); nothing was sent", 2);
  }
}

// The file against each channel's module; a simulated instrument has no modules to ask.
void CheckListFits(Session& s, const std::vector<std::string>& channels, const ListFile& file, const std::string& path) {
  ViBoolean simulating = VI_FALSE;
  s.Check(ZEVRA_GetAttributeViBoolean(s.vi(), "", ZEVRA_ATTR_SIMULATE, &simulating), "reading an option flag");
  if (simulating == VI_FALSE)
    for (const std::string& channel : channels) CheckListRatings(s, channel, file, path);
}

ListFile ReadListFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw Failure("cannot read " + path, 2);
  ListFile file = ParseListSteps(in, path);
  if (file.steps.empty()) throw Failure(path + " holds no steps", 2);
  return file;
}

// The list of a channel is the list numbered after it (CH2: list 2).
void LoadListOne(Session& s, const std::string& channel, const ListFile& file, Report& r) {
  const ViInt32 index = ChannelIndex(channel), list = index + 1;
  const std::string what = "loading the list of " + channel;
  s.Check(ZEVRA_SetSelectedChannel(s.vi(), index), what);
  s.Check(ZEVRA_SetSelectedList(s.vi(), list), what);
  s.Check(ZEVRA_ClearList(s.vi()), what);
  for (std::size_t k = 0; k < file.steps.size(); ++k) {
    s.Check(ZEVRA_SetSelectedStep(s.vi(), static_cast<ViInt32>(k)), what);
    s.Check(ZEVRA_SetStepVoltage(s.vi(), file.steps[k][0]), what);
    s.Check(ZEVRA_SetStepCurrent(s.vi(), file.steps[k][1]), what);
    s.Check(ZEVRA_SetListDwell(s.vi(), static_cast<ViInt32>(file.steps[k][2])), what);
  }
  s.Check(ZEVRA_SetListRepeatCount(s.vi(), 1), what);
  s.Check(ZEVRA_SetListPace(s.vi(), ZEVRA_VAL_LIST_PACE_DWELL), what);
  s.Check(ZEVRA_EnableList(s.vi(), list), what);
  r.Field("channel", channel);
  r.Field("list", Value::Integer(list));
  r.Field("steps", Value::Integer(static_cast<long long>(file.steps.size())));
}

void RunListOne(Session& s, const std::string& channel, Report& r) {
  s.Check(ZEVRA_ConfigureTriggerSource(s.vi(), channel.c_str(), ZEVRA_VAL_TRIG_IMMEDIATE), "starting the list of " + channel);
  s.Check(ZEVRA_StartList(s.vi(), ChannelIndex(channel)), "starting the list of " + channel);
  r.Field("channel", channel);
  r.Field("list", "running");
}

void AbortListOne(Session& s, const std::string& channel, Report& r) {
  s.Check(ZEVRA_AbortList(s.vi(), ChannelIndex(channel)), "aborting the list of " + channel);
  r.Field("channel", channel);
  r.Field("list", "aborted");
}

void List(Context& c, const std::vector<std::string>& args, Report& r) {
  Session& s = c.session;
  const std::string& action = args[0];
  const std::vector<std::string> channels = s.Channels(args[1]);
  if (action == "load") {
    if (args.size() != 3) throw UsageFailure(*c.command, "list load");
    const ListFile file = ReadListFile(args[2]);
    CheckListFits(s, channels, file, args[2]);
    ForChannels(c, channels, r, [&](Session& s, const std::string& ch, Report& row) { LoadListOne(s, ch, file, row); });
  } else if (action == "run" || action == "abort") {
    if (args.size() != 2) throw UsageFailure(*c.command, "list " + action);
    ForChannels(c, channels, r, action == "run" ? RunListOne : AbortListOne);
  } else {
    throw Failure("unknown list action '" + action + "': use load, run or abort", 2);
  }
}

void SaveRecall(Context& c, const std::vector<std::string>& args, Report& r, bool save) {
  const auto n = static_cast<ViInt32>(ParseWholeNumber(args[0], "location", INT32_MIN, INT32_MAX));
  ViStatus st = save ? ZEVRA_SaveState(c.session.vi(), n) : ZEVRA_RecallState(c.session.vi(), n);
  c.session.Check(st, std::string(save ? "saving" : "recalling") + " state " + args[0]);
  r.Field(save ? "saved" : "recalled", Value::Integer(n));
}
void Save(Context& c, const std::vector<std::string>& args, Report& r) { SaveRecall(c, args, r, true); }
void Recall(Context& c, const std::vector<std::string>& args, Report& r) { SaveRecall(c, args, r, false); }

void Raw(Context& c, const std::vector<std::string>& args, Report& r) {
  Session& s = c.session;
  std::string line = args[0] + "\n";
  s.Check(ZEVRA_viWrite(s.vi(), static_cast<ViInt64>(line.size()), line.c_str(), nullptr), "writing");
  if (args[0].find('?') == std::string::npos) {
    r.Field("sent", args[0]);
    return;
  }
  char reply[4096];
  ViInt64 count = 0;
  s.Check(ZEVRA_viRead(s.vi(), sizeof reply, reply, &count), "reading the reply");
  std::string text(reply, static_cast<std::size_t>(count));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  r.Field("reply", text);
}

void Completion(Context&, const std::vector<std::string>& args, Report&) {
  if (args[0] != "bash") throw Failure("only bash completion is written: zevra completion bash", 2);
  std::cout << BashCompletion();
}

// One sample of each channel, measured together.
std::vector<Sample> SampleChannels(Session& s, const std::vector<std::string>& channels, double t) {
  std::vector<Sample> out;
  if (channels.size() == 1) {
    std::vector<Value> row = MeasureRow(s, channels.front());
    out.push_back({t, std::stod(row[1].json), std::stod(row[2].json), std::stod(row[3].json)});
    return out;
  }
  ViReal64 v[4], i[4], p[4];
  ViInt32 nv = 0, ni = 0, np = 0;
  s.Check(ZEVRA_MeasureAllChannels(s.vi(), 4, v, &nv, 4, i, &ni, 4, p, &np), "measuring all channels");
  for (std::size_t k = 0; k < channels.size(); ++k) {
    ViInt32 index = ChannelIndex(channels[k]);
    if (index >= nv || index >= ni || index >= np) throw Failure("the instrument measured fewer channels than asked");
    out.push_back({t, v[index], i[index], p[index]});
  }
  return out;
}

void Log(Context& c, const std::vector<std::string>& args, Report& r) {
  const std::vector<std::string> channels = c.session.Channels(args[0]);
  // At most a day between samples and a year in all: bounds that also keep the arithmetic exact.
  const double interval_ms = ParseNumber(c.Option("--interval", "100"), "interval");
  const double duration_s = ParseNumber(c.Option("--duration", "5"), "duration");
  const std::string csv = c.Option("--csv"), svg = c.Option("--svg"), html = c.Option("--html");
  if (csv.empty()) throw Failure("log needs --csv FILE\n" + std::string(UsageFailure(*c.command).what()), 2);
  if (interval_ms < 0 || interval_ms > 86400000 || duration_s <= 0 || duration_s > 31622400)
    throw Failure("the interval is 0 (back to back) to a day and the duration positive, at most a year", 2);
  // Every output is known writable before anything is sent or sampled.
  for (const std::string& path : {svg, html})
    if (!path.empty()) CheckWritable(path);
  std::vector<double> list_steps;
  std::optional<ListFile> list;
  if (c.Has("--list")) {
    list = ReadListFile(c.Option("--list"));
    CheckListFits(c.session, channels, *list, c.Option("--list"));
  }
  CsvLog log(csv, channels);
  // With --list the log loads the file and starts the list itself, so it knows where each step begins.
  if (list) {
    Report ignored;
    for (const std::string& channel : channels) LoadListOne(c.session, channel, *list, ignored);
    double at = 0;
    // Where each step after the first begins, and where the list ends.
    for (const ListStep& step : list->steps) list_steps.push_back(at += step[2] / 1000);
    for (const std::string& channel : channels) RunListOne(c.session, channel, ignored);
  }
  std::vector<Trace> traces;
  for (const std::string& channel : channels) traces.push_back({channel, {}});
  const StopSignals stop;
  // Progress for a person at a terminal, on one line of standard error.
  const bool show_progress = ::isatty(STDERR_FILENO) != 0;
  std::optional<Failure> failed;
  const auto wall_start = std::chrono::system_clock::now();
  const auto start = std::chrono::steady_clock::now();
  // Back to back, samples come far faster than anyone reads a progress line.
  constexpr double kProgressEveryS = 0.01;
  double progress_shown_at = -1;
  auto show = [&](double t) {
    std::fprintf(stderr, "\rlogging %s: %zu samples, %.1f s of %s s (Ctrl-C stops)", visa::terminal_safe(args[0]).c_str(),
                 traces.front().samples.size(), t, FormatNumber(duration_s, 1).c_str());
    progress_shown_at = t;
  };
  double t = 0;
  try {
    for (long long n = 0;; ++n) {
      auto due = start + std::chrono::microseconds(static_cast<long long>(static_cast<double>(n) * interval_ms * 1000));
      if (stop.wait_until(due)) break;
      const double now_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (now_s > duration_s) break;
      t = now_s;
      std::vector<Sample> now = SampleChannels(c.session, channels, t);
      for (std::size_t k = 0; k < traces.size(); ++k) traces[k].samples.push_back(now[k]);
      log.Append(wall_start, now);
      if (show_progress && t - progress_shown_at >= kProgressEveryS) show(t);
    }
  } catch (const Failure& f) {
    failed = f;  // the samples taken so far are still written out below
  }
  if (show_progress) {
    if (progress_shown_at != t) show(t);  // the count the file ends with
    std::fputc('\n', stderr);
  }
  log.Close();
  const std::size_t taken = traces.front().samples.size();
  const std::string who = channels.size() > 1 ? "all channels" : channels.front();
  if (!svg.empty()) WriteWholeFile(svg, SvgChart(who + ": voltage, current and power", traces, list_steps));
  if (!html.empty()) WriteWholeFile(html, HtmlReport(who + ": voltage, current and power", traces, list_steps));
  if (failed) {
    throw Failure(std::string(failed->what()) + "\n  the " + std::to_string(taken) + " samples taken are in " + csv,
                  failed->code);
  }
  r.Field("channel", channels.size() > 1 ? "all" : channels.front());
  r.Field("samples", Value::Integer(static_cast<long long>(taken)));
  if (stop.received() != 0) r.Field("stopped", std::string("by ") + SignalName(stop.received()));
  r.Field("csv", csv);
  if (!svg.empty()) r.Field("svg", svg);
  if (!html.empty()) r.Field("html", html);
}

const std::vector<Command> kCommands = {
    {"find", "find [EXPRESSION] [--timeout MS] [--probe-serial]",
     "list the instruments VISA finds (configured, serial ports, USB, LAN), each with its *IDN? answer", 0, 1, Find,
     {{"--timeout", "MS", "how long each instrument has to answer (default 500)"},
      {"--probe-serial", nullptr, "send *IDN? to serial ports too (they are listed, not written to, without it)"}},
     false},
    {"info", "info", "identity, supported models, modules per channel and option flags", 0, 0, Info},
    {"set", "set CH|all VOLT|CURR|OVP|OCP VALUE",
     "set a level, limit or protection level of a channel (VALUE: 5, 5V, 500mV, 1.5A, 100mA)", 3, 3, Set},
    {"get", "get CH|all [VOLT|CURR|OVP|OCP]", "read a channel's settings", 1, 2, Get},
    {"output", "output CH|all on|off", "switch a channel's output", 2, 2, Output},
    {"clear", "clear CH|all", "reset a channel's tripped output protection (overvoltage, overcurrent)", 1, 1, Clear},
    {"measure", "measure [CH|all]", "measure voltage, current and power", 0, 1, Measure},
    {"state", "state CH|all", "whether a channel is in CV, CC, OV, OC or unregulated", 1, 1, State},
    {"status", "status", "status registers decoded, and the instrument's error queue", 0, 0, Status},
    {"errors", "errors", "the instrument's error queue, read (and so emptied) without clearing it first", 0, 0, Errors},
    {"list", "list load CH|all FILE.csv | list run CH|all | list abort CH|all",
     "program a list from voltage,current,dwell_ms lines; run or abort it", 2, 3, List},
    {"save", "save N", "store the instrument state in memory N", 1, 1, Save},
    {"recall", "recall N", "recall the instrument state from memory N", 1, 1, Recall},
    {"raw", "raw 'SCPI'", "send one SCPI line; a query prints the reply", 1, 1, Raw},
    {"watch", "watch [CH|all] [--interval MS] [--count N]",
     "a live panel: set and measured levels, power, CV/CC/OV/OC, output, a voltage trace (Ctrl-C stops)", 0, 1, Watch,
     {{"--interval", "MS", "time between refreshes (default 500; 0: none)"}, {"--count", "N", "stop after N refreshes"}}},
    {"log", "log CH|all --csv FILE [--interval MS] [--duration S] [--svg FILE] [--html FILE] [--list FILE.csv]",
     "record measurements to CSV (with all, columns per channel); chart them as SVG, or as a page with the chart "
     "and a table", 1, 1, Log,
     {{"--interval", "MS", "time between samples (default 100; 0: back to back)"},
      {"--duration", "S", "how long to record (default 5)"},
      {"--csv", "FILE", "where the samples go (required)"},
      {"--svg", "FILE", "a chart of voltage, current and power"},
      {"--html", "FILE", "a page with the chart and a table of every sample"},
      {"--list", "FILE.csv", "load this list, start it as the log starts, and mark where each of its steps begins"}}},
    {"shell", "shell [--echo]", "an interactive prompt that takes these commands; --echo prints each command of a script",
     0, 0, Shell, {{"--echo", nullptr, "print each command of a script before its output"}}},
    {"completion", "completion bash", "print a bash completion script for zevra", 1, 1, Completion},
};

}  // namespace

const std::vector<Command>& Commands() { return kCommands; }

Failure UsageFailure(const Command& command, std::string_view form) {
  std::string_view usage = command.usage;
  if (!form.empty()) {
    for (std::size_t start = 0; start < usage.size();) {
      std::size_t bar = usage.find(" | ", start);
      std::string_view piece = usage.substr(start, bar == std::string_view::npos ? bar : bar - start);
      if (piece.starts_with(form)) {
        usage = piece;
        break;
      }
      start = bar == std::string_view::npos ? usage.size() : bar + 3;
    }
  }
  return Failure("usage: zevra " + std::string(usage), 2);
}

const Command* FindCommand(const std::string& name) {
  for (const Command& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

namespace {

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

Failure UnknownCommand(const std::string& name) {
  const Command* nearest = nullptr;
  std::size_t best = 3;  // at most two edits away
  for (const Command& c : kCommands) {
    std::size_t d = EditDistance(name, c.name);
    if (d < best) {
      best = d;
      nearest = &c;
    }
  }
  std::string message = "unknown command '" + name + "'";
  if (nearest != nullptr) message += "; did you mean '" + std::string(nearest->name) + "'?";
  return Failure(message + " (see zevra --help)", 2);
}

namespace {

// What a command's arguments may be, read off its usage: literal words
// ("all", "on", "VOLT") as they stand, a channel as its numbers and names;
// placeholders for free values (a file, a number, SCPI) offer nothing.
std::string CompletionWords(const Command& c) {
  static const std::set<std::string> kPlaceholders = {"VALUE", "FILE", "FILE.csv", "N", "MS", "S", "EXPRESSION",
                                                      "'SCPI'"};
  std::vector<std::string> words;  // in the order the usage gives them
  auto add = [&](const std::string& w) {
    if (std::find(words.begin(), words.end(), w) == words.end()) words.push_back(w);
  };
  std::string token;
  std::string usage = c.usage;
  usage = usage.substr(usage.find(' ') == std::string::npos ? usage.size() : usage.find(' '));
  for (char ch : usage + " ") {
    if (ch == ' ' || ch == '|' || ch == '[' || ch == ']') {
      if (token == "CH") {
        for (const char* channel : {"1", "2", "3", "4", "CH1", "CH2", "CH3", "CH4"}) add(channel);
      } else if (!token.empty() && !token.starts_with("-") && kPlaceholders.count(token) == 0 && token != c.name) {
        add(token);
      }
      token.clear();
    } else {
      token += ch;
    }
  }
  for (const Flag& f : c.flags) add(f.name);
  add("--help");
  std::string joined;
  for (const std::string& w : words) joined += (joined.empty() ? "" : " ") + w;
  return joined;
}

}  // namespace

std::string BashCompletion() {
  std::string names, cases;
  for (const Command& c : kCommands) {
    names += (names.empty() ? "" : " ") + std::string(c.name);
    cases += "    " + std::string(c.name) + ") words=\"" + CompletionWords(c) + "\" ;;\n";
  }
  return "# bash completion for zevra: installed in /usr/share/bash-completion/completions/zevra,\n"
         "# or source it; each command completes only what it takes\n"
         "_zevra() {\n"
         "  local word=\"${COMP_WORDS[COMP_CWORD]}\" i command=\"\" words=\"\"\n"
         "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "    case \"${COMP_WORDS[i]}\" in\n"
         "      -r|-o|--trace) ((i++)) ;;\n"
         "      -*) ;;\n"
         "      *) command=\"${COMP_WORDS[i]}\"; break ;;\n"
         "    esac\n"
         "  done\n"
         "  case \"$command\" in\n"
         "    \"\") words=\"" + names + " -r -o --emulate --json --trace --version --help\" ;;\n" + cases +
         "  esac\n"
         "  COMPREPLY=($(compgen -W \"$words\" -- \"$word\"))\n"
         "}\n"
         "complete -o default -F _zevra zevra\n";
}

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  char quote = 0;
  bool in_word = false;
  for (char ch : line) {
    if (quote != 0) {
      if (ch == quote) quote = 0;
      else word += ch;
    } else if (ch == '\'' || ch == '"') {
      quote = ch;
      in_word = true;
    } else if (std::isspace(static_cast<unsigned char>(ch))) {
      if (in_word) words.push_back(word);
      word.clear();
      in_word = false;
    } else {
      word += ch;
      in_word = true;
    }
  }
  if (in_word) words.push_back(word);
  return words;
}

int PrintFailure(const Context& context, const Failure& f) {
  // With --json a failure is an object on standard output too, for scripts.
  if (context.json) std::cout << FailureJson(f) << std::flush;
  std::cerr << "zevra: " << visa::terminal_safe(f.what(), true) << "\n";
  return f.code;
}

int RunCommand(Context& context, const Command& command, const std::vector<std::string>& args) {
  try {
    Report report;
    context.command = &command;
    command.run(context, args, report);
    if (!report.empty()) std::cout << (context.json ? report.Json() : report.Text()) << std::flush;
    return 0;
  } catch (const Failure& f) {
    return PrintFailure(context, f);
  }
}

int RunLine(Context& context, const std::vector<std::string>& words) {
  if (words.empty()) return 0;
  try {
    // One parser for every line of a shell: building it costs far more than a parse.
    static CommandLineParser parser(false);
    CommandLine line = parser.Parse(words);
    if (!line.help.empty()) {
      std::cout << line.help << std::flush;
      return 0;
    }
    context.options = line.options;
    return RunCommand(context, *line.command, line.args);
  } catch (const Failure& f) {
    return PrintFailure(context, f);
  }
}

}  // namespace zevra_tool
