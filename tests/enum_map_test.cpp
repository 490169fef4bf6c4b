// SPDX-License-Identifier: MIT
// Enum command maps: conversions both ways, their errors, and the model and
// family tie-breaks (exercised with a map of our own, as no driver map is
// model-restricted).
#include <gtest/gtest.h>

#include <string>

#include "enum_maps.h"
#include "support/driver_helpers.h"
#include "support/temp_store.h"

namespace {

using namespace testsupport;

class EnumMaps : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(vi.open("sim", "Simulate=1, DriverSetup=Model=QDX7000"), VI_SUCCESS); }
  ViInt32 Parse(const vexo::EnumMap& map, const std::string& reply) {
    ViInt32 value = 99;
    return map.ResponseToValue(vi, reply, value) < 0 ? -100 - (value == -1 ? 0 : 1) : value;
  }
  std::string Command(const vexo::EnumMap& map, ViInt32 value) {
    std::string token = "stale";
    ViStatus st = map.ValueToCommand(vi, value, token);
    return st < 0 ? "error(" + token + ")" : token;
  }
  TempStore store{ZevraModule()};
  DriverHandle vi;
};

TEST_F(EnumMaps, RepliesAreTrimmedAndComparedWithoutCase) {
  EXPECT_EQ(Parse(zevra::BooleanMap(), " 1\r"), VI_TRUE);
  EXPECT_EQ(Parse(zevra::BooleanMap(), "ON"), -100) << "failure leaves -1";
  EXPECT_EQ(Parse(zevra::ChannelMap(), "ch3"), ZEVRA_VAL_CHANNEL3);
  EXPECT_EQ(Parse(zevra::ChannelMap(), "2"), ZEVRA_VAL_CHANNEL3);
  for (const char* reply : {"dinput", "DINP", "DINPut"})
    EXPECT_EQ(Parse(zevra::DigitalPinFunctionMap(), reply), ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_INPUT) << reply;
  EXPECT_EQ(Command(zevra::DigitalPinFunctionMap(), ZEVRA_VAL_DIGITAL_PIN_FUNCTION_DIGITAL_INPUT), "DINPut");
  EXPECT_EQ(Parse(zevra::ListPaceMap(), "ON"), ZEVRA_VAL_LIST_PACE_TRIGGER);
  EXPECT_EQ(Command(zevra::PowerOnStateMap(), ZEVRA_VAL_POWER_ON_STATE_USER_STATE), "USER");
}

TEST_F(EnumMaps, ErrorsAndNames) {
  EXPECT_EQ(Command(zevra::OutputModeMap(), 10), "error()") << "the output is cleared on failure";
  EXPECT_EQ(LastError(vi).text, "Failure cannot recover.  Could not convert defined value '10' to an instrument command.");
  Parse(zevra::RemoteStateMap(), "NONSENSE%s");
  EXPECT_EQ(LastError(vi).text,
            "Unexpected response from instrument.  Could not convert instrument response (NONSENSE%s) to a defined value.");
  EXPECT_EQ(zevra::TriggerSourceMap().ValueToName(ZEVRA_VAL_SOFTWARE_TRIG), "ZEVRA_VAL_SOFTWARE_TRIG");
  EXPECT_EQ(zevra::TriggerSourceMap().ValueToName(99), "99");
  EXPECT_EQ(Command(zevra::MeasurementTypeMap(), ZEVRA_VAL_MEASURE_VOLTAGE), "error()") << "name-only maps send nothing";
}

TEST_F(EnumMaps, ModelAndFamilyTieBreaks) {
  // The session's model is QDX7000, of the family "DefaultFamily".
  const vexo::EnumMap map{
      {"GENERIC_A", 1, "A, SHARED", ""},
      {"FAMILY_A", 1, "FA", "DefaultFamily"},
      {"MODEL_B", 2, "MB", "QDX7000"},
      {"GENERIC_B", 2, "B", ""},
      {"OTHER_MODEL_C", 3, "OC", "QDX7001"},
      {"GENERIC_C", 3, "C", ""},
      {"GENERIC_D", 4, "D", ""},
      {"FAMILY_E", 5, "FE", "DefaultFamily"},
      {"MODEL_E", 5, "ME", "QDX7000"},
      {"GENERIC_F1", 6, "F1", ""},
      {"GENERIC_F2", 6, "F2", ""},
  };
  // Sending: exact model first, then family, then generic; rows of other models never.
  EXPECT_EQ(Command(map, 1), "FA");
  EXPECT_EQ(Command(map, 2), "MB");
  EXPECT_EQ(Command(map, 3), "C");
  EXPECT_EQ(Command(map, 4), "D");
  EXPECT_EQ(Command(map, 5), "ME") << "a later row for the exact model beats an earlier family row";
  EXPECT_EQ(Command(map, 6), "F1") << "among rows of one kind, the first";
  // Reading: an exact model row decides; a generic token is refused for a value the model has its own row for.
  EXPECT_EQ(Parse(map, "mb"), 2);
  EXPECT_EQ(Parse(map, "B"), -100);
  EXPECT_EQ(Parse(map, "FA"), 1);
  EXPECT_EQ(Parse(map, "A"), -100);
  EXPECT_EQ(Parse(map, "OC"), -100) << "another model's token";
  EXPECT_EQ(Parse(map, "C"), 3);
  EXPECT_EQ(Parse(map, "D"), 4);
}

}  // namespace
