// SPDX-License-Identifier: MIT
// The driver against the emulated QDX over loopback, with status checking on:
// the two agree on the whole command set, and the outputs behave.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "attribute_registry.h"
#include "support/driver_helpers.h"
#include "support/qdx_emulator.h"
#include "support/temp_store.h"

namespace {

using namespace testsupport;

class DriverOnEmulator : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emu.started()) << emu.error();
    ASSERT_EQ(vi.open(emu.resource(), "QueryInstrStatus=1", VI_TRUE, VI_TRUE), VI_SUCCESS) << LastError(VI_NULL).text;
  }
  void ExpectNoInstrumentError() {
    ViInt32 code = -1;
    char message[256];
    ASSERT_EQ(ZEVRA_error_query(vi, &code, message), VI_SUCCESS);
    EXPECT_EQ(code, 0) << message;
  }

  QdxEmulator emu;
  TempStore store{ZevraModule()};
  DriverHandle vi;
};

TEST_F(DriverOnEmulator, ConstantVoltageThenConstantCurrent) {
  emu.Send("EMUL:LOAD 1,10");  // CH1 holds a QDX7102
  ASSERT_EQ(ZEVRA_ConfigureVoltageLevel(vi, "CH1", 5.0), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_ConfigureCurrentLimit(vi, "CH1", 0, 1.0), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_ConfigureOutputEnabled(vi, "CH1", VI_TRUE), VI_SUCCESS);
  ViReal64 volts = 0, amps = 0, watts = 0;
  ASSERT_EQ(ZEVRA_Measure(vi, "CH1", ZEVRA_VAL_MEASURE_VOLTAGE, &volts), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_Measure(vi, "CH1", ZEVRA_VAL_MEASURE_CURRENT, &amps), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_MeasurePower(vi, &watts), VI_SUCCESS);
  EXPECT_DOUBLE_EQ(volts, 5.0);
  EXPECT_DOUBLE_EQ(amps, 0.5);
  EXPECT_DOUBLE_EQ(watts, 2.5);
  ViBoolean cv = VI_FALSE, cc = VI_TRUE;
  ASSERT_EQ(ZEVRA_QueryOutputState(vi, "CH1", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, &cv), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_QueryOutputState(vi, "CH1", ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT, &cc), VI_SUCCESS);
  EXPECT_EQ(cv, VI_TRUE);
  EXPECT_EQ(cc, VI_FALSE);

  emu.Send("EMUL:LOAD 1,2");
  ASSERT_EQ(ZEVRA_Measure(vi, "CH1", ZEVRA_VAL_MEASURE_VOLTAGE, &volts), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_MeasureCurrent(vi, &amps), VI_SUCCESS);
  EXPECT_DOUBLE_EQ(volts, 2.0);
  EXPECT_DOUBLE_EQ(amps, 1.0);
  ASSERT_EQ(ZEVRA_QueryOutputState(vi, "CH1", ZEVRA_VAL_OUTPUT_CONSTANT_CURRENT, &cc), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_QueryOutputState(vi, "CH1", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, &cv), VI_SUCCESS);
  EXPECT_EQ(cc, VI_TRUE);
  EXPECT_EQ(cv, VI_FALSE);

  ViReal64 v[4], i[4], p[4];
  ViInt32 nv = 0, ni = 0, np = 0;
  ASSERT_EQ(ZEVRA_MeasureAllChannels(vi, 4, v, &nv, 4, i, &ni, 4, p, &np), VI_SUCCESS);
  EXPECT_EQ(nv, 4);
  EXPECT_DOUBLE_EQ(v[0], 2.0);
  EXPECT_DOUBLE_EQ(p[0], 2.0);
  ExpectNoInstrumentError();
}

