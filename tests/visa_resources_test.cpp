// SPDX-License-Identifier: MIT
// Resource names through the C API: parsing, aliases and listed resources
// from the configuration file, and finding them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/scripted_emulator.h"
#include "visa.h"

namespace {

using testsupport::ScriptedEmulator;

// A configuration file for the resource managers opened while it lives.
class VisaConf {
 public:
  explicit VisaConf(const std::string& text) {
    path_ = "/tmp/zevra-visa-conf-" + std::to_string(getpid()) + ".conf";
    std::ofstream(path_) << text;
    setenv("ZEVRA_VISA_CONF", path_.c_str(), 1);
  }
  ~VisaConf() {
    unsetenv("ZEVRA_VISA_CONF");
    std::remove(path_.c_str());
  }

 private:
  std::string path_;
};

class VisaResources : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emu.started()) << emu.error();
    conf = std::make_unique<VisaConf>("# the bench\n"
                                      "discovery-window 0   # configured resources only, and the ports\n"
                                      "alias psu " + emu.resource() + "   # the supply\n"
                                      "resource TCPIP0::192.0.2.7::inst0::INSTR\n"
                                      "resource TCPIP1::192.0.2.8::hislip0,4881::INSTR\n"
                                      "alias dmm TCPIP::192.0.2.9\n"
                                      "\n"
                                      "resource TCPIP0::192.0.2.7::inst0::INSTR\n"  // listed once
                                      "frobnicate x\n"
                                      "alias bad::name TCPIP0::h::1::SOCKET\n"
                                      "alias psu TCPIP0::h::2::SOCKET\n"
                                      "resource VXI0::5::INSTR\n"
                                      "discovery-window 99999\n");
    testing::internal::CaptureStderr();
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    problems = testing::internal::GetCapturedStderr();
  }
  void TearDown() override { viClose(rm); }

  ScriptedEmulator emu;
  std::unique_ptr<VisaConf> conf;
  ViSession rm = VI_NULL;
  std::string problems;
};

TEST_F(VisaResources, BadLinesAreNamedAndSkipped) {
  EXPECT_NE(problems.find("line 9: unknown entry 'frobnicate'"), std::string::npos) << problems;
  EXPECT_NE(problems.find("line 10: 'bad::name' cannot be an alias"), std::string::npos) << problems;
  EXPECT_NE(problems.find("line 11: the alias 'psu' is given twice"), std::string::npos) << problems;
  EXPECT_NE(problems.find("line 12: 'VXI0::5::INSTR' is not a resource this library opens"), std::string::npos)
      << problems;
  EXPECT_NE(problems.find("line 13: want discovery-window MILLISECONDS (0 to 10000); the line is skipped"),
            std::string::npos)
      << problems;
}

TEST(VisaConfFile, ControlCharactersOfABadLineAreShownEscaped) {
  static constexpr char kNulInAName[] = "alias n\0ul TCPIP0::h::3::SOCKET\n";
  VisaConf conf(std::string("alias \x1b]0;owned\x07x TCPIP0::h::1::SOCKET\n") +
                "resource \x1b[2JTCPIP0::h::2::SOCKET\n" + std::string(kNulInAName, sizeof kNulInAName - 1));
  ViSession rm = VI_NULL;
  testing::internal::CaptureStderr();
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  const std::string problems = testing::internal::GetCapturedStderr();
  viClose(rm);
  EXPECT_NE(problems.find("line 1: '\\x1b]0;owned\\x07x' cannot be an alias"), std::string::npos) << problems;
  EXPECT_NE(problems.find("line 2: '\\x1b[2JTCPIP0::h::2::SOCKET' is not a resource"), std::string::npos) << problems;
  EXPECT_NE(problems.find("line 3: 'n\\x00ul' cannot be an alias (letters, digits, '_', '-', '.'); the line is "
                          "skipped\n"),
            std::string::npos)
      << problems;
  EXPECT_EQ(problems.find_first_of(std::string("\x1b\x07\0", 3)), std::string::npos) << problems;
}

