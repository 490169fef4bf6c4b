// SPDX-License-Identifier: MIT
// viFindRsrc's expressions: the regular expression over names and the
// attribute clause, matched against parsed resource names.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "resource_expression.h"
#include "resource_name.h"
#include "visa.h"

namespace {

visa::ResourceName Parsed(const std::string& text) {
  visa::ResourceName r;
  EXPECT_EQ(visa::parse_resource_name(text, r), VI_SUCCESS) << text;
  return r;
}

struct Case {
  const char* expression;
  const char* resource;
  bool matches;
};

TEST(ResourceExpression, MatchesLikeVisa) {
  const Case cases[] = {
      {"?*", "TCPIP0::10.0.0.1::5025::SOCKET", true},
      {"?*::INSTR", "TCPIP0::10.0.0.1::5025::SOCKET", false},
      {"?*::INSTR", "TCPIP0::10.0.0.1::inst0::INSTR", true},
      {"tcpip?*instr", "TCPIP0::10.0.0.1::inst0::INSTR", true},  // either case
      {"TCPIP[0-9]::?*", "TCPIP3::h::inst0::INSTR", true},
      {"TCPIP[^0]::?*", "TCPIP0::h::inst0::INSTR", false},
      {"TCPIP[^0]::?*", "TCPIP1::h::inst0::INSTR", true},
      {"(GPIB|TCPIP)0::?*", "TCPIP0::h::inst0::INSTR", true},
      {"GPIB?*|ASRL?*", "TCPIP0::h::inst0::INSTR", false},
      {"TCPIP0::1+0::?*", "TCPIP0::110::inst0::INSTR", true},
      {"TCPIP0::1+0::?*", "TCPIP0::0::inst0::INSTR", false},
      {"TCPIP0::(ab)*c::?*", "TCPIP0::ababc::inst0::INSTR", true},
      {"TCPIP0::(ab)*c::?*", "TCPIP0::abac::inst0::INSTR", false},
      {"TCPIP0::h::hislip0\\,4881::INSTR", "TCPIP0::h::hislip0,4881::INSTR", true},
      {"TCPIP0::h?::?*", "TCPIP0::h::inst0::INSTR", false},  // '?' is exactly one character
      {"?*{VI_ATTR_TCPIP_PORT == 5025}", "TCPIP0::h::5025::SOCKET", true},
      {"?*{VI_ATTR_TCPIP_PORT == 0x13A1}", "TCPIP0::h::5025::SOCKET", true},
      {"?*{VI_ATTR_TCPIP_PORT != 5025}", "TCPIP0::h::5025::SOCKET", false},
      {"?*{VI_ATTR_TCPIP_PORT > 1000}", "TCPIP0::h::inst0::INSTR", false},  // VXI-11 has no port
      {"?*{VI_ATTR_RSRC_CLASS == \"SOCKET\" && VI_ATTR_INTF_NUM == 0}", "TCPIP0::h::5025::SOCKET", true},
      {"?*{VI_ATTR_RSRC_CLASS == \"SOCKET\" && VI_ATTR_INTF_NUM == 1}", "TCPIP0::h::5025::SOCKET", false},
      {"?*{VI_ATTR_INTF_NUM == 1 || VI_ATTR_TCPIP_HOSTNAME == \"h?*\"}", "TCPIP0::host::5025::SOCKET", true},
      {"?*{!(VI_ATTR_TCPIP_DEVICE_NAME == \"hislip?*\")}", "TCPIP0::h::hislip0::INSTR", false},
      {"?*{ VI_ATTR_INTF_TYPE == 6 }", "TCPIP0::h::5025::SOCKET", true},
      {"?*{VI_ATTR_INTF_TYPE == 4}", "ASRL/dev/ttyUSB0::INSTR", true},
      {"ASRL?*", "ASRL3::INSTR", true},
      {"?*{VI_ATTR_TCPIP_HOSTNAME == \"?*\"}", "ASRL3::INSTR", false},  // a serial port has no host
      {"USB?*{VI_ATTR_MANF_ID == 0x1234 && VI_ATTR_MODEL_CODE == 0x5678}", "USB0::0x1234::0x5678::SN9::INSTR", true},
      {"USB?*{VI_ATTR_USB_SERIAL_NUM == \"SN?\"}", "USB0::0x1234::0x5678::SN9::INSTR", true},
      {"?*{VI_ATTR_MANF_ID == 0x1234}", "TCPIP0::h::inst0::INSTR", false},
  };
  for (const Case& c : cases) {
    visa::ResourceExpression e;
    ASSERT_EQ(e.parse(c.expression), VI_SUCCESS) << c.expression;
    EXPECT_EQ(e.matches(Parsed(c.resource)), c.matches) << c.expression << " on " << c.resource;
  }
}

TEST(ResourceExpression, RefusesWhatDoesNotParse) {
  const std::string deep = std::string(40, '(') + "a" + std::string(40, ')');
  const std::string bad[] = {"", "(", "a)", "*a", "a|*", "[", "[]", "[z-a]", "a\\", "?*{", "?*{VI_ATTR_INTF_NUM}",
                             "?*{VI_ATTR_BOGUS == 1}", "?*{VI_ATTR_TCPIP_PORT == \"x\"}",
                             "?*{VI_ATTR_RSRC_CLASS > \"A\"}", "?*{VI_ATTR_INTF_NUM == 1", deep,
                             std::string(5000, 'a')};
  for (const std::string& text : bad) {
    visa::ResourceExpression e;
    EXPECT_EQ(e.parse(text), VI_ERROR_INV_EXPR) << text.substr(0, 60);
    EXPECT_FALSE(e.matches(Parsed("TCPIP0::a::5025::SOCKET")));
  }
}

// A pattern that makes a backtracking matcher take exponential time is linear here.
TEST(ResourceExpression, NoPatternTakesLong) {
  visa::ResourcePattern p;
  ASSERT_EQ(p.parse("(a*)*(a*)*(a*)*b"), VI_SUCCESS);
  const std::string text(4000, 'a');
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(p.matches(text));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
