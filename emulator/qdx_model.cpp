// SPDX-License-Identifier: MIT
#include "qdx_model.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <strings.h>

namespace emulator {
namespace {

constexpr ModuleModel kModules[] = {
    {"QDX7101", 15, 20, 100}, {"QDX7102", 32, 9.4, 100}, {"QDX7103", 60, 5, 100}, {"QDX7104", 100, 3, 100},
    {"QDX7301", 15, 20, 300}, {"QDX7302", 32, 9.4, 300}, {"QDX7303", 60, 5, 300}, {"QDX7304", 100, 3, 300},
};
constexpr std::size_t kErrorQueueSize = 10;

// Standard event status bits.
constexpr int kQueryError = 0x04, kDeviceError = 0x08, kExecutionError = 0x10,
              kCommandError = 0x20;
// Summary register bits of a channel.
constexpr int kConstantCurrent = 1, kOverVoltage = 2, kUnregulated = 4, kOverCurrent = 8;
constexpr int kQuestionableInstrumentSummaryBit = 1 << 13;
constexpr int kOperationListRunningBit = 1 << 3;

std::string Today(const char* format) {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, format, &tm);
  return text;
}

}  // namespace

const ModuleModel* FindModuleModel(const std::string& name) {
  for (const ModuleModel& m : kModules) {
    if (strcasecmp(m.model, name.c_str()) == 0) return &m;
  }
  return nullptr;
}

QdxModel::QdxModel(QdxOptions options) : options_(std::move(options)), clock_(options_.virtual_time) {
  for (int i = 0; i < 4; ++i) {
    Channel& c = channels_[static_cast<std::size_t>(i)];
    c.module = FindModuleModel(options_.modules[static_cast<std::size_t>(i)]);
    c.load_ohms = options_.loads[static_cast<std::size_t>(i)];
    char serial[32];
    std::snprintf(serial, sizeof serial, "MY%08d", 4711 + i);
    c.serial = serial;
    c.firmware = "2.1.0";
  }
  date = Today("%Y,%m,%d");
  time = Today("%H,%M,%S");
  Reset();
}

void QdxModel::PushError(int code, const std::string& message) {
  if (code <= -100 && code > -200) event_status |= kCommandError;
  else if (code <= -200 && code > -300) event_status |= kExecutionError;
  else if (code <= -300 && code > -400) event_status |= kDeviceError;
  else if (code <= -400 && code > -500) event_status |= kQueryError;
  else event_status |= kDeviceError;
  std::string entry = std::to_string(code) + ",\"" + message + "\"";
  if (errors_.size() < kErrorQueueSize) {
    errors_.push_back(entry);
  } else {
    errors_.back() = "-350,\"Queue overflow\"";
  }
}

std::string QdxModel::PopError() {
  if (errors_.empty()) return "0,\"No error\"";
  std::string e = errors_.front();
  errors_.pop_front();
  return e;
}

void QdxModel::ClearStatus() {
  errors_.clear();
  event_status = 0;
  operation.event = questionable.event = questionable_instrument.event = 0;
  for (Channel& c : channels_) c.summary.event = 0;
}

void QdxModel::ResetChannel(int index) {
  Channel& c = channel(index);
  ChannelSettings s;
  if (c.module != nullptr) {
    s.current = c.module->max_current;
    s.voltage_protection = c.module->max_voltage * 1.1;
    s.current_protection = c.module->max_current * 1.1;
    s.voltage_max = c.module->max_voltage;
  }
  c.settings = s;
  c.running = c.waiting_for_trigger = c.continuous = false;
}

void QdxModel::Reset() {
  for (int i = 0; i < 4; ++i) ResetChannel(i);
  selected_ = 0;
  selected_list = selected_step = 0;
  trigger_source = "IMM";
  output_pair = "OFF";
  inhibit_mode = "OFF";
  beeper = display = true;
  lxi_identify = false;
  pin_functions.clear();
  pin_polarities.clear();
  digital_output = 0;
}

QdxModel::Measurement QdxModel::Measure(int index) {
  Channel& c = channel(index);
  Measurement m;
  if (c.module == nullptr || !c.settings.output) return m;
  double r = c.load_ohms > 0 ? c.load_ohms : 1e-9;
  double v = c.settings.voltage, i = v / r;
  if (i > c.settings.current) {  // the load wants more than the limit: constant current
    i = c.settings.current;
    v = i * r;
    m.constant_current = true;
  }
  if (v * i > c.module->max_power) {  // beyond the module's power: unregulated
    v = std::sqrt(c.module->max_power * r);
    i = v / r;
    m.unregulated = true;
    m.constant_current = false;
  }
  m.voltage = v;
  m.current = i;
  m.power = v * i;
  return m;
}

void QdxModel::ApplyProtection(int index) {
  Channel& c = channel(index);
  if (c.module == nullptr || !c.settings.output) return;
  Measurement m = Measure(index);
  if (m.voltage > c.settings.voltage_protection) {
    c.ov_tripped = true;
    c.settings.output = false;
  } else if (c.settings.ocp_enabled && c.settings.voltage / (c.load_ohms > 0 ? c.load_ohms : 1e-9) > c.settings.current_protection) {
    c.oc_tripped = true;
    c.settings.output = false;
  }
}