TEST(VisaConfFile, AByteOrderMarkIsNoPartOfTheFirstLine) {
  ScriptedEmulator emu;
  ASSERT_TRUE(emu.started()) << emu.error();
  VisaConf conf("\xEF\xBB\xBF" "alias psu " + emu.resource() + "\r\n");  // as Notepad saves UTF-8
  ViSession rm = VI_NULL, vi = VI_NULL;
  testing::internal::CaptureStderr();
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(viOpen(rm, "psu", VI_NO_LOCK, 2000, &vi), VI_SUCCESS);
  viClose(rm);
}

TEST_F(VisaResources, ParseGivesTheExpandedNameAndAlias) {
  struct Row {
    std::string name;
    ViStatus status;
    const char* klass;
    ViUInt16 board;
    std::string expanded;
    const char* alias;
    ViUInt16 type = VI_INTF_TCPIP;
  };
  const Row rows[] = {
      {"psu", VI_SUCCESS, "SOCKET", 0, emu.resource(), "psu"},
      {"PSU", VI_SUCCESS, "SOCKET", 0, emu.resource(), "PSU"},
      {emu.resource(), VI_SUCCESS, "SOCKET", 0, emu.resource(), "psu"},  // the alias of a resource too
      {"TCPIP::192.0.2.9", VI_SUCCESS, "INSTR", 0, "TCPIP0::192.0.2.9::inst0::INSTR", "dmm"},
      {"tcpip2::h::hislip0", VI_SUCCESS, "INSTR", 2, "TCPIP2::h::hislip0::INSTR", ""},
      {"TCPIP0::h::hislip1,4900::INSTR", VI_SUCCESS, "INSTR", 0, "TCPIP0::h::hislip1,4900::INSTR", ""},
      {"TCPIP0::::5025::SOCKET", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"TCPIP0::h::5025::SOCKET::x", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"nonsense", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"ASRL1::INSTR", VI_SUCCESS, "INSTR", 1, "ASRL1::INSTR", "", VI_INTF_ASRL},
      {"asrl12", VI_SUCCESS, "INSTR", 12, "ASRL12::INSTR", "", VI_INTF_ASRL},
      {"ASRL/dev/ttyUSB0::INSTR", VI_SUCCESS, "INSTR", 0, "ASRL/dev/ttyUSB0::INSTR", "", VI_INTF_ASRL},
      {"ASRL0::INSTR", VI_ERROR_RSRC_NFOUND, "", 0, "", ""},
      {"ASRL/dev/odd:", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"ASRL/dev/odd:::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"USB0::0x1234::0x5678::SN1:::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"ASRL1::SOCKET", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"ASRLCOM1::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"USB0::0x1234::0x5678::SN1::INSTR", VI_SUCCESS, "INSTR", 0, "USB0::0x1234::0x5678::SN1::INSTR", "", VI_INTF_USB},
      {"usb::4660::0xabcd::SN1", VI_SUCCESS, "INSTR", 0, "USB0::0x1234::0xABCD::SN1::INSTR", "", VI_INTF_USB},
      {"USB2::0x1234::0x5678::SN1::3::RAW", VI_SUCCESS, "RAW", 2, "USB2::0x1234::0x5678::SN1::3::RAW", "", VI_INTF_USB},
      {"USB0::0x12345::0x5678::SN1::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"USB0::0x1234::0x5678::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"GPIB0::5::INSTR", VI_SUCCESS, "INSTR", 0, "GPIB0::5::INSTR", "", VI_INTF_GPIB},
      {"gpib2::30::0", VI_SUCCESS, "INSTR", 2, "GPIB2::30::0::INSTR", "", VI_INTF_GPIB},
      {"GPIB::INTFC", VI_SUCCESS, "INTFC", 0, "GPIB0::INTFC", "", VI_INTF_GPIB},
      {"GPIB0::31::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"GPIB0::5::31::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"GPIB0::5::1::2::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"GPIB0", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"GPIB-VXI0::5::INSTR", VI_ERROR_RSRC_NFOUND, "", 0, "", ""},
      {"PRLGX-TCPIP1::192.0.2.5::INTFC", VI_SUCCESS, "INTFC", 1, "PRLGX-TCPIP1::192.0.2.5::1234::INTFC", "",
       VI_INTF_GPIB},
      {"prlgx-tcpip::[::1]::5000::intfc", VI_SUCCESS, "INTFC", 0, "PRLGX-TCPIP0::[::1]::5000::INTFC", "",
       VI_INTF_GPIB},
      {"PRLGX-ASRL::/dev/ttyUSB0::INTFC", VI_SUCCESS, "INTFC", 0, "PRLGX-ASRL0::/dev/ttyUSB0::INTFC", "",
       VI_INTF_GPIB},
      {"PRLGX-TCPIP0::192.0.2.5::INSTR", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"PRLGX-TCPIP0::192.0.2.5::0::INTFC", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
      {"PRLGX-ASRL0::ttyUSB0::INTFC", VI_ERROR_INV_RSRC_NAME, "", 0, "", ""},
  };
  for (const Row& row : rows) {
    ViUInt16 type = 0, board = 99;
    char klass[VI_FIND_BUFLEN] = "", expanded[VI_FIND_BUFLEN] = "", alias[VI_FIND_BUFLEN] = "x";
    ASSERT_EQ(viParseRsrcEx(rm, row.name.c_str(), &type, &board, klass, expanded, alias), row.status) << row.name;
    if (row.status < 0) continue;
    EXPECT_EQ(type, row.type) << row.name;
    EXPECT_EQ(board, row.board) << row.name;
    EXPECT_STREQ(klass, row.klass) << row.name;
    EXPECT_EQ(expanded, row.expanded) << row.name;
    EXPECT_STREQ(alias, row.alias) << row.name;
    ViUInt16 short_type = 0, short_board = 99;
    EXPECT_EQ(viParseRsrc(rm, row.name.c_str(), &short_type, &short_board), VI_SUCCESS);
    EXPECT_EQ(short_board, row.board);
  }
  ViUInt16 type = 0, board = 0;
  EXPECT_EQ(viParseRsrc(rm, nullptr, &type, &board), VI_ERROR_INV_RSRC_NAME);
  EXPECT_EQ(viParseRsrc(0xDEAD, "psu", &type, &board), VI_ERROR_INV_OBJECT);
}

TEST_F(VisaResources, AnAliasOpens) {
  emu.instrument().set_identity("Halmeric,Test,1,0.1");
  ViSession vi = VI_NULL;
  ASSERT_EQ(viOpen(rm, "psu", VI_NO_LOCK, 2000, &vi), VI_SUCCESS);
  char name[256] = "";
  ASSERT_EQ(viGetAttribute(vi, VI_ATTR_RSRC_NAME, name), VI_SUCCESS);
  EXPECT_EQ(name, emu.resource());
  ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS);
  char idn[64] = "";
  ASSERT_EQ(viQueryf(vi, "*IDN?\n", "%63[^\n]", idn), VI_SUCCESS);
  EXPECT_STREQ(idn, "Halmeric,Test,1,0.1");
}

std::vector<std::string> FindAll(ViSession rm, const char* expression, ViStatus& status) {
  std::vector<std::string> found;
  ViFindList list = VI_NULL;
  ViUInt32 count = 99;
  char desc[VI_FIND_BUFLEN] = "";
  status = viFindRsrc(rm, expression, &list, &count, desc);
  if (status < 0) {
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(list, static_cast<ViFindList>(VI_NULL));
    return found;
  }
  found.push_back(desc);
  while (viFindNext(list, desc) == VI_SUCCESS) found.push_back(desc);
  EXPECT_EQ(found.size(), count);
  EXPECT_EQ(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(viClose(list), VI_SUCCESS);
  EXPECT_EQ(viFindNext(list, desc), VI_ERROR_INV_OBJECT);
  return found;
}

TEST_F(VisaResources, FindListsTheConfiguredResources) {
  using Names = std::vector<std::string>;
  ViStatus st = VI_SUCCESS;
  const std::string psu = emu.resource();
  // Serial ports this machine has are listed too: the patterns here name LAN resources.
  EXPECT_EQ(FindAll(rm, "TCPIP?*", st), (Names{psu, "TCPIP0::192.0.2.7::inst0::INSTR",
                                          "TCPIP1::192.0.2.8::hislip0,4881::INSTR", "TCPIP0::192.0.2.9::inst0::INSTR"}));
  EXPECT_EQ(FindAll(rm, "TCPIP?*INSTR", st),
            (Names{"TCPIP0::192.0.2.7::inst0::INSTR", "TCPIP1::192.0.2.8::hislip0,4881::INSTR",
                   "TCPIP0::192.0.2.9::inst0::INSTR"}));
  EXPECT_EQ(FindAll(rm, "TCPIP?*{VI_ATTR_INTF_NUM == 1}", st), (Names{"TCPIP1::192.0.2.8::hislip0,4881::INSTR"}));
  EXPECT_EQ(FindAll(rm, "?*::SOCKET", st), (Names{psu}));
  EXPECT_EQ(FindAll(rm, "GPIB?*", st), Names{});
  EXPECT_EQ(st, VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(FindAll(rm, "(", st), Names{});
  EXPECT_EQ(st, VI_ERROR_INV_EXPR);
  // Without a list asked for, only the first and the count.
  ViUInt32 count = 0;
  char desc[VI_FIND_BUFLEN] = "";
  EXPECT_EQ(viFindRsrc(rm, "TCPIP?*INSTR", VI_NULL, &count, desc), VI_SUCCESS);
  EXPECT_EQ(count, 3u);
  EXPECT_STREQ(desc, "TCPIP0::192.0.2.7::inst0::INSTR");
  EXPECT_EQ(viFindRsrc(rm, nullptr, VI_NULL, &count, desc), VI_ERROR_INV_EXPR);
  // Closing the resource manager closes its lists.
  ViFindList list = VI_NULL;
  ASSERT_EQ(viFindRsrc(rm, "?*", &list, &count, desc), VI_SUCCESS);
  ASSERT_EQ(viClose(rm), VI_SUCCESS);
  EXPECT_EQ(viFindNext(list, desc), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viFindRsrc(rm, "?*", &list, &count, desc), VI_ERROR_INV_OBJECT);
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
}

TEST(VisaResourcesWithoutConf, AMissingFileIsEmpty) {
  setenv("ZEVRA_VISA_CONF", "/nonexistent/visa.conf", 1);
  ViSession rm = VI_NULL;
  testing::internal::CaptureStderr();
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ViUInt32 count = 7;
  char desc[VI_FIND_BUFLEN] = "x";
  // Addresses kept for documentation, which nothing on a network answers from.
  EXPECT_EQ(viFindRsrc(rm, "TCPIP?*{VI_ATTR_TCPIP_HOSTNAME == \"198.51.100.?*\"}", VI_NULL, &count, desc),
            VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(count, 0u);
  EXPECT_STREQ(desc, "");
  viClose(rm);
  unsetenv("ZEVRA_VISA_CONF");
}

// What the environment names is read only when it is a file of sensible size:
// a FIFO would hold every program at its first resource manager, /dev/zero
// would be read until memory ran out.
TEST(VisaResourcesWithoutConf, AFifoOrADeviceIsRefusedAtOnce) {
  const std::string fifo = "/tmp/zevra-visa-fifo-" + std::to_string(getpid());
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    setenv("ZEVRA_VISA_CONF", path.c_str(), 1);
    ViSession rm = VI_NULL;
    testing::internal::CaptureStderr();
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "visa: " + path + ": not a regular file; the file is ignored\n");
    viClose(rm);
  }
  unsetenv("ZEVRA_VISA_CONF");
  std::remove(fifo.c_str());
}

// A configuration of thousands of aliases reads in linear time, once while it
// is unchanged: its one bad line is reported by the first resource manager only.
TEST(VisaResourcesWithoutConf, ManyAliasesAreReadOnceAndQuickly) {
  std::string text = "frobnicate x\n";
  constexpr int kAliases = 20000;
  for (int i = 0; i < kAliases; ++i)
    text += "alias bench" + std::to_string(i) + " TCPIP0::192.0.2." + std::to_string(i % 250) + "::" +
            std::to_string(1000 + i) + "::SOCKET\n";
  const auto start = std::chrono::steady_clock::now();
  VisaConf conf(text);
  std::vector<ViSession> managers(3);
  std::vector<std::string> said;
  for (ViSession& rm : managers) {
    testing::internal::CaptureStderr();
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    said.push_back(testing::internal::GetCapturedStderr());
  }
  EXPECT_NE(said[0].find("line 1: unknown entry 'frobnicate'"), std::string::npos) << said[0];
  EXPECT_EQ(said[1], "");
  EXPECT_EQ(said[2], "");
  ViUInt16 type = 0, board = 0;
  char klass[VI_FIND_BUFLEN], expanded[VI_FIND_BUFLEN], alias[VI_FIND_BUFLEN];
  ASSERT_EQ(viParseRsrcEx(managers[2], "BENCH19999", &type, &board, klass, expanded, alias), VI_SUCCESS);
  EXPECT_STREQ(expanded, "TCPIP0::192.0.2.249::20999::SOCKET");
  ASSERT_EQ(viParseRsrcEx(managers[2], "TCPIP0::192.0.2.0::1000::SOCKET", &type, &board, klass, expanded, alias),
            VI_SUCCESS);
  EXPECT_STREQ(alias, "bench0");
  for (ViSession rm : managers) viClose(rm);
  // A bound on a hang, far above the time taken: reading such a file took 9.8 s each time when it was quadratic.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

}  // namespace

namespace {

using Names = std::vector<std::string>;

// A VXI-11 instrument on loopback, found by its portmapper's answer over UDP.
TEST(VisaDiscovery, AVxi11InstrumentAnswersWithinTheWindowAndIsListedOnce) {
  ScriptedEmulator emu(testsupport::Wire::Vxi11);
  ASSERT_TRUE(emu.started()) << emu.error();
  const std::string found = "TCPIP0::127.0.0.1::inst0::INSTR";
  struct Row {
    const char* conf;
    Names expected;  // of "TCPIP?*"
  };
  const Row rows[] = {
      {"discovery-window 250\n", {found}},
      // Configured first; the answer from the same instrument adds nothing.
      {"discovery-window 250\nresource TCPIP0::192.0.2.7::inst0::INSTR\nresource tcpip::127.0.0.1\n",
       {"TCPIP0::192.0.2.7::inst0::INSTR", found}},
      {"discovery-window 0\n", {}},
  };
  for (const Row& row : rows) {
    VisaConf conf(row.conf);
    ViSession rm = VI_NULL;
    ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
    ViStatus st = VI_SUCCESS;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FindAll(rm, "TCPIP?*", st), row.expected) << row.conf;
    // The window bounds the wait; the rest is enumeration and, under a sanitizer, its overhead.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250 + 1000)) << row.conf;
    EXPECT_EQ(st, row.expected.empty() ? VI_ERROR_RSRC_NFOUND : VI_SUCCESS);
    viClose(rm);
  }
}

}  // namespace
