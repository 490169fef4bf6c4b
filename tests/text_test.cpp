// SPDX-License-Identifier: MIT
// The text helpers the runtime and the driver read replies and tables with.
#include "text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "replies.h"

namespace {

std::vector<std::string> Strings(const std::vector<std::string_view>& views) { return {views.begin(), views.end()}; }

TEST(Text, TrimAndSplit) {
  EXPECT_EQ(vexo::Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(vexo::Trim(" \t\r\n"), "");
  EXPECT_EQ(vexo::Trim("\"quoted\"", "\""), "quoted");
  using V = std::vector<std::string>;
  struct Case {
    const char* text;
    vexo::LastEmpty last;
    V pieces;
  } cases[] = {
      {"", vexo::LastEmpty::kKeep, {""}},       {"", vexo::LastEmpty::kDrop, {}},
      {"a,,b", vexo::LastEmpty::kKeep, {"a", "", "b"}}, {"a,b,", vexo::LastEmpty::kKeep, {"a", "b", ""}},
      {"a,b,", vexo::LastEmpty::kDrop, {"a", "b"}},     {"a,b,,", vexo::LastEmpty::kDrop, {"a", "b", ""}},
      {" a , b ", vexo::LastEmpty::kKeep, {"a", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Strings(vexo::SplitTrimmed(c.text, ',', c.last)), c.pieces) << c.text;
  EXPECT_EQ(Strings(vexo::Split(" a , b", ',')), (V{" a ", " b"}));
}

template <typename T>
struct NumberCase {
  const char* text;
  bool ok;
  T value;
};

// Each text parses (or not) as stated, and a parsed one has its value.
template <typename T, std::size_t N>
void ExpectNumbers(bool (*parse)(std::string_view, T&), const NumberCase<T> (&cases)[N]) {
  for (const NumberCase<T>& c : cases) {
    T value = 0;
    EXPECT_EQ(parse(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(Text, LeadingIntegers) {
  const NumberCase<ViInt32> cases[] = {
      {"42", true, 42},          {"  -222,\"Data out of range\"", true, -222},
      {"+7x", true, 7},          {"2147483647", true, INT_MAX},
      {"-2147483648", true, INT_MIN}, {"2147483648", false, 0},
      {"-2147483649", false, 0}, {"99999999999999999999", false, 0},
      {"", false, 0},            {"-", false, 0},
      {"+-1", false, 0},         {"x1", false, 0}};
  ExpectNumbers(vexo::ParseLeadingInteger, cases);
}

TEST(Text, LeadingReals) {
  const NumberCase<ViReal64> cases[] = {{"4.5", true, 4.5}, {" +1e3V", true, 1000.0}, {"-0.25,1", true, -0.25},
                                        {".5", true, 0.5},  {"-.5e1", true, -5.0},   {"7.", true, 7.0},
                                        {"", false, 0},     {"+-1", false, 0},       {"V", false, 0},
                                        {"nan", false, 0},  {"inf", false, 0},       {"-Infinity", false, 0},
                                        {"+NAN", false, 0}, {".", false, 0},         {"-.e1", false, 0}};
  ExpectNumbers(vexo::ParseLeadingReal, cases);
}

TEST(Replies, AllChannelMeasurements) {
  zevra::AllChannelMeasurements m;
  EXPECT_EQ(zevra::ParseAllChannelMeasurements("5,0.5,2.5, 1,0.1,0.1,", m), nullptr);
  EXPECT_EQ(m.voltages, (std::vector<ViReal64>{5, 1}));
  EXPECT_EQ(m.powers, (std::vector<ViReal64>{2.5, 0.1}));
  zevra::AllChannelMeasurements none;
  EXPECT_EQ(zevra::ParseAllChannelMeasurements("", none), nullptr);
  EXPECT_TRUE(none.voltages.empty());
  zevra::AllChannelMeasurements bad;
  EXPECT_STREQ(zevra::ParseAllChannelMeasurements("1,2", bad), "Expected measured values in groups of 3.");
  EXPECT_STREQ(zevra::ParseAllChannelMeasurements("1,x,3", bad), "Expected numeric current value.");
}

TEST(Replies, PowerOnState) {
  zevra::PowerOnStateFields f;
  ASSERT_TRUE(zevra::SplitPowerOnState(" USER , 3 ", f));
  EXPECT_EQ(f.state, "USER");
  EXPECT_EQ(f.location, "3");
  zevra::PowerOnStateFields g;
  ASSERT_TRUE(zevra::SplitPowerOnState("RST", g));
  EXPECT_FALSE(g.location.has_value());
  EXPECT_FALSE(zevra::SplitPowerOnState("A,1,2", g));
}

}  // namespace
