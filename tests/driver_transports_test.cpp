// SPDX-License-Identifier: MIT
// The driver works the same over every transport its resource names: an
// opening, a channel's settings, a measurement, an instrument error and a
// clear, with the exact lines the instrument received.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/driver_helpers.h"
#include "support/qdx_emulator.h"
#include "support/temp_store.h"
#include "visa.h"

namespace {

using namespace testsupport;
using Lines = std::vector<std::string>;

class DriverTransport : public ::testing::TestWithParam<Wire> {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  QdxEmulator emu{QdxEmulator::Defaults(), GetParam()};
  TempStore store{ZevraModule()};
  DriverHandle vi;
};

TEST_P(DriverTransport, ASessionFromOpenToClose) {
  ASSERT_EQ(vi.open(emu.resource(), "QueryInstrStatus=1", VI_TRUE, VI_FALSE), VI_SUCCESS) << LastError(VI_NULL).text;
  char model[64] = "", resource[256] = "";
  ASSERT_EQ(ZEVRA_GetAttributeViString(vi, "", ZEVRA_ATTR_INSTRUMENT_MODEL, sizeof model, model), VI_SUCCESS);
  EXPECT_STREQ(model, "QDX7001");
  ASSERT_EQ(ZEVRA_GetAttributeViString(vi, "", ZEVRA_ATTR_IO_RESOURCE_DESCRIPTOR, sizeof resource, resource),
            VI_SUCCESS);
  EXPECT_EQ(resource, emu.resource());
  // Only a raw socket and a serial line, which have no END indicator, read up to the line feed.
  ViSession io = Session(vi).InstrumentSession();
  ViBoolean termchar_enabled = VI_FALSE;
  ASSERT_EQ(viGetAttribute(io, VI_ATTR_TERMCHAR_EN, &termchar_enabled), VI_SUCCESS);
  EXPECT_EQ(termchar_enabled, GetParam() == Wire::Socket || GetParam() == Wire::Serial ? VI_TRUE : VI_FALSE);
  char resource_class[32] = "";
  ASSERT_EQ(viGetAttribute(io, VI_ATTR_RSRC_CLASS, resource_class), VI_SUCCESS);
  EXPECT_STREQ(resource_class, GetParam() == Wire::Socket ? "SOCKET" : "INSTR");

  emu.Send("EMUL:LOAD 2,10");
  emu.transcript().clear();
  ASSERT_EQ(ZEVRA_ConfigureVoltageLevel(vi, "CH2", 4.0), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_ConfigureOutputEnabled(vi, "CH2", VI_TRUE), VI_SUCCESS);
  ViReal64 amps = 0;
  ASSERT_EQ(ZEVRA_Measure(vi, "CH2", ZEVRA_VAL_MEASURE_CURRENT, &amps), VI_SUCCESS);
  EXPECT_DOUBLE_EQ(amps, 0.4);
  EXPECT_EQ(ZEVRA_ConfigureVoltageLevel(vi, "CH2", 999.0), IVI_ERROR_INSTRUMENT_STATUS);
  ViInt32 code = 0;
  char message[256] = "";
  ASSERT_EQ(ZEVRA_error_query(vi, &code, message), VI_SUCCESS);
  EXPECT_EQ(code, -222);
  // A configure function selects the channel, then its attribute selects it
  // again; a measurement selects it once.
  const Lines select = {"INST:SEL 1", "*ESR?"};
  Lines expected;
  for (const char* line : {":VOLT 4", "OUTP:STAT 1", "MEAS:CURR?", ":VOLT 999"}) {
    for (int i = std::string(line) == "MEAS:CURR?" ? 1 : 2; i > 0; --i)
      expected.insert(expected.end(), select.begin(), select.end());
    expected.insert(expected.end(), {line, "*ESR?"});
  }
  expected.push_back(":SYST:ERR?");
  EXPECT_EQ(emu.transcript().lines(), expected);
}

INSTANTIATE_TEST_SUITE_P(Wires, DriverTransport,
                         ::testing::Values(Wire::Socket, Wire::Vxi11, Wire::Hislip, Wire::Serial, Wire::Usb, Wire::Gpib),
                         [](const auto& info) { return std::string(WireName(info.param)); });

}  // namespace
