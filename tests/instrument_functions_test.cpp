// SPDX-License-Identifier: MIT
// The instrument functions on a real session against the scripted instrument
// (exact bytes sent, reply parsing) and in simulation.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/driver_helpers.h"
#include "support/scripted_emulator.h"
#include "support/temp_store.h"
#include "visa.h"

namespace {

using namespace testsupport;
using Lines = std::vector<std::string>;

class InstrumentFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emu.started()) << emu.error();
    ASSERT_EQ(vi.open(emu.resource(), ""), VI_SUCCESS);
    ASSERT_EQ(checked.open(emu.resource(), "QueryInstrStatus=1"), VI_SUCCESS);
    ASSERT_EQ(sim.open("sim", "Simulate=1"), VI_SUCCESS);
    emu.transcript().clear();
  }
  Lines Sent() { return emu.transcript().lines(); }
  void Reply(const std::string& query, const std::string& reply) {
    emu.instrument().on(query, reply, emulator::ScriptedInstrument::kForever);
  }

  ScriptedEmulator emu;
  TempStore store{ZevraModule()};
  DriverHandle vi, checked, sim;
};

struct CommandCase {
  const char* name;
  std::function<ViStatus(ViSession)> call;
  Lines sent;
};

TEST_F(InstrumentFunctions, OneCommandEach) {
  const CommandCase cases[] = {
      {"Beep", ZEVRA_Beep, {"SYST:BEEP:IMM"}},
      {"ClearAndReboot", ZEVRA_ClearAndReboot, {"SYST:SEC:IMM"}},
      {"RemoteLock", ZEVRA_RemoteLock, {"SYST:RWL"}},
      {"SaveState", [](ViSession v) { return ZEVRA_SaveState(v, 0); }, {"*SAV 0"}},
      {"RecallState", [](ViSession v) { return ZEVRA_RecallState(v, 5); }, {"*RCL 5"}},
      {"PowerOnUser", [](ViSession v) { return ZEVRA_ConfigurePowerOnState(v, ZEVRA_VAL_POWER_ON_STATE_USER_STATE, 3); },
       {"OUTP:PON:STAT USER,3"}},
      {"PowerOnLast", [](ViSession v) { return ZEVRA_ConfigurePowerOnState(v, ZEVRA_VAL_POWER_ON_STATE_LAST_STATE, 3); },
       {"OUTP:PON:STAT LAST"}},
      {"ClearStatus", ZEVRA_ClearStatus, {"*CLS"}},
      {"Preset", ZEVRA_Preset, {"STAT:PRES"}},
      {"SetOperationComplete", ZEVRA_SetOperationComplete, {"*OPC"}},
      {"WaitForOperationComplete", ZEVRA_WaitForOperationComplete, {"*OPC?"}},
      {"WaitToContinue", ZEVRA_WaitToContinue, {"*WAI"}},
      {"ClearOCP", ZEVRA_ClearOCP, {":CURR:PROT:CLE"}},
      {"ClearOVP", ZEVRA_ClearOVP, {":VOLT:PROT:CLE"}},
      {"ClearProtectionErrors", ZEVRA_ClearProtectionErrors, {"OUTP:PROT:CLE"}},
      {"ClearList", ZEVRA_ClearList, {"LIST:CLE"}},
      {"DeleteSelectedList", [](ViSession v) { return ZEVRA_DeleteSelectedList(v, 2); }, {"LIST:DEL 2"}},
      {"SaveListData", ZEVRA_SaveListData, {"LIST:SAVE"}},
      {"EnableList", [](ViSession v) { return ZEVRA_EnableList(v, -1); }, {"OUTP:MODE LIST,-1"}},
      {"DisableList", ZEVRA_DisableList, {"OUTP:MODE FIX"}},
      {"StartList1", [](ViSession v) { return ZEVRA_StartList(v, ZEVRA_VAL_CHANNEL1); }, {"INIT 0"}},
      {"StartList4", [](ViSession v) { return ZEVRA_StartList(v, ZEVRA_VAL_CHANNEL4); }, {"INIT 3"}},
      {"StartContinuous", [](ViSession v) { return ZEVRA_StartListContinuous(v, ZEVRA_VAL_CHANNEL2, VI_TRUE); },
       {"INIT:CONT 1,1"}},
      {"StopContinuous", [](ViSession v) { return ZEVRA_StartListContinuous(v, ZEVRA_VAL_CHANNEL2, VI_FALSE); },
       {"INIT:CONT 1,0"}},
      {"AbortList", [](ViSession v) { return ZEVRA_AbortList(v, ZEVRA_VAL_CHANNEL3); }, {"ABOR 2"}},
      {"SendSoftwareTrigger", ZEVRA_SendSoftwareTrigger, {"*TRG"}},
      {"GenerateImmediateTrigger", ZEVRA_GenerateImmediateTrigger, {"*TRG"}},
      {"TriggerSource", [](ViSession v) { return ZEVRA_ConfigureTriggerSource(v, "CH2", ZEVRA_VAL_SOFTWARE_TRIG); },
       {"INST:SEL 1", "TRIG:SEQ:SOUR BUS"}},
      {"DigitalFunction", [](ViSession v) { return ZEVRA_ConfigureDigitalFunction(v, 2, ZEVRA_VAL_DIGITAL_PIN_FUNCTION_TRIGGER_INPUT); },
       {"DIG:PIN2:FUNC TINPut"}},
      {"DigitalPolarity", [](ViSession v) { return ZEVRA_ConfigureDigitalPolarity(v, -1, ZEVRA_VAL_DIGITAL_PIN_POLARITY_NEGATIVE); },
       {"DIG:PIN-1:POL NEGative"}},
      {"EventEnable", [](ViSession v) { return ZEVRA_SetStandardEventEnableRegister(v, 60); }, {"*ESE 60"}},
      {"EventEnableNegative", [](ViSession v) { return ZEVRA_SetStandardEventEnableRegister(v, -1); }, {"*ESE -1"}},
      {"PowerOnStatusClear", [](ViSession v) { return ZEVRA_SetPowerOnStatusClearEnabled(v, VI_TRUE); }, {"*PSC 1"}},
      {"StepVoltage", [](ViSession v) { return ZEVRA_SetStepVoltage(v, 12.5); }, {"LIST:VOLT 12.5"}},
      {"StepVoltageShortest", [](ViSession v) { return ZEVRA_SetStepVoltage(v, 0.1); }, {"LIST:VOLT 0.1"}},
      {"DigitalOutput", [](ViSession v) { return ZEVRA_SetDigitalOutputData(v, 5); }, {"DIG:OUTP:DATA 5"}},
      {"RemoteState", [](ViSession v) { return ZEVRA_SetRemoteState(v, ZEVRA_VAL_REMOTE_STATE_REMOTE_WITH_LOCK); },
       {"SYST:COMM:RLST RWLock"}},
      {"EmptyDate", [](ViSession v) { return ZEVRA_SetSystemDate(v, ""); }, {"SYST:DATE "}},
      {"OutputMode", [](ViSession v) { return ZEVRA_SetOutputMode(v, ZEVRA_VAL_OUTPUT_MODE_SERIES_3); }, {"OUTP:PAIR SERI3"}},
      {"AllOutputs", [](ViSession v) { return ZEVRA_SetAllOutputsEnabled(v, VI_FALSE); }, {"OUTP:ALL:STATE 0"}},
  };
  for (const CommandCase& c : cases) {
    SCOPED_TRACE(c.name);
    emu.transcript().clear();
    EXPECT_EQ(c.call(vi), VI_SUCCESS) << LastError(vi).text;
    EXPECT_EQ(emu.lines(c.sent.size()), c.sent);
    // With status checking the same command is followed by "*ESR?".
    emu.transcript().clear();
    EXPECT_EQ(c.call(checked), VI_SUCCESS);
    EXPECT_EQ(emu.lines(c.sent.size() + 1).back(), "*ESR?");
    // In simulation nothing is sent.
    emu.transcript().clear();
    EXPECT_EQ(c.call(sim), VI_SUCCESS);
    EXPECT_TRUE(Sent().empty());
  }
}

