// SPDX-License-Identifier: MIT
// A QDX mainframe with four output module slots: settings limited to each
// module's ratings, a resistive load per channel with constant-voltage /
// constant-current crossover and a power limit, OVP and OCP trips, the
// IEEE 488.2 and SCPI status structures, an error queue, stored states and
// list mode on real or virtual time.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <mutex>
#include <utility>
#include <string>
#include <vector>

#include "clock.h"

namespace emulator {

struct ModuleModel {
  const char* model;
  double max_voltage, max_current, max_power;
};
// The eight module models; null for an unknown name.
const ModuleModel* FindModuleModel(const std::string& name);

struct QdxOptions {
  std::string mainframe = "QDX7001";
  std::array<std::string, 4> modules = {"QDX7102", "QDX7103", "QDX7301", "QDX7104"};  // "" = empty slot
  std::array<double, 4> loads = {1000, 1000, 1000, 1000};                            // ohms
  bool virtual_time = false;
  std::string serial = "QDX7001-000001";
  std::string firmware = "1.00";
  unsigned control_port = 5025;
};

// An IEEE 488.2 / SCPI register: condition, latched event (positive
// transitions), enable.
struct StatusRegister {
  int condition = 0;
  int event = 0;
  int enable = 0;
  void Update(int new_condition) {
    event |= new_condition & ~condition;
    condition = new_condition;
  }
  int Summary() const { return event & enable; }
  int ReadEvent() { return std::exchange(event, 0); }
};

struct ChannelSettings {
  double voltage = 0, current = 0, voltage_protection = 0, current_protection = 0;
  double voltage_slope = 0, current_slope = 0, voltage_max = 0, voltage_min = 0;
  bool ocp_enabled = false, output = false, sense = false, timer = false;
  std::string timer_count = "0";
  long long delay_rise = 0, delay_fall = 0;
  int list = -1;  // OUTP:MODE LIST,n; -1 for FIX
};

struct ListStep {
  double voltage = 0, current = 0;
  long long dwell_ms = 0;
};

struct OutputList {
  std::vector<ListStep> steps;
  long long count = 1;  // repetitions; 0 runs until aborted
  long long next = -1;  // the list that follows, or -1
  bool pace_trigger = false, terminate_last = false, bost = false, eost = false;
};

class QdxModel {
 public:
  explicit QdxModel(QdxOptions options);

  std::mutex& mutex() { return mutex_; }
  Clock& clock() { return clock_; }
  const QdxOptions& options() const { return options_; }

  // --- errors and status (callers hold the mutex) ---
  void PushError(int code, const std::string& message);
  std::string PopError();
  void ClearStatus();
  void Refresh();  // advances lists, protection and the status structure to now
  int StatusByte();

  // --- channels ---
  struct Channel {
    const ModuleModel* module = nullptr;
    std::string serial, firmware;
    ChannelSettings settings;
    double load_ohms = 1000;
    bool ov_tripped = false, oc_tripped = false;
    StatusRegister summary;
    // list run
    bool running = false, waiting_for_trigger = false, continuous = false;
    int run_list = -1;
    std::size_t step = 0;
    long long repetition = 0;
    double step_started = 0;
    ChannelSettings before_list;
  };
  Channel& channel(int index) { return channels_[static_cast<std::size_t>(index)]; }
  int selected() const { return selected_; }
  void select(int index) { selected_ = index; }

  struct Measurement {
    double voltage = 0, current = 0, power = 0;
    bool constant_current = false, unregulated = false;
  };
  Measurement Measure(int index);  // what the output delivers into its load now
  void ApplyProtection(int index);
  void Reset();                    // *RST
  void ResetChannel(int index);

  // --- lists ---
  OutputList& list(int number) { return lists_[number]; }
  bool HasList(int number) const { return lists_.count(number) != 0; }
  int selected_list = 0;
  int selected_step = 0;
  std::string trigger_source = "IMM";
  void StartList(int index, bool continuous);
  void AbortList(int index);
  void Trigger();  // *TRG or an external trigger

  // --- stored states ---
  void Save(int location);
  bool Recall(int location);
  void ClearStoredStates();

  // --- the rest of the instrument ---
  StatusRegister operation, questionable, questionable_instrument;
  int event_status = 0, event_status_enable = 0, service_request_enable = 0;
  bool power_on_status_clear = true;
  bool beeper = true, display = true, lxi_identify = false;
  std::string date, time, remote_state = "LOC", power_on_state = "OFF";
  int power_on_location = 0;
  std::string output_pair = "OFF", inhibit_mode = "OFF";
  std::map<int, std::string> pin_functions, pin_polarities;
  long long digital_input = 0, digital_output = 0;

 private:
  void AdvanceList(int index, double now);
  void ApplyStep(Channel& c);
  void FinishList(int index);

  QdxOptions options_;
  std::mutex mutex_;
  Clock clock_;
  std::array<Channel, 4> channels_;
  int selected_ = 0;
  std::deque<std::string> errors_;
  std::map<int, OutputList> lists_;
  std::map<int, std::array<ChannelSettings, 4>> stored_;
};

}  // namespace emulator
