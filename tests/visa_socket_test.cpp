// SPDX-License-Identifier: MIT
// The VISA library through its C API against the scripted instrument over a
// raw socket: resources, attributes, raw and formatted I/O. Behaviour every
// transport shares (timeouts, faults, threads) is in visa_transports_test.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/scripted_emulator.h"
#include "support/visa_session.h"
#include "visa.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ScriptedEmulator;
using testsupport::VisaSession;
using Lines = std::vector<std::string>;

class VisaSocket : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  ScriptedEmulator emu;
};

TEST_F(VisaSocket, ResourceStringsAreParsedWithoutRegardToCase) {
  const std::string port = std::to_string(emu.port());
  for (const std::string& name : {"TCPIP0::127.0.0.1::" + port + "::SOCKET",
                                  "tcpip::127.0.0.1::" + port + "::socket",
                                  "TcpIp3::localhost::" + port + "::Socket"}) {
    VisaSession s(name);
    ASSERT_EQ(s.open_status(), VI_SUCCESS) << name;
    char text[256];
    ASSERT_EQ(viGetAttribute(s, VI_ATTR_RSRC_CLASS, text), VI_SUCCESS);
    EXPECT_STREQ(text, "SOCKET");
  }
}

TEST_F(VisaSocket, BadResourcesGiveVisaErrors) {
  struct Case {
    std::string name;
    ViStatus expected;
  };
  const Case cases[] = {
      {"", VI_ERROR_INV_RSRC_NAME},
      {"garbage", VI_ERROR_INV_RSRC_NAME},
      {"TCPIP0::127.0.0.1::SOCKET", VI_ERROR_INV_RSRC_NAME},
      {"TCPIP0::127.0.0.1::99999::SOCKET", VI_ERROR_INV_RSRC_NAME},
      {"TCPIP0::127.0.0.1::0::SOCKET", VI_ERROR_INV_RSRC_NAME},
      {"TCPIP0::127.0.0.1::port::SOCKET", VI_ERROR_INV_RSRC_NAME},
      {"TCPIP0::::5025::SOCKET", VI_ERROR_INV_RSRC_NAME},
      {"TCPIP0::[::1::5025::SOCKET", VI_ERROR_INV_RSRC_NAME},
      {"TCPIPX::127.0.0.1::5025::SOCKET", VI_ERROR_INV_RSRC_NAME},
      {"TCPIP0::127.0.0.1::5025::SOCKET::extra", VI_ERROR_INV_RSRC_NAME},
      {"tcpip1::host:", VI_ERROR_INV_RSRC_NAME},  // a lone ':' belongs to no host name (found by fuzzing)
      {"TCPIP0::127.0.0.1:5025::SOCKET", VI_ERROR_INV_RSRC_NAME},
      {"GPIB0::5::INSTR", VI_ERROR_RSRC_NFOUND},
      {"TCPIP0::no-such-host.invalid::5025::SOCKET", VI_ERROR_RSRC_NFOUND},
      {"TCPIP0::127.0.0.1::1::SOCKET", VI_ERROR_RSRC_NFOUND},  // nothing listens there
      {"TCPIP0::127.0.0.1::INSTR", VI_ERROR_RSRC_NFOUND},  // no portmapper answers there
      {"TCPIP0::127.0.0.1::hislip0,1::INSTR", VI_ERROR_RSRC_NFOUND},
  };
  setenv("ZEVRA_VXI11_PORTMAPPER_PORT", "1", 1);  // a port nothing listens on
  ViSession rm = 0;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  for (const Case& c : cases) {
    ViSession vi = 12345;
    EXPECT_EQ(viOpen(rm, c.name.c_str(), VI_NULL, 500, &vi), c.expected) << c.name;
    EXPECT_EQ(vi, VI_NULL) << c.name;
  }
  ViSession vi = 0;
  EXPECT_EQ(viOpen(rm, nullptr, VI_NULL, 500, &vi), VI_ERROR_INV_RSRC_NAME);
  EXPECT_EQ(viOpen(0xDEAD, emu.resource().c_str(), VI_NULL, 500, &vi), VI_ERROR_INV_OBJECT);
  viClose(rm);
  unsetenv("ZEVRA_VXI11_PORTMAPPER_PORT");
}

