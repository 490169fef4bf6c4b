// SPDX-License-Identifier: MIT
// The attribute engine through the exported API: dispatch and its errors,
// string buffer rules, simulation and the cache, inherent attributes, the
// registry's naming rule, channel names, coercion and interchange.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "attribute_registry.h"
#include "support/driver_helpers.h"
#include "support/temp_store.h"

namespace {

using namespace testsupport;

class AttributeEngine : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sim.open("sim", "Simulate=1"), VI_SUCCESS); }
  TempStore store{ZevraModule()};
  DriverHandle sim;
};

TEST_F(AttributeEngine, DispatchErrors) {
  struct Case {
    std::function<ViStatus()> call;
    ViStatus status;
    const char* description;
  };
  ViInt32 i = 0;
  ViBoolean b = 0;
  const Case cases[] = {
      {[&] { return ZEVRA_GetAttributeViInt32(sim, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, &i); }, IVI_ERROR_TYPES_DO_NOT_MATCH,
       "GetAttributeViInt32 called for attribute 'ZEVRA_ATTR_VOLTAGE_LEVEL' of type 'ViReal64'."},
      {[&] { return ZEVRA_SetAttributeViBoolean(sim, "", ZEVRA_ATTR_OCP_TRIPPED, VI_TRUE); }, IVI_ERROR_IVI_ATTR_NOT_WRITABLE,
       "Attribute 'ZEVRA_ATTR_OCP_TRIPPED' is read-only."},
      {[&] { return ZEVRA_GetAttributeViBoolean(sim, "", ZEVRA_ATTR_ALL_OUTPUTS_ENABLED, &b); },
       IVI_ERROR_IVI_ATTR_NOT_READABLE, "Attribute 'ZEVRA_ATTR_ALL_OUTPUTS_ENABLED' is write-only."},
      {[&] { return ZEVRA_GetAttributeViInt32(sim, "", 0, &i); }, IVI_ERROR_INVALID_ATTRIBUTE,
       "Attribute ID '0' not recognized."},
      {[&] { return ZEVRA_SetAttributeViInt32(sim, "", 1150999, 1); }, IVI_ERROR_INVALID_ATTRIBUTE,
       "Attribute ID '1150999' not recognized."},
      // The type is checked before the access.
      {[&] { return ZEVRA_SetAttributeViInt32(sim, "", ZEVRA_ATTR_OVP_TRIPPED, 1); }, IVI_ERROR_TYPES_DO_NOT_MATCH,
       "SetAttributeViInt32 called for attribute 'ZEVRA_ATTR_OVP_TRIPPED' of type 'ViBoolean'."},
      {[&] { return ZEVRA_GetOcpEnabled(sim, nullptr); }, IVI_ERROR_NULL_POINTER,
       "Null pointer passed for function 'ZEVRA_GetAttributeViBoolean', parameter 'AttributeValue'."},
      {[&] { return ZEVRA_SetSystemDate(sim, nullptr); }, IVI_ERROR_NULL_POINTER,
       "Null pointer passed for function 'SetAttributeViString', parameter 'AttributeValue'."},
      {[&] { return ZEVRA_GetAttributeViString(sim, "", ZEVRA_ATTR_SYSTEM_DATE, 10, nullptr); }, IVI_ERROR_NULL_POINTER,
       "Null pointer passed for function 'GetAttributeViString', parameter 'AttributeValueBufferSize'."},
      {[&] { return ZEVRA_GetAttributeViReal64(sim, "CH1", ZEVRA_ATTR_TRIGGERED_CURRENT_LIMIT, nullptr); },
       IVI_ERROR_NULL_POINTER, "Null pointer passed for function 'ZEVRA_GetAttributeViReal64', parameter 'AttributeValue'."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    EXPECT_EQ(c.call(), c.status);
    EXPECT_EQ(LastError(sim).text, c.description);
  }
}

TEST_F(AttributeEngine, StringBufferRules) {
  ASSERT_EQ(ZEVRA_SetSystemDate(sim, "2026,12,06"), VI_SUCCESS);  // ten characters
  char buffer[16];
  auto get = [&](ViInt32 size, char* out) { return ZEVRA_GetAttributeViString(sim, "", ZEVRA_ATTR_SYSTEM_DATE, size, out); };
  EXPECT_EQ(get(0, nullptr), 4096);
  std::strcpy(buffer, "untouched");
  EXPECT_EQ(get(0, buffer), 4096);
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(get(5, buffer), 4096);
  EXPECT_STREQ(buffer, "2026");
  // A small buffer cuts what the caller gets, not the value the session keeps.
  EXPECT_EQ(get(-1, buffer), VI_SUCCESS);
  EXPECT_STREQ(buffer, "2026,12,06");
  ASSERT_EQ(ZEVRA_SetSystemDate(sim, "abc"), VI_SUCCESS);
  EXPECT_EQ(get(5, buffer), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_SetSystemDate(sim, "abcd"), VI_SUCCESS);
  EXPECT_EQ(get(5, buffer), 4096) << "a value that exactly fills the buffer may have been cut";
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(ZEVRA_GetSystemDate(sim, sizeof buffer, buffer), VI_SUCCESS);
}

TEST_F(AttributeEngine, SimulatedReadsGiveTheCacheOrTheDefaults) {
  ViReal64 r = -1;
  ViBoolean b = 0;
  ViInt32 i = -1;
  char text[32];
  EXPECT_EQ(ZEVRA_GetCurrentLevel(sim, &r), VI_SUCCESS);
  EXPECT_EQ(r, 0.0);
  EXPECT_EQ(ZEVRA_SetCurrentLevel(sim, 1.5), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetCurrentLevel(sim, &r), VI_SUCCESS);
  EXPECT_EQ(r, 1.5);
  EXPECT_EQ(ZEVRA_GetOcpEnabled(sim, &b), VI_SUCCESS);
  EXPECT_EQ(b, VI_TRUE);
  EXPECT_EQ(ZEVRA_SetOcpEnabled(sim, VI_FALSE), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetOcpEnabled(sim, &b), VI_SUCCESS);
  EXPECT_EQ(b, VI_FALSE);
  // Read-only instrument values are fixed in simulation.
  EXPECT_EQ(ZEVRA_GetOcpTripped(sim, &b), VI_SUCCESS);
  EXPECT_EQ(b, VI_TRUE);
  EXPECT_EQ(ZEVRA_GetQuestionableInstrumentEventRegister(sim, &i), VI_SUCCESS);
  EXPECT_EQ(i, 2);
  EXPECT_EQ(ZEVRA_GetSystemTime(sim, sizeof text, text), VI_SUCCESS);
  EXPECT_STREQ(text, "0");
  EXPECT_EQ(ZEVRA_GetOutputTimerDwell(sim, sizeof text, text), VI_SUCCESS);
  EXPECT_STREQ(text, "0");
  EXPECT_EQ(ZEVRA_GetModuleIdentity(sim, sizeof text, text), VI_SUCCESS);
  EXPECT_STREQ(text, "");
  // A value that is no defined value is stored unconverted.
  EXPECT_EQ(ZEVRA_SetOutputMode(sim, 5), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetOutputMode(sim, &i), VI_SUCCESS);
  EXPECT_EQ(i, 5);

  // Channels are cached independently.
  EXPECT_EQ(ZEVRA_SetAttributeViReal64(sim, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, 5.0), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetAttributeViReal64(sim, "CH2", ZEVRA_ATTR_VOLTAGE_LEVEL, &r), VI_SUCCESS);
  EXPECT_EQ(r, 0.0);
  EXPECT_EQ(ZEVRA_SetAttributeViReal64(sim, "CH2-CH3", ZEVRA_ATTR_VOLTAGE_LEVEL, 7.0), VI_SUCCESS);
  for (const char* ch : {"CH1", "CH2", "CH3"}) {
    EXPECT_EQ(ZEVRA_GetAttributeViReal64(sim, ch, ZEVRA_ATTR_VOLTAGE_LEVEL, &r), VI_SUCCESS);
    EXPECT_EQ(r, std::string(ch) == "CH1" ? 5.0 : 7.0) << ch;
  }

  // Invalidation and reset empty the cache.
  ASSERT_EQ(ZEVRA_InvalidateAllAttributes(sim), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetCurrentLevel(sim, &r), VI_SUCCESS);
  EXPECT_EQ(r, 0.0);
  EXPECT_EQ(ZEVRA_SetCurrentLevel(sim, 2.0), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_reset(sim), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetCurrentLevel(sim, &r), VI_SUCCESS);
  EXPECT_EQ(r, 0.0);
  EXPECT_EQ(ZEVRA_GetAttributeViReal64(sim, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, &r), VI_SUCCESS);
  EXPECT_EQ(r, 0.0);
}

TEST_F(AttributeEngine, InherentAttributes) {
  ViBoolean b = 0;
  EXPECT_EQ(ZEVRA_SetAttributeViBoolean(sim, "", ZEVRA_ATTR_SIMULATE, VI_FALSE), IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE);
  EXPECT_EQ(LastError(sim).text, "The simulation state cannot be changed.");
  EXPECT_EQ(ZEVRA_GetAttributeViBoolean(sim, "", ZEVRA_ATTR_SIMULATE, &b), VI_SUCCESS);
  EXPECT_EQ(b, VI_TRUE);

  EXPECT_EQ(ZEVRA_SetAttributeViBoolean(sim, "", ZEVRA_ATTR_INTERCHANGE_CHECK, VI_TRUE), IVI_ERROR_VALUE_NOT_SUPPORTED);
  EXPECT_EQ(LastError(sim).text,
            "Does not support this class-compliant feature:  Enumeration value 'True' passed as the value for parameter "
            "'AttributeValue' in function 'SetAttributeViBoolean'.  Interchange checking is not supported by the driver.");
  EXPECT_EQ(ZEVRA_SetAttributeViBoolean(sim, "", ZEVRA_ATTR_INTERCHANGE_CHECK, VI_FALSE), VI_SUCCESS);

  ASSERT_EQ(ZEVRA_SetAttributeViBoolean(sim, "", ZEVRA_ATTR_RANGE_CHECK, VI_FALSE), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_SetAttributeViBoolean(sim, "", ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS, 2), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetAttributeViBoolean(sim, "", ZEVRA_ATTR_RANGE_CHECK, &b), VI_SUCCESS);
  EXPECT_EQ(b, VI_FALSE);
  EXPECT_EQ(ZEVRA_GetAttributeViBoolean(sim, "", ZEVRA_ATTR_QUERY_INSTRUMENT_STATUS, &b), VI_SUCCESS);
  EXPECT_EQ(b, VI_FALSE) << "only the value 1 turns a flag on";
  ASSERT_EQ(ZEVRA_ResetWithDefaults(sim), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetAttributeViBoolean(sim, "", ZEVRA_ATTR_RANGE_CHECK, &b), VI_SUCCESS);
  EXPECT_EQ(b, VI_TRUE);

  char text[64];
  ViInt32 i = 0;
  struct Text {
    ViAttr id;
    const char* value;
  };
  for (const Text& t : {Text{ZEVRA_ATTR_INSTRUMENT_MODEL, "QDX7001"}, Text{ZEVRA_ATTR_INSTRUMENT_MANUFACTURER, "Halmeric"},
                        Text{ZEVRA_ATTR_INSTRUMENT_FIRMWARE_REVISION, "Sim1.0.0.0"},
                        Text{ZEVRA_ATTR_SUPPORTED_INSTRUMENT_MODELS, "QDX7000,QDX7001"},
                        Text{ZEVRA_ATTR_IO_RESOURCE_DESCRIPTOR, "sim"}, Text{ZEVRA_ATTR_LOGICAL_NAME, ""},
                        Text{ZEVRA_ATTR_DRIVER_SETUP, ""}}) {
    EXPECT_EQ(ZEVRA_GetAttributeViString(sim, "", t.id, sizeof text, text), VI_SUCCESS) << t.id;
    EXPECT_STREQ(text, t.value);
  }
  EXPECT_EQ(ZEVRA_GetAttributeViInt32(sim, "", ZEVRA_ATTR_CHANNEL_COUNT, &i), VI_SUCCESS);
  EXPECT_EQ(i, 4);

  // The driver's own identity needs no session.
  for (const Text& t : {Text{ZEVRA_ATTR_SPECIFIC_DRIVER_PREFIX, "ZEVRA"}, Text{ZEVRA_ATTR_SPECIFIC_DRIVER_VENDOR, "Halmeric"},
                        Text{ZEVRA_ATTR_SPECIFIC_DRIVER_DESCRIPTION, "IVI-C Driver for QDX Series DC Power Supplies"},
                        Text{ZEVRA_ATTR_SPECIFIC_DRIVER_REVISION, "1.0.0.0"},
                        Text{ZEVRA_ATTR_GROUP_CAPABILITIES, "IviDCPwrBase,IviDCPwrSoftwareTrigger,IviDCPwrMeasurement"}}) {
    EXPECT_EQ(ZEVRA_GetAttributeViString(VI_NULL, "", t.id, sizeof text, text), VI_SUCCESS);
    EXPECT_STREQ(text, t.value);
  }
  EXPECT_EQ(ZEVRA_GetAttributeViInt32(VI_NULL, "", ZEVRA_ATTR_SPECIFIC_DRIVER_CLASS_SPEC_MAJOR_VERSION, &i), VI_SUCCESS);
  EXPECT_EQ(i, 3);
  EXPECT_EQ(ZEVRA_GetAttributeViString(VI_NULL, "", ZEVRA_ATTR_INSTRUMENT_MODEL, sizeof text, text),
            IVI_ERROR_INVALID_SESSION_HANDLE);

  // Direct I/O attributes refuse in simulation.
  ViSession io = 0;
  EXPECT_EQ(ZEVRA_GetAttributeViSession(sim, "", ZEVRA_ATTR_SYSTEM_IO_SESSION, &io), ZEVRA_ERROR_IO);
  EXPECT_EQ(ZEVRA_SetAttributeViInt32(sim, "", ZEVRA_ATTR_SYSTEM_IO_TIMEOUT, 100), ZEVRA_ERROR_IO);
}

TEST_F(AttributeEngine, ChannelNamesCoercionAndInterchange) {
  char name[8];
  EXPECT_EQ(ZEVRA_GetChannelName(sim, 1, sizeof name, name), VI_SUCCESS);
  EXPECT_STREQ(name, "CH1");
  EXPECT_EQ(ZEVRA_GetChannelName(sim, 2, 3, name), VI_SUCCESS);
  EXPECT_STREQ(name, "CH");
  EXPECT_EQ(ZEVRA_GetChannelName(sim, 0, sizeof name, name), IVI_ERROR_INVALID_VALUE);
  EXPECT_EQ(LastError(sim).text, "Invalid value '-1' for function 'GetOutputChannelName', parameter 'Index'.");
  EXPECT_EQ(ZEVRA_GetChannelName(sim, 5, sizeof name, name), IVI_ERROR_INVALID_VALUE);
  EXPECT_EQ(LastError(sim).text, "Invalid value '4' for function 'GetOutputChannelName', parameter 'Index'.");
  EXPECT_EQ(ZEVRA_GetChannelName(sim, 1, sizeof name, nullptr), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(sim).text, "Null pointer passed for function 'ZEVRA_GetChannelName', parameter 'Name'.");

  EXPECT_EQ(ZEVRA_GetNextCoercionRecord(sim, 0, nullptr), 1);
  EXPECT_EQ(LastError(sim).code, 0);
  EXPECT_EQ(ZEVRA_GetNextCoercionRecord(sim, 10, nullptr), IVI_ERROR_NULL_POINTER);
  std::strcpy(name, "x");
  EXPECT_EQ(ZEVRA_GetNextCoercionRecord(sim, sizeof name, name), VI_SUCCESS);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(ZEVRA_GetNextInterchangeWarning(sim, 0, nullptr), IVI_ERROR_FUNCTION_NOT_SUPPORTED);
  EXPECT_EQ(ZEVRA_ClearInterchangeWarnings(sim), IVI_ERROR_FUNCTION_NOT_SUPPORTED);
  EXPECT_EQ(ZEVRA_ResetInterchangeCheck(sim), IVI_ERROR_FUNCTION_NOT_SUPPORTED);
  EXPECT_EQ(LastError(sim).text, "Does not support this class-compliant feature: function 'ResetInterchangeCheck'");
  EXPECT_EQ(ZEVRA_ResetInterchangeCheck(VI_NULL), IVI_ERROR_INVALID_SESSION_HANDLE);
}

TEST_F(AttributeEngine, ClassAttributeRules) {
  ViBoolean b = 0;
  ViReal64 r = 0;
  ViInt32 i = -1;
  EXPECT_EQ(ZEVRA_SetAttributeViBoolean(sim, "CH1", ZEVRA_ATTR_OVP_ENABLED, VI_TRUE), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_SetAttributeViBoolean(sim, "CH1", ZEVRA_ATTR_OVP_ENABLED, VI_FALSE), IVI_ERROR_VALUE_NOT_SUPPORTED);
  EXPECT_EQ(LastError(sim).text,
            "Does not support this class-compliant feature:  Enumeration value 'VI_FALSE' passed as the value for "
            "parameter 'AttributeValue' in function 'OVP_ENABLED'.");
  EXPECT_EQ(ZEVRA_GetAttributeViBoolean(sim, "CH2", ZEVRA_ATTR_OVP_ENABLED, &b), VI_SUCCESS);
  EXPECT_EQ(b, VI_TRUE);
  EXPECT_EQ(ZEVRA_GetAttributeViInt32(sim, "CH3", ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, &i), VI_SUCCESS);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(ZEVRA_SetAttributeViInt32(sim, "CH3", ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, 1), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetAttributeViInt32(sim, "CH3", ZEVRA_ATTR_CURRENT_LIMIT_BEHAVIOR, &i), VI_SUCCESS);
  EXPECT_EQ(i, 1);
  // In simulation the current limit reads the level attribute its behaviour selects.
  ASSERT_EQ(ZEVRA_SetCurrentProtectionLevel(sim, 3.5), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetAttributeViReal64(sim, "CH3", ZEVRA_ATTR_CURRENT_LIMIT, &r), VI_SUCCESS);
  EXPECT_EQ(r, 3.5);
  EXPECT_EQ(ZEVRA_GetAttributeViReal64(sim, "CH3", ZEVRA_ATTR_TRIGGERED_VOLTAGE_LEVEL, &r), IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED);
  EXPECT_EQ(ZEVRA_SetAttributeViReal64(sim, "bad!", ZEVRA_ATTR_TRIGGERED_VOLTAGE_LEVEL, 1), IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED);
  EXPECT_EQ(LastError(sim).code, 0) << "not supported is returned without a description";
  EXPECT_EQ(ZEVRA_SetAttributeViInt32(sim, "CH1", ZEVRA_ATTR_TRIGGER_SOURCE, 5), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_GetAttributeViInt32(sim, "CH1", ZEVRA_ATTR_TRIGGER_SOURCE, &i), VI_SUCCESS);
  EXPECT_EQ(i, 5);
}

TEST(AttributeRegistry, FollowsTheNamingRule) {
  const auto& registry = zevra::AttributeRegistry();
  EXPECT_EQ(registry.size(), 100u);
  int getters = 0, setters = 0;
  for (const auto& [id, attribute] : registry) {
    const std::string& name = attribute.descriptor.name;
    // <Name>: each underscore-separated word capitalised.
    std::string expected;
    bool start = true;
    for (char c : name.substr(std::strlen("ZEVRA_ATTR_"))) {
      if (c == '_') {
        start = true;
        continue;
      }
      expected += start ? static_cast<char>(std::toupper(c)) : static_cast<char>(std::tolower(c));
      start = false;
    }
    EXPECT_EQ(attribute.function_name, expected);
    if (attribute.kind == zevra::AttributeKind::Specific) {
      getters += attribute.descriptor.read != nullptr;
      setters += attribute.descriptor.write != nullptr;
    }
    EXPECT_EQ(attribute.descriptor.channel_based, id >= 1250000) << name;
  }
  EXPECT_EQ(getters, 67);
  EXPECT_EQ(setters, 46);
}

}  // namespace
