// SPDX-License-Identifier: MIT
// The scripted instrument's generic SCPI answers and its script, over loopback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scripted_emulator.h"
#include "support/visa_session.h"
#include "visa.h"

namespace {

using testsupport::ScriptedEmulator;
using testsupport::VisaSession;

class ScriptedInstrumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emu.started()) << emu.error();
    session = std::make_unique<VisaSession>(emu.resource());
    ASSERT_EQ(session->open_status(), VI_SUCCESS);
    session->set_timeout(300);
  }
  // The reply to `query`, or "<status>" when there was none.
  std::string ask(const std::string& query) {
    char text[512] = "";
    ViInt32 size = sizeof text;
    ViStatus st = viQueryf(*session, "%s\n", "%#[^\n]%*t", query.c_str(), &size, text);
    if (st != VI_SUCCESS) return "<" + std::to_string(st) + ">";
    return text;
  }
  void send(const std::string& command) {
    ASSERT_EQ(viPrintf(*session, "%s\n", command.c_str()), VI_SUCCESS);
  }
  const std::string timeout = "<" + std::to_string(VI_ERROR_TMO) + ">";

  ScriptedEmulator emu;
  std::unique_ptr<VisaSession> session;
};

TEST_F(ScriptedInstrumentTest, GenericAnswers) {
  EXPECT_EQ(ask("*IDN?"), "Halmeric,QDX7001,QDX7001-000001,1.00");
  EXPECT_EQ(ask("*OPC?"), "1");
  EXPECT_EQ(ask("*ESR?"), "0");
  emu.instrument().set_event_status(16);
  EXPECT_EQ(ask("*ESR?"), "16");
  EXPECT_EQ(ask("*ESR?"), "0") << "reading the event status clears it";
  EXPECT_EQ(ask(":SYST:ERR?"), "0,\"No error\"");
}

TEST_F(ScriptedInstrumentTest, StoredValuesAndCompoundLines) {
  send("VOLT 5.5");
  EXPECT_EQ(ask("VOLT?"), "5.5");
  EXPECT_EQ(ask(":volt?"), "5.5") << "headers compare without regard to case or leading colon";
  EXPECT_EQ(ask("CURR 0.25;CURR?;*OPC?"), "0.25;1");
}

TEST_F(ScriptedInstrumentTest, UnknownQueriesQueueAnErrorLikeAnInstrument) {
  EXPECT_EQ(ask("NOSUCH?"), timeout);
  EXPECT_EQ(ask("*ESR?"), "32");
  emu.instrument().push_error(-222, "Data out of range");
  EXPECT_EQ(ask("SYST:ERR?"), "-113,\"Undefined header\"");
  EXPECT_EQ(ask("SYST:ERR?"), "-222,\"Data out of range\"");
  EXPECT_EQ(ask("SYST:ERR?"), "0,\"No error\"");
  emu.instrument().push_error(-100, "Command error");
  send("*CLS");
  EXPECT_EQ(ask("SYST:ERR?"), "0,\"No error\"");
}

TEST_F(ScriptedInstrumentTest, ScriptEntriesAreUsedInOrderOrForever) {
  emu.instrument().on("MEAS?", "1");
  emu.instrument().on("MEAS?", "2");
  emu.instrument().on("*IDN?", "Other,Thing,0,0", emulator::ScriptedInstrument::kForever);
  EXPECT_EQ(ask("MEAS?"), "1");
  EXPECT_EQ(ask("MEAS?"), "2");
  EXPECT_EQ(ask("MEAS?"), timeout);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ask("*IDN?"), "Other,Thing,0,0");
  emu.instrument().clear_script();
  EXPECT_EQ(ask("*IDN?"), "Halmeric,QDX7001,QDX7001-000001,1.00");
  EXPECT_EQ(emu.transcript().lines().size(), 7u);
}

TEST_F(ScriptedInstrumentTest, EachClientIsServedOnItsOwnConnection) {
  VisaSession other(emu.resource());
  // The reply to *OPC? on the same connection shows VOLT 3 has been applied, not only received.
  ViInt32 complete = 0;
  ASSERT_EQ(viQueryf(other, "VOLT 3\n*OPC?\n", "%ld%*t", &complete), VI_SUCCESS);
  ASSERT_EQ(complete, 1);
  EXPECT_EQ(ask("VOLT?"), "3") << "one instrument state behind every connection";
}

}  // namespace