TEST_F(VisaSocket, Ipv6Literal) {
  ScriptedEmulator v6("::1");
  if (!v6.started()) GTEST_SKIP() << "no IPv6 loopback here: " << v6.error();
  VisaSession s(v6.resource());
  ASSERT_EQ(s.open_status(), VI_SUCCESS) << v6.resource();
  ViInt32 opc = 0;
  EXPECT_EQ(viQueryf(s, "*OPC?\n", "%ld", &opc), VI_SUCCESS);
  EXPECT_EQ(opc, 1);
}

TEST_F(VisaSocket, AttributesHaveTheirDefaultsTypesAndAccess) {
  VisaSession s(emu.resource(), false);
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  ViUInt16 intf = 0;
  ViUInt32 tmo = 0;
  ViUInt8 termchar = 0;
  ViBoolean termchar_en = 9, send_end = 9;
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_INTF_TYPE, &intf), VI_SUCCESS);
  EXPECT_EQ(intf, VI_INTF_TCPIP);
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
  EXPECT_EQ(tmo, 2000u);
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_TERMCHAR, &termchar), VI_SUCCESS);
  EXPECT_EQ(termchar, 0x0A);
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_TERMCHAR_EN, &termchar_en), VI_SUCCESS);
  EXPECT_EQ(termchar_en, VI_FALSE);
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_SEND_END_EN, &send_end), VI_SUCCESS);
  EXPECT_EQ(send_end, VI_TRUE);
  char name[256];
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_RSRC_NAME, name), VI_SUCCESS);
  EXPECT_EQ(std::string(name), emu.resource());

  EXPECT_EQ(viSetAttribute(s, VI_ATTR_TMO_VALUE, 1234), VI_SUCCESS);
  EXPECT_EQ(viGetAttribute(s, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
  EXPECT_EQ(tmo, 1234u);
  EXPECT_EQ(viSetAttribute(s, VI_ATTR_INTF_TYPE, 1), VI_ERROR_ATTR_READONLY);
  EXPECT_EQ(viSetAttribute(s, VI_ATTR_RSRC_CLASS, 0), VI_ERROR_ATTR_READONLY);
  EXPECT_EQ(viSetAttribute(s, VI_ATTR_TERMCHAR_EN, 2), VI_ERROR_NSUP_ATTR_STATE);
  EXPECT_EQ(viSetAttribute(s, VI_ATTR_TERMCHAR, 0x100), VI_ERROR_NSUP_ATTR_STATE);
  EXPECT_EQ(viSetAttribute(s, 0x3FFF9999, 0), VI_ERROR_NSUP_ATTR);
  EXPECT_EQ(viGetAttribute(s, 0x3FFF9999, &tmo), VI_ERROR_NSUP_ATTR);
  EXPECT_EQ(viGetAttribute(0xDEAD, VI_ATTR_TMO_VALUE, &tmo), VI_ERROR_INV_OBJECT);
}

TEST_F(VisaSocket, CommandsReachTheInstrumentExactly) {
  VisaSession s(emu.resource());
  ASSERT_EQ(viPrintf(s, "VOLT %0.15lg\n", 1.5), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "LIST:NUMB %ld\n", ViInt32{3}), VI_SUCCESS);
  // Without a line feed nothing is sent until the message is finished.
  ASSERT_EQ(viPrintf(s, "OUTP:STAT %s", "1"), VI_SUCCESS);
  EXPECT_EQ(emu.lines(2), (Lines{"VOLT 1.5", "LIST:NUMB 3"}));
  ASSERT_EQ(viPrintf(s, "\n"), VI_SUCCESS);
  const char raw[] = "SYST:BEEP:IMM\n";
  ViUInt32 written = 0;
  ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>(raw), sizeof raw - 1, &written), VI_SUCCESS);
  EXPECT_EQ(written, sizeof raw - 1);
  EXPECT_EQ(emu.lines(4), (Lines{"VOLT 1.5", "LIST:NUMB 3", "OUTP:STAT 1", "SYST:BEEP:IMM"}));
}