TEST_F(DriverOnEmulator, InstrumentErrorsAreCaughtByTheStatusCheck) {
  EXPECT_EQ(ZEVRA_ConfigureVoltageLevel(vi, "CH1", 99.0), IVI_ERROR_INSTRUMENT_STATUS);
  ViInt32 code = 0;
  char message[256];
  ASSERT_EQ(ZEVRA_error_query(vi, &code, message), VI_SUCCESS);
  EXPECT_EQ(code, -222);
  EXPECT_STREQ(message, "Data out of range");
}

TEST_F(DriverOnEmulator, EveryAttributeReadsAndWritesBack) {
  for (const auto& [id, attribute] : zevra::AttributeRegistry()) {
    const vexo::AttributeDescriptor& a = attribute.descriptor;
    SCOPED_TRACE(a.name);
    const char* selector = a.channel_based ? "CH1" : "";
    bool unsupported = id == ZEVRA_ATTR_TRIGGERED_CURRENT_LIMIT || id == ZEVRA_ATTR_TRIGGERED_VOLTAGE_LEVEL;
    ViStatus expected = unsupported ? IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED : VI_SUCCESS;
    ViInt32 i = 0;
    ViReal64 r = 0;
    ViBoolean b = VI_FALSE;
    ViSession s = 0;
    char text[256] = "";
    bool readable = a.read != nullptr, writable = a.write != nullptr;
    switch (a.type) {
      case vexo::ValueType::Int32:
        if (readable) {
          EXPECT_EQ(ZEVRA_GetAttributeViInt32(vi, selector, id, &i), expected);
        }
        if (writable) {
          EXPECT_EQ(ZEVRA_SetAttributeViInt32(vi, selector, id, i), expected);
        }
        break;
      case vexo::ValueType::Real64:
        if (readable) {
          EXPECT_EQ(ZEVRA_GetAttributeViReal64(vi, selector, id, &r), expected);
        }
        if (writable) {
          EXPECT_EQ(ZEVRA_SetAttributeViReal64(vi, selector, id, r), expected);
        }
        break;
      case vexo::ValueType::Boolean:
        if (readable) {
          EXPECT_EQ(ZEVRA_GetAttributeViBoolean(vi, selector, id, &b), expected);
        }
        if (id == ZEVRA_ATTR_OVP_ENABLED) b = VI_TRUE;
        if (writable) {
          EXPECT_EQ(ZEVRA_SetAttributeViBoolean(vi, selector, id, b), expected);
        }
        break;
      case vexo::ValueType::String:
        if (readable) {
          EXPECT_GE(ZEVRA_GetAttributeViString(vi, selector, id, sizeof text, text), VI_SUCCESS);
        }
        if (writable) {
          EXPECT_EQ(ZEVRA_SetAttributeViString(vi, selector, id, text), expected);
        }
        break;
      case vexo::ValueType::Session:
        EXPECT_EQ(ZEVRA_GetAttributeViSession(vi, selector, id, &s), expected);
        break;
    }
  }
  ExpectNoInstrumentError();
}