TEST_F(InstrumentFunctions, UndefinedValuesAreRefusedBeforeAnythingIsSent) {
  const std::string refused = "Failure cannot recover.  Could not convert defined value '%d' to an instrument command.";
  struct Case {
    std::function<ViStatus(ViSession)> call;
    ViInt32 value;
  };
  const Case cases[] = {
      {[](ViSession v) { return ZEVRA_AbortList(v, 4); }, 4},
      {[](ViSession v) { return ZEVRA_StartListContinuous(v, 9, 2); }, 2},  // the boolean is converted first
      {[](ViSession v) { return ZEVRA_ConfigureDigitalFunction(v, 1, 9); }, 9},
      {[](ViSession v) { return ZEVRA_ConfigurePowerOnState(v, 7, 0); }, 7},
      {[](ViSession v) { return ZEVRA_SetBeeperEnabled(v, 2); }, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.call(vi), IVI_ERROR_CANNOT_RECOVER);
    std::string expected = refused;
    expected.replace(expected.find("%d"), 2, std::to_string(c.value));
    EXPECT_EQ(LastError(vi).text, expected);
    EXPECT_EQ(c.call(sim), VI_SUCCESS);
  }
  EXPECT_TRUE(Sent().empty());
  ViBoolean beeper = 0;
  EXPECT_EQ(ZEVRA_GetBeeperEnabled(sim, &beeper), VI_SUCCESS);
  EXPECT_EQ(beeper, 2) << "simulation stores the value unconverted";
}