TEST_F(VisaSocket, QueriesParseTheDriversReplyForms) {
  emu.instrument().on("MEAS:ALL?", "5.00000,0.500000,2.50000");
  emu.instrument().on("SYST:ERR?", "-222,\"Data out of range\"");
  VisaSession s(emu.resource());
  char f[4][257];
  ASSERT_EQ(viQueryf(s, "*IDN?\n", "%256[^,],%256[^,],%256[^,],%256[^,]%*T", f[0], f[1], f[2], f[3]),
            VI_SUCCESS);
  EXPECT_STREQ(f[1], "QDX7001");
  EXPECT_STREQ(f[3], "1.00");
  ViReal64 v = 0, i = 0, p = 0;
  ASSERT_EQ(viQueryf(s, "MEAS:ALL?\n", "%lf,%lf,%lf%*t", &v, &i, &p), VI_SUCCESS);
  EXPECT_DOUBLE_EQ(v, 5.0);
  EXPECT_DOUBLE_EQ(i, 0.5);
  EXPECT_DOUBLE_EQ(p, 2.5);
  char error[256];
  ASSERT_EQ(viQueryf(s, "SYST:ERR?\n", "%T", error), VI_SUCCESS);
  EXPECT_STREQ(error, "-222,\"Data out of range\"\n");
  ViInt32 count = 256;
  char word[256];
  ASSERT_EQ(viQueryf(s, "%s?\n", "%#[^\n]%*t", "*IDN", &count, word), VI_SUCCESS);
  EXPECT_STREQ(word, "Halmeric,QDX7001,QDX7001-000001,1.00");
  EXPECT_EQ(count, static_cast<ViInt32>(std::strlen(word)));
  EXPECT_EQ(emu.transcript().lines(), (Lines{"*IDN?", "MEAS:ALL?", "SYST:ERR?", "*IDN?"}));
}

TEST_F(VisaSocket, DiscardingTheRestLetsTheNextQueryReadAFreshReply) {
  emu.instrument().on("LIST:VOLT?", "1,2,3,4,5");
  emu.instrument().on("TWO?", "first\nsecond");
  VisaSession s(emu.resource());
  ViInt32 first = 0, opc = 0;
  ASSERT_EQ(viQueryf(s, "LIST:VOLT?\n", "%ld%*t", &first), VI_SUCCESS);
  EXPECT_EQ(first, 1);
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%ld%*T", &opc), VI_SUCCESS);
  EXPECT_EQ(opc, 1);
  // A second line left unread is dropped by the next query.
  char word[16];
  ASSERT_EQ(viQueryf(s, "TWO?\n", "%s", word), VI_SUCCESS);
  EXPECT_STREQ(word, "first");
  std::this_thread::sleep_for(50ms);  // let "second" arrive before the next query
  opc = 0;
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%ld", &opc), VI_SUCCESS);
  EXPECT_EQ(opc, 1);
}

TEST_F(VisaSocket, RawReadsWithAndWithoutTermination) {
  emu.instrument().on("GREETING?", "hello world", emulator::ScriptedInstrument::kForever);
  VisaSession s(emu.resource());
  s.set_timeout(200);
  auto ask = [&] { ASSERT_EQ(viPrintf(s, "GREETING?\n"), VI_SUCCESS); };
  ViByte buf[32];
  ViUInt32 got = 0;

  ask();
  EXPECT_EQ(viRead(s, buf, 5, &got), VI_SUCCESS_MAX_CNT);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got), "hello");
  EXPECT_EQ(viRead(s, buf, sizeof buf, &got), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got), " world\n");

  // Termination off: only the count or the timeout ends a read.
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TERMCHAR_EN, VI_FALSE), VI_SUCCESS);
  ask();
  EXPECT_EQ(viRead(s, buf, 12, &got), VI_SUCCESS_MAX_CNT);
  EXPECT_EQ(got, 12u);
  ask();
  EXPECT_EQ(viRead(s, buf, sizeof buf, &got), VI_ERROR_TMO);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got), "hello world\n");
}

