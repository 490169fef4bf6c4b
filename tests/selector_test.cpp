// SPDX-License-Identifier: MIT
// Channel selectors, seen through a channel-based attribute in simulation:
// which channels a write reaches, and every error with its exact description.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/driver_helpers.h"
#include "support/temp_store.h"

namespace {

using namespace testsupport;

class Selectors : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(vi.open("Bench", "Simulate=1"), VI_SUCCESS) << LastError(VI_NULL).text; }

  // The channels a write through `selector` reached, e.g. "CH1,CH3"; or the error.
  std::string Written(const char* selector) {
    static double marker = 1;
    marker += 1;
    ViStatus st = ZEVRA_SetAttributeViReal64(vi, selector, ZEVRA_ATTR_VOLTAGE_LEVEL, marker);
    if (st < 0) return "error " + std::to_string(st) + ": " + LastError(vi).text;
    std::string reached;
    for (const char* ch : {"CH1", "CH2", "CH3", "CH4"}) {
      ViReal64 value = 0;
      ZEVRA_GetAttributeViReal64(vi, ch, ZEVRA_ATTR_VOLTAGE_LEVEL, &value);
      if (value == marker) reached += (reached.empty() ? "" : ",") + std::string(ch);
    }
    return reached;
  }

  TempStore store{ZevraModule() +
                  "<DriverSessions><IviDriverSession id=\"s\"><Name>Bench</Name><IviSoftwareModuleRef idref=\"ZEVRA\"/>"
                  "<VirtualNames><IviVirtualName><Name>Out</Name><MapTo>CH</MapTo><VirtualRanges><IviVirtualRange>"
                  "<Min>1</Min><Max>4</Max><StartingPhysicalIndex>1</StartingPhysicalIndex></IviVirtualRange>"
                  "</VirtualRanges></IviVirtualName><IviVirtualName><Name>Load</Name><MapTo>CH4</MapTo>"
                  "</IviVirtualName></VirtualNames></IviDriverSession></DriverSessions>"};
  DriverHandle vi;
};

TEST_F(Selectors, WhatAWriteReaches) {
  struct Case {
    const char* selector;
    const char* reached;
  };
  const Case cases[] = {
      {"CH1", "CH1"},           {" CH1 ", "CH1"},          {"[CH1]", "CH1"},
      {"CH1,CH3", "CH1,CH3"},   {"CH3, CH1", "CH1,CH3"},   {"CH1-CH4", "CH1,CH2,CH3,CH4"},
      {"CH01-CH03", "CH1,CH2,CH3"}, {"CH1-ch2", "CH1,CH2"}, {"OutputChannel!!CH2", "CH2"},
      {"Out2", "CH2"},          {"out3", "CH3"},           {"Out1-Out2", "CH1,CH2"},
      {"Load", "CH4"},          {"Out1,Load", "CH1,CH4"},
  };
  for (const Case& c : cases) EXPECT_EQ(Written(c.selector), c.reached) << c.selector;
}

TEST_F(Selectors, Errors) {
  const std::string required =
      "A channel name is required.  No selector was specified for repeated capability 'OutputChannel'.  The repeated "
      "capability identifier can be null or empty only when there is exactly one physical name defined.  Repeated "
      "capability 'OutputChannel' has 4 physical names defined.";
  const std::string badly_formed = "The repeated capability selector is badly-formed.";
  auto range = [](const std::string& item, const std::string& why) {
    return "The range '" + item + "' is not valid for the repeated capability 'OutputChannel'.  " + why;
  };
  auto unknown = [](const std::string& name) {
    return "Unknown physical repeated capability selector.  The identifier '" + name +
           "' is not defined for repeated capability 'OutputChannel'.";
  };
  struct Case {
    const char* selector;
    ViStatus code;
    std::string description;
  };
  const Case cases[] = {
      {nullptr, IVI_ERROR_CHANNEL_NAME_REQUIRED, required},
      {"", IVI_ERROR_CHANNEL_NAME_REQUIRED, required},
      {" \t\r\n", IVI_ERROR_CHANNEL_NAME_REQUIRED, required},
      {"ch1", IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, unknown("ch1")},
      {"CH5", IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, unknown("CH5")},
      {"Out5", IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, unknown("Out5")},
      {"CH1,CH1", IVI_ERROR_BADLY_FORMED_SELECTOR, badly_formed},
      {"CH1;CH2", IVI_ERROR_BADLY_FORMED_SELECTOR, badly_formed},
      {"CH1,,CH2", IVI_ERROR_BADLY_FORMED_SELECTOR, badly_formed},
      {"CH 1", IVI_ERROR_BADLY_FORMED_SELECTOR, badly_formed},
      {"CH1-CH2,CH2", IVI_ERROR_INVALID_RANGE_IN_SELECTOR,
       range("CH2", "An identifier in the range overlaps with another range.")},
      {"CH1:CH2", IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR,
       "The number of levels in the selector is not valid for the 'OutputChannel' repeated capability."},
      {"CH3-CH1", IVI_ERROR_INVALID_RANGE_IN_SELECTOR, range("CH3-CH1", "The start index must be less than the end index.")},
      {"CH2-CH2", IVI_ERROR_INVALID_RANGE_IN_SELECTOR, range("CH2-CH2", "The start index must be less than the end index.")},
      {"CH1-3", IVI_ERROR_INVALID_RANGE_IN_SELECTOR, range("CH1-3", "The base names do not match.")},
      {"ch1-CH2", IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, unknown("ch1")},  // the first half's base name is kept
      {"CH1-CH99999999999", IVI_ERROR_INVALID_RANGE_IN_SELECTOR, range("CH1-CH99999999999", "The index is out of range.")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selector == nullptr ? "(null)" : c.selector);
    EXPECT_EQ(ZEVRA_SetAttributeViReal64(vi, c.selector, ZEVRA_ATTR_VOLTAGE_LEVEL, 1.0), c.code);
    EXPECT_EQ(LastError(vi).text, c.description);
    // A failing selector fails the same way every time: its errors are never cached away.
    EXPECT_EQ(ZEVRA_SetAttributeViReal64(vi, c.selector, ZEVRA_ATTR_VOLTAGE_LEVEL, 1.0), c.code);
    LastError(vi);
  }
}

TEST_F(Selectors, ReadsNeedExactlyOneChannel) {
  ViReal64 value = 0;
  for (const char* selector : {"CH1,CH2", "CH1-CH2", "Out1-Out2"}) {
    SCOPED_TRACE(selector);
    // Refused when first resolved, again when the session already knows the
    // selector, and after a write has used it for both channels.
    for (int pass = 0; pass < 3; ++pass) {
      if (pass == 2) {
        ASSERT_EQ(ZEVRA_SetAttributeViReal64(vi, selector, ZEVRA_ATTR_VOLTAGE_LEVEL, 1.0), VI_SUCCESS);
      }
      EXPECT_EQ(ZEVRA_GetAttributeViReal64(vi, selector, ZEVRA_ATTR_VOLTAGE_LEVEL, &value),
                IVI_ERROR_BADLY_FORMED_SELECTOR);
      EXPECT_EQ(LastError(vi).text,
                "The repeated capability selector is badly-formed.  Only a single repeated capability identifier can "
                "be specified for the current operation.");
    }
  }
}

}  // namespace