TEST_F(DriverOnEmulator, EveryFunctionOnce) {
  ViInt32 state = 0, location = 0, code = 0;
  ViReal64 value = 0, v[4], i[4], p[4];
  ViInt32 nv, ni, np;
  ViBoolean in_state = 0;
  ViInt16 result = 0;
  char text[256], rev[256];
  const std::pair<const char*, ViStatus> calls[] = {
      {"Beep", ZEVRA_Beep(vi)},
      {"RemoteLock", ZEVRA_RemoteLock(vi)},
      {"SaveState", ZEVRA_SaveState(vi, 1)},
      {"RecallState", ZEVRA_RecallState(vi, 1)},
      {"ConfigurePowerOnState", ZEVRA_ConfigurePowerOnState(vi, ZEVRA_VAL_POWER_ON_STATE_USER_STATE, 1)},
      {"QueryPowerOnState", ZEVRA_QueryPowerOnState(vi, &state, &location)},
      {"ClearStatus", ZEVRA_ClearStatus(vi)},
      {"Preset", ZEVRA_Preset(vi)},
      {"SetOperationComplete", ZEVRA_SetOperationComplete(vi)},
      {"WaitForOperationComplete", ZEVRA_WaitForOperationComplete(vi)},
      {"WaitToContinue", ZEVRA_WaitToContinue(vi)},
      {"ConfigureVoltageLevel", ZEVRA_ConfigureVoltageLevel(vi, "CH1,CH3", 5)},
      {"ConfigureCurrentLimit", ZEVRA_ConfigureCurrentLimit(vi, "CH1", 1, 2)},
      {"ConfigureOVP", ZEVRA_ConfigureOVP(vi, "CH1", VI_TRUE, 20)},
      {"QueryMaxCurrentLimit", ZEVRA_QueryMaxCurrentLimit(vi, "CH1", 10, &value)},
      {"QueryMaxVoltageLevel", ZEVRA_QueryMaxVoltageLevel(vi, "CH1", 2, &value)},
      {"ResetOutputProtection", ZEVRA_ResetOutputProtection(vi, "CH1,CH2")},
      {"ClearOCP", ZEVRA_ClearOCP(vi)},
      {"ClearOVP", ZEVRA_ClearOVP(vi)},
      {"ClearProtectionErrors", ZEVRA_ClearProtectionErrors(vi)},
      {"ConfigureOutputEnabled", ZEVRA_ConfigureOutputEnabled(vi, "CH1", VI_TRUE)},
      {"ConfigureOutputRange", ZEVRA_ConfigureOutputRange(vi, "CH1", 1, 10)},
      {"QueryOutputState", ZEVRA_QueryOutputState(vi, "CH1", ZEVRA_VAL_OUTPUT_CONSTANT_VOLTAGE, &in_state)},
      {"ConfigureTriggerSource", ZEVRA_ConfigureTriggerSource(vi, "CH1", ZEVRA_VAL_SOFTWARE_TRIG)},
      {"SendSoftwareTrigger", ZEVRA_SendSoftwareTrigger(vi)},
      {"GenerateImmediateTrigger", ZEVRA_GenerateImmediateTrigger(vi)},
      {"Measure", ZEVRA_Measure(vi, "CH1", ZEVRA_VAL_MEASURE_VOLTAGE, &value)},
      {"MeasureVoltage", ZEVRA_MeasureVoltage(vi, &value)},
      {"MeasureCurrent", ZEVRA_MeasureCurrent(vi, &value)},
      {"MeasurePower", ZEVRA_MeasurePower(vi, &value)},
      {"MeasureSelectedChannel", ZEVRA_MeasureSelectedChannel(vi, &v[0], &i[0], &p[0])},
      {"MeasureAllChannels", ZEVRA_MeasureAllChannels(vi, 4, v, &nv, 4, i, &ni, 4, p, &np)},
      {"SelectedList", ZEVRA_SetSelectedList(vi, 1)},
      {"SelectedStep", ZEVRA_SetSelectedStep(vi, 0)},
      {"StepVoltage", ZEVRA_SetStepVoltage(vi, 3)},
      {"StepCurrent", ZEVRA_SetStepCurrent(vi, 1)},
      {"ListDwell", ZEVRA_SetListDwell(vi, 100)},
      {"EnableList", ZEVRA_EnableList(vi, 1)},
      {"StartList", ZEVRA_StartList(vi, ZEVRA_VAL_CHANNEL1)},
      {"AbortList", ZEVRA_AbortList(vi, ZEVRA_VAL_CHANNEL1)},
      {"StartListContinuous", ZEVRA_StartListContinuous(vi, ZEVRA_VAL_CHANNEL1, VI_TRUE)},
      {"StopListContinuous", ZEVRA_StartListContinuous(vi, ZEVRA_VAL_CHANNEL1, VI_FALSE)},
      {"AbortList", ZEVRA_AbortList(vi, ZEVRA_VAL_CHANNEL1)},
      {"DisableList", ZEVRA_DisableList(vi)},
      {"SaveListData", ZEVRA_SaveListData(vi)},
      {"DeleteSelectedList", ZEVRA_DeleteSelectedList(vi, 1)},
      {"ClearList", ZEVRA_ClearList(vi)},
      {"ConfigureDigitalFunction", ZEVRA_ConfigureDigitalFunction(vi, 1, ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_INPUT)},
      {"ConfigureDigitalPolarity", ZEVRA_ConfigureDigitalPolarity(vi, 1, ZEVRA_VAL_DIGITAL_PIN_POLARITY_NEGATIVE)},
      {"self_test", ZEVRA_self_test(vi, &result, text)},
      {"revision_query", ZEVRA_revision_query(vi, rev, text)},
      {"GetChannelName", ZEVRA_GetChannelName(vi, 2, sizeof text, text)},
      {"GetNextCoercionRecord", ZEVRA_GetNextCoercionRecord(vi, sizeof text, text)},
      {"InvalidateAllAttributes", ZEVRA_InvalidateAllAttributes(vi)},
      {"Disable", ZEVRA_Disable(vi)},
      {"ResetWithDefaults", ZEVRA_ResetWithDefaults(vi)},
      {"reset", ZEVRA_reset(vi)},
      {"ClearAndReboot", ZEVRA_ClearAndReboot(vi)},
      {"error_query", ZEVRA_error_query(vi, &code, text)},
  };
  for (const auto& [name, status] : calls) EXPECT_EQ(status, VI_SUCCESS) << name;
  EXPECT_EQ(code, 0) << text;
  EXPECT_EQ(state, ZEVRA_VAL_POWER_ON_STATE_USER_STATE);
  EXPECT_EQ(location, 1);
}