TEST_F(VisaSocket, RawAndFormattedReadsShareOneStream) {
  VisaSession s(emu.resource());
  ASSERT_EQ(viPrintf(s, "*IDN?\n"), VI_SUCCESS);
  ViByte head[4];
  ViUInt32 got = 0;
  ASSERT_EQ(viRead(s, head, sizeof head, &got), VI_SUCCESS_MAX_CNT);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(head), got), "Halm");
  char rest[64], model[64];
  ASSERT_EQ(viScanf(s, "%[^,],%[^,]%*T", rest, model), VI_SUCCESS);
  EXPECT_STREQ(rest, "eric");
  EXPECT_STREQ(model, "QDX7001");
}

TEST_F(VisaSocket, ClosingTheResourceManagerClosesItsSessions) {
  ViSession rm1 = 0, rm2 = 0, a = 0, b = 0;
  ASSERT_EQ(viOpenDefaultRM(&rm1), VI_SUCCESS);
  ASSERT_EQ(viOpenDefaultRM(&rm2), VI_SUCCESS);
  EXPECT_NE(rm1, rm2);
  ASSERT_EQ(viOpen(rm1, emu.resource().c_str(), VI_NULL, 2000, &a), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm2, emu.resource().c_str(), VI_NULL, 2000, &b), VI_SUCCESS);
  ASSERT_EQ(viClose(rm1), VI_SUCCESS);
  EXPECT_EQ(viPrintf(a, "*CLS\n"), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viClose(a), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viPrintf(b, "*CLS\n"), VI_SUCCESS) << "only the sessions of the closed manager close";
  ASSERT_EQ(viClose(b), VI_SUCCESS);
  EXPECT_EQ(viClose(rm2), VI_SUCCESS);
  EXPECT_EQ(viClose(rm2), VI_ERROR_INV_OBJECT);
}

TEST_F(VisaSocket, FlushSendsPendingOutput) {
  VisaSession s(emu.resource());
  ASSERT_EQ(viPrintf(s, "*CLS"), VI_SUCCESS);
  ASSERT_EQ(viFlush(s, VI_WRITE_BUF), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, ";*OPC?\n"), VI_SUCCESS);
  ViInt32 opc = 0;
  ASSERT_EQ(viScanf(s, "%ld", &opc), VI_SUCCESS);
  EXPECT_EQ(opc, 1);
  EXPECT_EQ(viFlush(s, 0), VI_ERROR_INV_MASK);
  EXPECT_EQ(emu.transcript().lines(), (Lines{"*CLS;*OPC?"}));
}

TEST_F(VisaSocket, StatusDescriptions) {
  char text[256];
  EXPECT_EQ(viStatusDesc(VI_NULL, VI_ERROR_TMO, text), VI_SUCCESS);
  EXPECT_STREQ(text, "VI_ERROR_TMO: Timeout expired before operation completed.");
  EXPECT_EQ(viStatusDesc(VI_NULL, 0x12345, text), VI_WARN_UNKNOWN_STATUS);
  EXPECT_STREQ(text, "Unknown status code 0x00012345.");
}

// A raw socket carries no clear to the instrument: a reply on its way when
// viClear is called is dropped on arrival, never read as the next answer.
// "On its way" is a matter of timing (the clear waits for the line to be
// quiet a moment), so a loaded machine gets a few tries; without the wait
// every try reads the late reply.
TEST_F(VisaSocket, AClearDropsAReplyStillOnItsWay) {
  constexpr int kTries = 5;
  emu.instrument().on("SLOW?", "late", kTries, emulator::Fault::delayed(1ms));
  VisaSession s(emu.resource());
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_TMO_VALUE, 100), VI_SUCCESS);
  std::string read_after_clear;
  for (int i = 0; i < kTries; ++i) {
    ASSERT_EQ(viPrintf(s, "SLOW?\n"), VI_SUCCESS);
    EXPECT_EQ(viClear(s), VI_SUCCESS);
    char reply[16];
    ViUInt32 got = 0;
    if (viRead(s, reinterpret_cast<ViBuf>(reply), sizeof reply, &got) == VI_ERROR_TMO && got == 0) return;
    read_after_clear.assign(reply, got);
  }
  ADD_FAILURE() << "every try read the reply after the clear, lastly \"" << read_after_clear << "\"";
}

}  // namespace