TEST_F(InstrumentFunctions, UnsupportedTriggerFeatures) {
  for (auto call : std::vector<std::function<ViStatus(ViSession)>>{
           ZEVRA_Initiate, ZEVRA_Abort,
           [](ViSession v) { return ZEVRA_ConfigureTriggeredVoltageLevel(v, "not a channel", 1.0); },
           [](ViSession v) { return ZEVRA_ConfigureTriggeredCurrentLimit(v, "CH1", 1.0); }}) {
    EXPECT_EQ(call(vi), IVI_ERROR_FUNCTION_NOT_SUPPORTED);
    EXPECT_EQ(LastError(vi).code, 0) << "returned without a description";
    EXPECT_EQ(call(VI_NULL), IVI_ERROR_INVALID_SESSION_HANDLE);
  }
  EXPECT_TRUE(Sent().empty());
}

TEST_F(InstrumentFunctions, ConfigureFunctionsSelectEachChannel) {
  ASSERT_EQ(ZEVRA_ConfigureOutputEnabled(checked, "CH3", VI_TRUE), VI_SUCCESS);
  EXPECT_EQ(Sent(), (Lines{"INST:SEL 2", "*ESR?", "INST:SEL 2", "*ESR?", "OUTP:STAT 1", "*ESR?"}));
  emu.transcript().clear();
  ASSERT_EQ(ZEVRA_ConfigureCurrentLimit(vi, "CH2", 1, 0.5), VI_SUCCESS);
  EXPECT_EQ(emu.lines(3), (Lines{"INST:SEL 1", "INST:SEL 1", ":CURR:PROT 0.5"}));
  emu.transcript().clear();
  ASSERT_EQ(ZEVRA_ConfigureVoltageLevel(vi, "CH1", 3.3), VI_SUCCESS);
  EXPECT_EQ(emu.lines(3), (Lines{"INST:SEL 0", "INST:SEL 0", ":VOLT 3.3"}));
  emu.transcript().clear();
  ASSERT_EQ(ZEVRA_ConfigureOVP(vi, "CH4", VI_TRUE, 13), VI_SUCCESS);
  EXPECT_EQ(emu.lines(3), (Lines{"INST:SEL 3", "INST:SEL 3", ":VOLT:PROT 13"}));
  emu.transcript().clear();
  EXPECT_EQ(ZEVRA_ConfigureOVP(vi, "CH4", VI_FALSE, 13), IVI_ERROR_VALUE_NOT_SUPPORTED);
  EXPECT_EQ(emu.lines(1), (Lines{"INST:SEL 3"})) << "the limit is not written";
  emu.transcript().clear();
  EXPECT_EQ(ZEVRA_ConfigureVoltageLevel(vi, "CH1,CH9", 3.3), IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(InstrumentFunctions, ResetOutputProtectionClearsEachChannelNamed) {
  ASSERT_EQ(ZEVRA_ResetOutputProtection(checked, "CH1,CH3"), VI_SUCCESS);
  EXPECT_EQ(Sent(), (Lines{"INST:SEL 0", "*ESR?", "OUTP:PROT:CLE", "INST:SEL 2", "*ESR?", "OUTP:PROT:CLE", "*ESR?"}));
  emu.transcript().clear();
  EXPECT_EQ(ZEVRA_ResetOutputProtection(sim, "CH1,CH3"), VI_SUCCESS);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(InstrumentFunctions, PowerOnStateReplies) {
  struct Case {
    const char* reply;
    ViStatus status;
    ViInt32 state, location;
  };
  const Case cases[] = {
      {"USER, 4", VI_SUCCESS, ZEVRA_VAL_POWER_ON_STATE_USER_STATE, 4},
      {"LAST", VI_SUCCESS, ZEVRA_VAL_POWER_ON_STATE_LAST_STATE, 0},
      {" off ", VI_SUCCESS, ZEVRA_VAL_POWER_ON_STATE_DISABLED, 0},
      {"USER,4,5", IVI_ERROR_UNEXPECTED_RESPONSE, 0, 0},
      // The state is converted before the location is read.
      {"USER,abc", IVI_ERROR_UNEXPECTED_RESPONSE, ZEVRA_VAL_POWER_ON_STATE_USER_STATE, 0},
      {"USER,99999999999", IVI_ERROR_UNEXPECTED_RESPONSE, ZEVRA_VAL_POWER_ON_STATE_USER_STATE, 0},
      // An unknown token leaves the map converter's failure value.
      {"SOMETIMES", IVI_ERROR_UNEXPECTED_RESPONSE, -1, 0},
      {"SOMETIMES,4", IVI_ERROR_UNEXPECTED_RESPONSE, -1, 0},
  };
  for (const Case& c : cases) {
    emu.instrument().on("OUTP:PON:STAT?", c.reply);
    ViInt32 state = 9, location = 9;
    EXPECT_EQ(ZEVRA_QueryPowerOnState(vi, &state, &location), c.status) << c.reply;
    EXPECT_EQ(state, c.state) << c.reply;
    EXPECT_EQ(location, c.location) << c.reply;
  }
  // The session is usable (unlocked) after every failure.
  ViInt32 state = 0, location = 0;
  EXPECT_EQ(ZEVRA_QueryPowerOnState(sim, &state, &location), VI_SUCCESS);
  EXPECT_EQ(state, 2);
  EXPECT_EQ(location, 2);
  EXPECT_EQ(ZEVRA_QueryPowerOnState(vi, &state, nullptr), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(vi).text, "Null pointer passed for function 'ZEVRA_QueryPowerOnState', parameter 'MemoryLocation'.");
}

TEST_F(InstrumentFunctions, ModuleRatings) {
  struct Case {
    const char* module;
    bool current;  // QueryMaxCurrentLimit, else QueryMaxVoltageLevel
    ViReal64 input, expected;
  };
  const Case cases[] = {
      {"QDX7301", true, 10, 20},          {"QDX7301", true, 20, 15},  {"qdx7301 extra", true, 0, 20},
      {"QDX7301", true, -10, -30},        {"QDX7104", false, 2, 50},  {"QDX7104", false, 0.5, 100},
      {"qdx7102-SN1", false, 5, 20},
  };
  for (const Case& c : cases) {
    emu.instrument().on("SYST:CHAN:MOD?", c.module);
    ViReal64 result = 0;
    ViStatus st = c.current ? ZEVRA_QueryMaxCurrentLimit(vi, "CH2", c.input, &result)
                            : ZEVRA_QueryMaxVoltageLevel(vi, "CH2", c.input, &result);
    EXPECT_EQ(st, VI_SUCCESS) << c.module;
    EXPECT_DOUBLE_EQ(result, c.expected) << c.module << " " << c.input;
  }
  Lines sent = Sent();
  EXPECT_EQ(Lines(sent.begin(), sent.begin() + 2), (Lines{"INST:SEL 1", "SYST:CHAN:MOD?"}));
  emu.instrument().on("SYST:CHAN:MOD?", "QDX9999");
  ViReal64 result = 0;
  EXPECT_EQ(ZEVRA_QueryMaxCurrentLimit(vi, "CH1", 5, &result), IVI_ERROR_UNEXPECTED_RESPONSE);
  EXPECT_EQ(LastError(vi).text, "Unexpected response from instrument.  Unexpected module.");
  EXPECT_EQ(ZEVRA_QueryMaxVoltageLevel(sim, "CH1", 5, &result), IVI_ERROR_UNEXPECTED_RESPONSE);
  EXPECT_EQ(ZEVRA_QueryMaxVoltageLevel(sim, "CH1", 5, nullptr), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(sim).text, "Null pointer passed for function 'ZEVRA_QueryMaxVoltageLevel', parameter 'MaxVoltageLevel'.");
}

TEST_F(InstrumentFunctions, OutputRangeChecks) {
  Reply("SYST:CHAN:MOD?", "QDX7102");
  Reply(":CURR?", "5");
  Reply(":VOLT?", "10");
  EXPECT_EQ(ZEVRA_ConfigureOutputRange(vi, "CH1", 1, 20), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_ConfigureOutputRange(vi, "CH1", 1, 20.5), IVI_ERROR_INVALID_VALUE);
  EXPECT_EQ(LastError(vi).text, "Invalid value '20.500000' for function 'ConfigureOutputRange', parameter 'Range'.");
  EXPECT_EQ(ZEVRA_ConfigureOutputRange(vi, "CH1,CH2", 0, 9.4), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_ConfigureOutputRange(vi, "CH1", 0, 10), IVI_ERROR_INVALID_VALUE);
  EXPECT_EQ(ZEVRA_ConfigureOutputRange(vi, "CH1", 2, 1), IVI_ERROR_INVALID_VALUE);
  EXPECT_EQ(LastError(vi).text, "Invalid value '2' for function 'ConfigureOutputRange', parameter 'RangeType'.");
  EXPECT_EQ(ZEVRA_ConfigureOutputRange(sim, "CH1", 1, 1), IVI_ERROR_UNEXPECTED_RESPONSE);
}

TEST_F(InstrumentFunctions, OutputStateReadsTheChannelsOwnSummaryRegister) {
  struct Case {
    const char* channel;
    const char* register_query;
    const char* bits;
    ViInt32 state;
    ViBoolean expected;
  };
  const Case cases[] = {
      {"CH1", "STAT:QUES:ISUM1:COND?", "0", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, VI_TRUE},
      {"CH3", "STAT:QUES:ISUM3:COND?", "6", ZEVRA_VAL_OUTPUT_UNREGULATED, VI_TRUE},
      {"CH3", "STAT:QUES:ISUM3:COND?", "6", ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT, VI_FALSE},
      {"CH3", "STAT:QUES:ISUM3:COND?", "6", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, VI_FALSE},
      {"CH4", "STAT:QUES:ISUM4:COND?", "1", ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT, VI_TRUE},
      {"CH2", "STAT:QUES:ISUM2:COND?", "2", ZEVRA_VAL_OUTPUT_OVER_VOLTAGE, VI_TRUE},
      {"CH2", "STAT:QUES:ISUM2:COND?", "8", ZEVRA_VAL_OUTPUT_OVER_CURRENT, VI_TRUE},
      // An overcurrent trip is not regulation at constant voltage.
      {"CH2", "STAT:QUES:ISUM2:COND?", "8", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, VI_FALSE},
      {"CH2", "STAT:QUES:ISUM2:COND?", "16", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, VI_TRUE},
      {"CH2", "STAT:QUES:ISUM2:COND?", "1", ZEVRA_VAL_OUTPUT_OVER_CURRENT, VI_FALSE},
  };
  for (const Case& c : cases) {
    emu.transcript().clear();
    emu.instrument().on(c.register_query, c.bits);
    ViBoolean in_state = 7;
    ASSERT_EQ(ZEVRA_QueryOutputState(vi, c.channel, c.state, &in_state), VI_SUCCESS);
    EXPECT_EQ(in_state, c.expected) << c.channel << " " << c.bits << " " << c.state;
    EXPECT_EQ(Sent()[1], c.register_query);
  }
  ViBoolean in_state = 0;
  EXPECT_EQ(ZEVRA_QueryOutputState(vi, "CH1", 5, &in_state), IVI_ERROR_VALUE_NOT_SUPPORTED);
  EXPECT_EQ(LastError(vi).text,
            "Does not support this class-compliant feature:  Enumeration value '5' passed as the value for parameter "
            "'OutputState' in function 'QueryOutputState'.");
  for (ViInt32 state : {0, 1, 4, 99}) {
    EXPECT_EQ(ZEVRA_QueryOutputState(sim, "CH1", state, &in_state), VI_SUCCESS);
    EXPECT_EQ(in_state, state == 0 ? VI_TRUE : VI_FALSE);
  }
}

TEST_F(InstrumentFunctions, Measurements) {
  Reply("MEAS:VOLT?", "5.0012");
  Reply("MEAS:ALL?", "5,0.5,2.5");
  ViReal64 value = 0;
  ASSERT_EQ(ZEVRA_Measure(vi, "CH3", ZEVRA_VAL_MEASURE_VOLTAGE, &value), VI_SUCCESS);
  EXPECT_EQ(value, 5.0012);
  EXPECT_EQ(Sent(), (Lines{"INST:SEL 2", "MEAS:VOLT?"}));
  emu.transcript().clear();
  EXPECT_EQ(ZEVRA_Measure(vi, "CH1", 2, &value), IVI_ERROR_VALUE_NOT_SUPPORTED);
  EXPECT_EQ(LastError(vi).text,
            "Does not support this class-compliant feature:  Enumeration value '2' passed as the value for parameter "
            "'MeasurementType' in function 'Measure'.");
  EXPECT_EQ(emu.lines(1), (Lines{"INST:SEL 0"}));
  ViReal64 v = 0, i = 0, p = 0;
  ASSERT_EQ(ZEVRA_MeasureSelectedChannel(vi, &v, &i, &p), VI_SUCCESS);
  EXPECT_EQ(v, 5);
  EXPECT_EQ(i, 0.5);
  EXPECT_EQ(p, 2.5);
  EXPECT_EQ(ZEVRA_MeasureSelectedChannel(vi, &v, nullptr, &p), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(vi).text, "Null pointer passed for function 'ZEVRA_MeasureSelectedChannel', parameter 'Current'.");
  EXPECT_EQ(ZEVRA_MeasurePower(vi, nullptr), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(vi).text, "Null pointer passed for function 'ZEVRA_MeasurePower', parameter 'Val'.");

  value = 42;
  EXPECT_EQ(ZEVRA_MeasureVoltage(sim, &value), VI_SUCCESS);
  EXPECT_EQ(value, 42) << "simulation leaves the value alone";
  ASSERT_EQ(ZEVRA_MeasureSelectedChannel(sim, &v, &i, &p), VI_SUCCESS);
  EXPECT_EQ(v + i + p, 0.0);
}

struct AllChannelsCase {
  const char* reply;
  ViInt32 sizes[3];
  ViStatus status;
  std::vector<ViReal64> out[3];
  const char* description;
};

TEST_F(InstrumentFunctions, AllChannelsReplies) {
  const AllChannelsCase cases[] = {
      {"5.0,1.2,6.0,12.0,0.5,6.0", {4, 4, 4}, VI_SUCCESS, {{5.0, 12.0}, {1.2, 0.5}, {6.0, 6.0}}, ""},
      {"5.0,1.2,6.0,12.0,0.5,6.0", {1, 4, 4}, VI_SUCCESS, {{5.0}, {1.2, 0.5}, {6.0, 6.0}}, ""},
      {"5.0,1.2,6.0,12.0,0.5,6.0", {-3, 4, 0}, VI_SUCCESS, {{}, {1.2, 0.5}, {}}, ""},
      {" 1 , 2 , 3 \r", {4, 4, 4}, VI_SUCCESS, {{1}, {2}, {3}}, ""},
      {"1,2,3V", {4, 4, 4}, VI_SUCCESS, {{1}, {2}, {3}}, ""},
      {"1,2,3,", {4, 4, 4}, VI_SUCCESS, {{1}, {2}, {3}}, ""},
      {"", {4, 4, 4}, VI_SUCCESS, {{}, {}, {}}, ""},
      {"1,2,3,4", {4, 4, 4}, IVI_ERROR_UNEXPECTED_RESPONSE, {},
       "Unexpected response from instrument.  Expected measured values in groups of 3."},
      {"1,abc,3", {4, 4, 4}, IVI_ERROR_UNEXPECTED_RESPONSE, {},
       "Unexpected response from instrument.  Expected numeric current value."},
      {"x,2,3", {4, 4, 4}, IVI_ERROR_UNEXPECTED_RESPONSE, {},
       "Unexpected response from instrument.  Expected numeric voltage value."},
      {"1,2,W", {4, 4, 4}, IVI_ERROR_UNEXPECTED_RESPONSE, {},
       "Unexpected response from instrument.  Expected numeric power value."},
      // Words a number parser may take are no measured values.
      {"nan,2,3", {4, 4, 4}, IVI_ERROR_UNEXPECTED_RESPONSE, {},
       "Unexpected response from instrument.  Expected numeric voltage value."},
      {"1,inf,3", {4, 4, 4}, IVI_ERROR_UNEXPECTED_RESPONSE, {},
       "Unexpected response from instrument.  Expected numeric current value."},
      {"1,2,3,4,5,-Infinity", {4, 4, 4}, IVI_ERROR_UNEXPECTED_RESPONSE, {},
       "Unexpected response from instrument.  Expected numeric power value."},
  };
  for (const AllChannelsCase& c : cases) {
    SCOPED_TRACE(c.reply);
    emu.instrument().on("MEAS:ALLCH?", c.reply);
    ViReal64 arrays[3][6];
    ViInt32 actual[3] = {-7, -7, -7};
    for (auto& a : arrays) std::fill(std::begin(a), std::end(a), -1.0);
    ASSERT_EQ(ZEVRA_MeasureAllChannels(vi, c.sizes[0], arrays[0], &actual[0], c.sizes[1], arrays[1], &actual[1],
                                       c.sizes[2], arrays[2], &actual[2]),
              c.status);
    for (int k = 0; k < 3; ++k) {
      if (c.status < 0) {
        EXPECT_EQ(actual[k], -7) << "outputs untouched on error";
        EXPECT_EQ(arrays[k][0], -1.0);
        continue;
      }
      ASSERT_EQ(actual[k], static_cast<ViInt32>(c.out[k].size())) << k;
      for (std::size_t n = 0; n < 6; ++n)
        EXPECT_EQ(arrays[k][n], n < c.out[k].size() ? c.out[k][n] : -1.0) << k << "[" << n << "]";
    }
    if (c.status < 0) {
      EXPECT_EQ(LastError(vi).text, c.description);
    }
  }
  ViReal64 a[2] = {-1, -1}, b[2] = {-1, -1}, p[2] = {-1, -1};
  ViInt32 na = -7, nb = -7, np = -7;
  ASSERT_EQ(ZEVRA_MeasureAllChannels(sim, 4, a, &na, 0, b, &nb, 2, p, &np), VI_SUCCESS);
  EXPECT_EQ(na, 1);
  EXPECT_EQ(a[0], 0.0);
  EXPECT_EQ(nb, -7);
  EXPECT_EQ(b[0], -1.0);
  EXPECT_EQ(np, 1);
  EXPECT_EQ(ZEVRA_MeasureAllChannels(vi, 4, a, &na, 4, b, nullptr, 4, p, &np), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(vi).text,
            "Null pointer passed for function 'ZEVRA_MeasureAllChannels', parameter 'CurrentsActualSize'.");
}

}  // namespace