TEST_F(DriverOnEmulator, AListRunsWithSoftwareTriggers) {
  const ViReal64 volts[] = {1.0, 2.0, 3.0};
  ASSERT_EQ(ZEVRA_SetSelectedChannel(vi, ZEVRA_VAL_CHANNEL1), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_SetSelectedList(vi, 2), VI_SUCCESS);
  for (ViInt32 step = 0; step < 3; ++step) {
    ASSERT_EQ(ZEVRA_SetSelectedStep(vi, step), VI_SUCCESS);
    ASSERT_EQ(ZEVRA_SetStepVoltage(vi, volts[step]), VI_SUCCESS);
    ASSERT_EQ(ZEVRA_SetStepCurrent(vi, 1.0), VI_SUCCESS);
  }
  ASSERT_EQ(ZEVRA_SetListPace(vi, ZEVRA_VAL_LIST_PACE_TRIGGER), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_ConfigureTriggerSource(vi, "CH1", ZEVRA_VAL_SOFTWARE_TRIG), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_ConfigureOutputEnabled(vi, "CH1", VI_TRUE), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_EnableList(vi, 2), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_StartList(vi, ZEVRA_VAL_CHANNEL1), VI_SUCCESS);
  ViBoolean running = VI_FALSE;
  ASSERT_EQ(ZEVRA_GetListIsRunning(vi, &running), VI_SUCCESS);
  EXPECT_EQ(running, VI_TRUE);
  for (ViReal64 expected : volts) {
    ASSERT_EQ(ZEVRA_SendSoftwareTrigger(vi), VI_SUCCESS);
    ViReal64 measured = 0;
    ASSERT_EQ(ZEVRA_Measure(vi, "CH1", ZEVRA_VAL_MEASURE_VOLTAGE, &measured), VI_SUCCESS);
    EXPECT_DOUBLE_EQ(measured, expected);
  }
  ASSERT_EQ(ZEVRA_SendSoftwareTrigger(vi), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_GetListIsRunning(vi, &running), VI_SUCCESS);
  EXPECT_EQ(running, VI_FALSE);
  ExpectNoInstrumentError();
}

}  // namespace
