// SPDX-License-Identifier: MIT
#include "function_exchanges.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "ZEVRA.h"
#include "qdx_instrument.h"
#include "socket_server.h"
#include "transcript.h"
#include "visa.h"

namespace reference_docs {
namespace {

struct Example {
  const char* function;
  const char* call;
  std::function<ViStatus(ViSession)> run;
};

// In an order a program would use them, so that each finds the state the one
// before left (a list to run, a state to recall).
std::vector<Example> Examples() {
  static ViReal64 r, v[4], i[4], p[4];
  static ViInt32 n1, n2, n3, code, state, location;
  static ViBoolean b;
  static ViInt16 result;
  static ViChar text[256], rev[256];
  static ViInt64 count;
  return {
      {"ZEVRA_reset", "ZEVRA_reset(vi)", [](ViSession vi) { return ZEVRA_reset(vi); }},
      {"ZEVRA_ResetWithDefaults", "ZEVRA_ResetWithDefaults(vi)", [](ViSession vi) { return ZEVRA_ResetWithDefaults(vi); }},
      {"ZEVRA_self_test", "ZEVRA_self_test(vi, &result, message)",
       [](ViSession vi) { return ZEVRA_self_test(vi, &result, text); }},
      {"ZEVRA_revision_query", "ZEVRA_revision_query(vi, driver, instrument)",
       [](ViSession vi) { return ZEVRA_revision_query(vi, rev, text); }},
      {"ZEVRA_error_query", "ZEVRA_error_query(vi, &code, message)",
       [](ViSession vi) { return ZEVRA_error_query(vi, &code, text); }},
      {"ZEVRA_ConfigureVoltageLevel", "ZEVRA_ConfigureVoltageLevel(vi, \"CH1\", 5.0)",
       [](ViSession vi) { return ZEVRA_ConfigureVoltageLevel(vi, "CH1", 5.0); }},
      {"ZEVRA_ConfigureCurrentLimit", "ZEVRA_ConfigureCurrentLimit(vi, \"CH1\", 0, 1.0)",
       [](ViSession vi) { return ZEVRA_ConfigureCurrentLimit(vi, "CH1", 0, 1.0); }},
      {"ZEVRA_ConfigureOVP", "ZEVRA_ConfigureOVP(vi, \"CH1\", VI_TRUE, 20.0)",
       [](ViSession vi) { return ZEVRA_ConfigureOVP(vi, "CH1", VI_TRUE, 20.0); }},
      {"ZEVRA_QueryMaxCurrentLimit", "ZEVRA_QueryMaxCurrentLimit(vi, \"CH1\", 10.0, &max)",
       [](ViSession vi) { return ZEVRA_QueryMaxCurrentLimit(vi, "CH1", 10.0, &r); }},
      {"ZEVRA_QueryMaxVoltageLevel", "ZEVRA_QueryMaxVoltageLevel(vi, \"CH1\", 1.0, &max)",
       [](ViSession vi) { return ZEVRA_QueryMaxVoltageLevel(vi, "CH1", 1.0, &r); }},
      {"ZEVRA_ConfigureOutputEnabled", "ZEVRA_ConfigureOutputEnabled(vi, \"CH1\", VI_TRUE)",
       [](ViSession vi) { return ZEVRA_ConfigureOutputEnabled(vi, "CH1", VI_TRUE); }},
      {"ZEVRA_ConfigureOutputRange", "ZEVRA_ConfigureOutputRange(vi, \"CH1\", 1, 10.0)",
       [](ViSession vi) { return ZEVRA_ConfigureOutputRange(vi, "CH1", 1, 10.0); }},
      {"ZEVRA_QueryOutputState", "ZEVRA_QueryOutputState(vi, \"CH1\", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, &in_state)",
       [](ViSession vi) { return ZEVRA_QueryOutputState(vi, "CH1", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, &b); }},
      {"ZEVRA_Measure", "ZEVRA_Measure(vi, \"CH1\", ZEVRA_VAL_MEASURE_VOLTAGE, &volts)",
       [](ViSession vi) { return ZEVRA_Measure(vi, "CH1", ZEVRA_VAL_MEASURE_VOLTAGE, &r); }},
      {"ZEVRA_MeasureVoltage", "ZEVRA_MeasureVoltage(vi, &volts)", [](ViSession vi) { return ZEVRA_MeasureVoltage(vi, &r); }},
      {"ZEVRA_MeasureCurrent", "ZEVRA_MeasureCurrent(vi, &amps)", [](ViSession vi) { return ZEVRA_MeasureCurrent(vi, &r); }},
      {"ZEVRA_MeasurePower", "ZEVRA_MeasurePower(vi, &watts)", [](ViSession vi) { return ZEVRA_MeasurePower(vi, &r); }},
      {"ZEVRA_MeasureSelectedChannel", "ZEVRA_MeasureSelectedChannel(vi, &volts, &amps, &watts)",
       [](ViSession vi) { return ZEVRA_MeasureSelectedChannel(vi, &v[0], &i[0], &p[0]); }},
      {"ZEVRA_MeasureAllChannels", "ZEVRA_MeasureAllChannels(vi, 4, volts, &n, 4, amps, &n, 4, watts, &n)",
       [](ViSession vi) { return ZEVRA_MeasureAllChannels(vi, 4, v, &n1, 4, i, &n2, 4, p, &n3); }},
      {"ZEVRA_SetAllOutputsEnabled", "ZEVRA_SetAllOutputsEnabled(vi, VI_FALSE)",
       [](ViSession vi) { return ZEVRA_SetAllOutputsEnabled(vi, VI_FALSE); }},
      {"ZEVRA_ResetOutputProtection", "ZEVRA_ResetOutputProtection(vi, \"CH1,CH2\")",
       [](ViSession vi) { return ZEVRA_ResetOutputProtection(vi, "CH1,CH2"); }},
      {"ZEVRA_ClearOCP", "ZEVRA_ClearOCP(vi)", [](ViSession vi) { return ZEVRA_ClearOCP(vi); }},
      {"ZEVRA_ClearOVP", "ZEVRA_ClearOVP(vi)", [](ViSession vi) { return ZEVRA_ClearOVP(vi); }},
      {"ZEVRA_ClearProtectionErrors", "ZEVRA_ClearProtectionErrors(vi)",
       [](ViSession vi) { return ZEVRA_ClearProtectionErrors(vi); }},
      {"ZEVRA_ConfigureTriggerSource", "ZEVRA_ConfigureTriggerSource(vi, \"CH1\", ZEVRA_VAL_SOFTWARE_TRIG)",
       [](ViSession vi) { return ZEVRA_ConfigureTriggerSource(vi, "CH1", ZEVRA_VAL_SOFTWARE_TRIG); }},
      {"ZEVRA_ConfigureTriggeredVoltageLevel", "ZEVRA_ConfigureTriggeredVoltageLevel(vi, \"CH1\", 5.0)",
       [](ViSession vi) { return ZEVRA_ConfigureTriggeredVoltageLevel(vi, "CH1", 5.0); }},
      {"ZEVRA_ConfigureTriggeredCurrentLimit", "ZEVRA_ConfigureTriggeredCurrentLimit(vi, \"CH1\", 1.0)",
       [](ViSession vi) { return ZEVRA_ConfigureTriggeredCurrentLimit(vi, "CH1", 1.0); }},
      {"ZEVRA_EnableList", "ZEVRA_EnableList(vi, 1)", [](ViSession vi) { return ZEVRA_EnableList(vi, 1); }},
      {"ZEVRA_ClearList", "ZEVRA_ClearList(vi)", [](ViSession vi) { return ZEVRA_ClearList(vi); }},
      {"ZEVRA_SaveListData", "ZEVRA_SaveListData(vi)", [](ViSession vi) { return ZEVRA_SaveListData(vi); }},
      {"ZEVRA_StartList", "ZEVRA_StartList(vi, ZEVRA_VAL_CHANNEL1)",
       [](ViSession vi) { return ZEVRA_StartList(vi, ZEVRA_VAL_CHANNEL1); }},
      {"ZEVRA_AbortList", "ZEVRA_AbortList(vi, ZEVRA_VAL_CHANNEL1)",
       [](ViSession vi) { return ZEVRA_AbortList(vi, ZEVRA_VAL_CHANNEL1); }},
      {"ZEVRA_StartListContinuous", "ZEVRA_StartListContinuous(vi, ZEVRA_VAL_CHANNEL1, VI_TRUE)",
       [](ViSession vi) { return ZEVRA_StartListContinuous(vi, ZEVRA_VAL_CHANNEL1, VI_TRUE); }},
      {"ZEVRA_DisableList", "ZEVRA_DisableList(vi)", [](ViSession vi) { return ZEVRA_DisableList(vi); }},
      {"ZEVRA_DeleteSelectedList", "ZEVRA_DeleteSelectedList(vi, 1)",
       [](ViSession vi) { return ZEVRA_DeleteSelectedList(vi, 1); }},
      {"ZEVRA_Initiate", "ZEVRA_Initiate(vi)", [](ViSession vi) { return ZEVRA_Initiate(vi); }},
      {"ZEVRA_SendSoftwareTrigger", "ZEVRA_SendSoftwareTrigger(vi)", [](ViSession vi) { return ZEVRA_SendSoftwareTrigger(vi); }},
      {"ZEVRA_GenerateImmediateTrigger", "ZEVRA_GenerateImmediateTrigger(vi)",
       [](ViSession vi) { return ZEVRA_GenerateImmediateTrigger(vi); }},
      {"ZEVRA_Abort", "ZEVRA_Abort(vi)", [](ViSession vi) { return ZEVRA_Abort(vi); }},
      {"ZEVRA_ConfigureDigitalFunction", "ZEVRA_ConfigureDigitalFunction(vi, 1, ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_OUTPUT)",
       [](ViSession vi) { return ZEVRA_ConfigureDigitalFunction(vi, 1, ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_OUTPUT); }},
      {"ZEVRA_ConfigureDigitalPolarity", "ZEVRA_ConfigureDigitalPolarity(vi, 1, ZEVRA_VAL_DIGITAL_PIN_POLARITY_POSITIVE)",
       [](ViSession vi) { return ZEVRA_ConfigureDigitalPolarity(vi, 1, ZEVRA_VAL_DIGITAL_PIN_POLARITY_POSITIVE); }},
      {"ZEVRA_SaveState", "ZEVRA_SaveState(vi, 1)", [](ViSession vi) { return ZEVRA_SaveState(vi, 1); }},
      {"ZEVRA_RecallState", "ZEVRA_RecallState(vi, 1)", [](ViSession vi) { return ZEVRA_RecallState(vi, 1); }},
      {"ZEVRA_ConfigurePowerOnState", "ZEVRA_ConfigurePowerOnState(vi, ZEVRA_VAL_POWER_ON_STATE_USER_STATE, 1)",
       [](ViSession vi) { return ZEVRA_ConfigurePowerOnState(vi, ZEVRA_VAL_POWER_ON_STATE_USER_STATE, 1); }},
      {"ZEVRA_QueryPowerOnState", "ZEVRA_QueryPowerOnState(vi, &state, &location)",
       [](ViSession vi) { return ZEVRA_QueryPowerOnState(vi, &state, &location); }},
      {"ZEVRA_ClearStatus", "ZEVRA_ClearStatus(vi)", [](ViSession vi) { return ZEVRA_ClearStatus(vi); }},
      {"ZEVRA_Preset", "ZEVRA_Preset(vi)", [](ViSession vi) { return ZEVRA_Preset(vi); }},
      {"ZEVRA_SetOperationComplete", "ZEVRA_SetOperationComplete(vi)",
       [](ViSession vi) { return ZEVRA_SetOperationComplete(vi); }},
      {"ZEVRA_WaitForOperationComplete", "ZEVRA_WaitForOperationComplete(vi)",
       [](ViSession vi) { return ZEVRA_WaitForOperationComplete(vi); }},
      {"ZEVRA_WaitToContinue", "ZEVRA_WaitToContinue(vi)", [](ViSession vi) { return ZEVRA_WaitToContinue(vi); }},
      {"ZEVRA_Beep", "ZEVRA_Beep(vi)", [](ViSession vi) { return ZEVRA_Beep(vi); }},
      {"ZEVRA_RemoteLock", "ZEVRA_RemoteLock(vi)", [](ViSession vi) { return ZEVRA_RemoteLock(vi); }},
      {"ZEVRA_Disable", "ZEVRA_Disable(vi)", [](ViSession vi) { return ZEVRA_Disable(vi); }},
      {"ZEVRA_viWrite, ZEVRA_viRead", "ZEVRA_viWrite(vi, 6, \"*IDN?\\n\", &count); ZEVRA_viRead(vi, 256, buffer, &count)",
       [](ViSession vi) {
         ViStatus st = ZEVRA_viWrite(vi, 6, "*IDN?\n", &count);
         return st < 0 ? st : ZEVRA_viRead(vi, sizeof text, text, &count);
       }},
      {"ZEVRA_ClearAndReboot", "ZEVRA_ClearAndReboot(vi)", [](ViSession vi) { return ZEVRA_ClearAndReboot(vi); }},
  };
}

// Every open reads a configuration store: this run gets one of its own.
class OwnStore {
 public:
  OwnStore() {
    dir_ = std::filesystem::temp_directory_path() / ("zevra-reference-docs-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "store.xml") << "<IviConfigStore><SoftwareModules><IviSoftwareModule id=\"ZEVRA\">"
                                         "<Name>ZEVRA</Name><Prefix>ZEVRA</Prefix></IviSoftwareModule>"
                                         "</SoftwareModules></IviConfigStore>\n";
    setenv("IVICONFIGSERVERDEFAULT", (dir_ / "store.xml").c_str(), 1);
  }
  ~OwnStore() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

 private:
  std::filesystem::path dir_;
};

}  // namespace

std::vector<RecordedCall> RecordFunctionExchanges(std::string& error) {
  OwnStore store;
  emulator::QdxOptions options;
  options.virtual_time = true;
  emulator::QdxInstrument instrument(options);
  emulator::Transcript transcript;
  emulator::SocketServer server(instrument, &transcript);
  error = server.start("127.0.0.1", 0);
  if (!error.empty()) return {};
  std::string resource = "TCPIP0::127.0.0.1::" + std::to_string(server.port()) + "::SOCKET";
  std::vector<RecordedCall> recorded;

  // The open itself, with the identity query and reset asked for.
  ViSession vi = VI_NULL;
  RecordedCall open{"ZEVRA_InitWithOptions", "ZEVRA_InitWithOptions(\"TCPIP0::host::5025::SOCKET\", VI_TRUE, VI_TRUE, \"QueryInstrStatus=0\", &vi)", {}, 0};
  open.status = ZEVRA_InitWithOptions(resource.data(), VI_TRUE, VI_TRUE, "QueryInstrStatus=0", &vi);
  if (open.status < 0) {
    error = "cannot open the emulator";
    return {};
  }
  ViSession io = VI_NULL;
  ZEVRA_GetAttributeViSession(vi, "", ZEVRA_ATTR_SYSTEM_IO_SESSION, &io);
  // The instrument answers lines in order: once a query sent after the call
  // is answered, all the call sent has been received (and the query is last).
  auto take_sent = [&]() {
    char reply[64];
    viQueryf(io, "*OPC?\n", "%63[^\n]%*T", reply);
    std::vector<std::string> lines = transcript.lines();
    if (!lines.empty()) lines.pop_back();
    transcript.clear();
    return lines;
  };
  open.sent = take_sent();
  recorded.push_back(open);
  std::vector<std::string> path;
  instrument.Execute("EMUL:LOAD 1,10", path);  // so that CH1 has something to measure
  for (const Example& e : Examples()) {
    RecordedCall call{e.function, e.call, {}, 0};
    call.status = e.run(vi);
    call.sent = take_sent();
    recorded.push_back(std::move(call));
  }
  ZEVRA_close(vi);
  return recorded;
}

}  // namespace reference_docs