void QdxModel::ApplyStep(Channel& c) {
  const OutputList& l = lists_[c.run_list];
  if (c.step < l.steps.size()) {
    c.settings.voltage = l.steps[c.step].voltage;
    c.settings.current = l.steps[c.step].current;
  }
}

void QdxModel::StartList(int index, bool continuous) {
  Channel& c = channel(index);
  c.continuous = continuous;
  c.run_list = c.settings.list;
  c.before_list = c.settings;
  c.step = 0;
  c.repetition = 0;
  c.running = true;
  c.waiting_for_trigger = trigger_source != "IMM";
  c.step_started = clock_.now();
  if (!c.waiting_for_trigger) ApplyStep(c);
}

void QdxModel::AbortList(int index) {
  Channel& c = channel(index);
  if (!c.running) return;
  c.running = c.waiting_for_trigger = false;
  c.settings.voltage = c.before_list.voltage;
  c.settings.current = c.before_list.current;
}

void QdxModel::FinishList(int index) {
  Channel& c = channel(index);
  const OutputList& l = lists_[c.run_list];
  if (l.next >= 0 && HasList(static_cast<int>(l.next)) && !lists_[static_cast<int>(l.next)].steps.empty()) {
    c.run_list = static_cast<int>(l.next);
    c.step = 0;
    c.repetition = 0;
    ApplyStep(c);
    return;
  }
  if (c.continuous) {
    c.run_list = c.settings.list;
    c.step = 0;
    c.repetition = 0;
    ApplyStep(c);
    return;
  }
  c.running = false;
  if (!l.terminate_last) {
    c.settings.voltage = c.before_list.voltage;
    c.settings.current = c.before_list.current;
  }
}

void QdxModel::Trigger() {
  for (int i = 0; i < 4; ++i) {
    Channel& c = channel(i);
    if (!c.running) continue;
    double now = clock_.now();
    if (c.waiting_for_trigger) {
      c.waiting_for_trigger = false;
      c.step_started = now;
      ApplyStep(c);
    } else if (lists_[c.run_list].pace_trigger) {
      // A trigger ends the step in trigger pacing.
      const OutputList& l = lists_[c.run_list];
      if (++c.step >= l.steps.size()) {
        c.step = 0;
        if (l.count != 0 && ++c.repetition >= l.count) {
          FinishList(i);
          continue;
        }
      }
      c.step_started = now;
      ApplyStep(c);
    }
  }
}

void QdxModel::AdvanceList(int index, double now) {
  Channel& c = channel(index);
  for (int guard = 0; c.running && !c.waiting_for_trigger && guard < 100000; ++guard) {
    const OutputList& l = lists_[c.run_list];
    if (l.pace_trigger || l.steps.empty()) {
      if (l.steps.empty()) FinishList(index);
      return;
    }
    double ends = c.step_started + static_cast<double>(l.steps[c.step].dwell_ms) / 1000.0;
    if (ends > now) return;
    c.step_started = ends;
    if (++c.step >= l.steps.size()) {
      c.step = 0;
      if (l.count != 0 && ++c.repetition >= l.count) {
        FinishList(index);
        continue;
      }
    }
    ApplyStep(c);
  }
}

void QdxModel::Refresh() {
  double now = clock_.now();
  int instrument_condition = 0;
  bool any_running = false;
  for (int i = 0; i < 4; ++i) {
    AdvanceList(i, now);
    ApplyProtection(i);
    Channel& c = channel(i);
    Measurement m = Measure(i);
    int bits = (m.constant_current ? kConstantCurrent : 0) | (c.ov_tripped ? kOverVoltage : 0) |
               (m.unregulated ? kUnregulated : 0) | (c.oc_tripped ? kOverCurrent : 0);
    c.summary.Update(bits);
    if (c.summary.Summary() != 0) instrument_condition |= 1 << (i + 1);
    any_running = any_running || c.running;
  }
  questionable_instrument.Update(instrument_condition);
  questionable.Update(questionable_instrument.Summary() != 0 ? kQuestionableInstrumentSummaryBit : 0);
  operation.Update(any_running ? kOperationListRunningBit : 0);
}

int QdxModel::StatusByte() {
  int stb = (errors_.empty() ? 0 : 0x04) | (questionable.Summary() != 0 ? 0x08 : 0) |
            ((event_status & event_status_enable) != 0 ? 0x20 : 0) | (operation.Summary() != 0 ? 0x80 : 0);
  if ((stb & service_request_enable) != 0) stb |= 0x40;
  return stb;
}

void QdxModel::Save(int location) {
  std::array<ChannelSettings, 4> settings;
  for (int i = 0; i < 4; ++i) settings[static_cast<std::size_t>(i)] = channel(i).settings;
  stored_[location] = settings;
}

bool QdxModel::Recall(int location) {
  auto it = stored_.find(location);
  if (it == stored_.end()) return false;
  for (int i = 0; i < 4; ++i) channel(i).settings = it->second[static_cast<std::size_t>(i)];
  return true;
}

void QdxModel::ClearStoredStates() {
  stored_.clear();
  lists_.clear();
}

}  // namespace emulator
