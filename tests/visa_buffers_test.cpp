// SPDX-License-Identifier: MIT
// The buffer, string and file functions, and the standard functions a LAN
// resource does not support, through the C API against the emulator.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/scripted_emulator.h"
#include "support/visa_session.h"
#include "visa.h"

namespace {

using namespace std::chrono_literals;
using testsupport::ScriptedEmulator;
using testsupport::VisaSession;
using Lines = std::vector<std::string>;

class VisaBuffers : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  std::string TempPath(const char* name) const {
    return "/tmp/zevra-visa-" + std::to_string(getpid()) + "-" + name;
  }
  ScriptedEmulator emu;
};

TEST_F(VisaBuffers, BufferedWritesWaitForTheFlush) {
  VisaSession s(emu.resource());
  ViUInt32 count = 0;
  ASSERT_EQ(viBufWrite(s, reinterpret_cast<ViConstBuf>("VOLT 1\n"), 7, &count), VI_SUCCESS);
  EXPECT_EQ(count, 7u);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(emu.transcript().lines().empty());
  ASSERT_EQ(viFlush(s, VI_WRITE_BUF), VI_SUCCESS);
  EXPECT_EQ(emu.lines(1), (Lines{"VOLT 1"}));
  // A write buffer of 4 bytes sends as it fills.
  ASSERT_EQ(viSetBuf(s, VI_WRITE_BUF, 4), VI_SUCCESS);
  ASSERT_EQ(viBufWrite(s, reinterpret_cast<ViConstBuf>("CURR 2\n"), 7, &count), VI_SUCCESS);
  EXPECT_EQ(emu.lines(2), (Lines{"VOLT 1", "CURR 2"}));
  EXPECT_EQ(viSetBuf(s, 0x100, 4), VI_ERROR_INV_MASK);
  EXPECT_EQ(viBufWrite(s, nullptr, 3, &count), VI_ERROR_USER_BUF);
  // Buffered and plain reads take the same bytes in turn.
  emu.instrument().on("DATA?", "abcdef");
  ASSERT_EQ(viPrintf(s, "DATA?\n"), VI_SUCCESS);
  char part[4] = "";
  ASSERT_EQ(viBufRead(s, reinterpret_cast<ViBuf>(part), 3, &count), VI_SUCCESS_MAX_CNT);
  EXPECT_EQ(std::string(part, count), "abc");
  char rest[16] = "";
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(rest), sizeof rest, &count), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(rest, count), "def\n");
}

// A formatted message goes out straight from where it was formatted only when
// nothing is buffered before it and it fits the buffer; otherwise through the
// buffer. Either way the instrument sees the bytes in the order they were given.
TEST_F(VisaBuffers, FormattedMessagesFollowBytesAlreadyBuffered) {
  VisaSession s(emu.resource());
  ViUInt32 count = 0;
  ASSERT_EQ(viBufWrite(s, reinterpret_cast<ViConstBuf>("VOLT 1;"), 7, &count), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "CURR %d\n", 2), VI_SUCCESS);
  EXPECT_EQ(emu.lines(1), (Lines{"VOLT 1;CURR 2"}));
  ASSERT_EQ(viPrintf(s, "OUTP %s\nOUTP?\n", "ON"), VI_SUCCESS);
  EXPECT_EQ(emu.lines(3), (Lines{"VOLT 1;CURR 2", "OUTP ON", "OUTP?"}));
  // Longer than the buffer: sent in the buffer's pieces, still one line.
  ASSERT_EQ(viSetBuf(s, VI_WRITE_BUF, 4), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "VOLT:PROT %d\n", 30), VI_SUCCESS);
  EXPECT_EQ(emu.lines(4), (Lines{"VOLT 1;CURR 2", "OUTP ON", "OUTP?", "VOLT:PROT 30"}));
}

TEST_F(VisaBuffers, StringFormattingUsesTheSameConversions) {
  VisaSession s(emu.resource());
  char text[64] = "";
  ASSERT_EQ(viSPrintf(s, reinterpret_cast<ViBuf>(text), "VOLT %0.15lg;CURR %ld\n", 1.5, static_cast<ViInt32>(7)),
            VI_SUCCESS);
  EXPECT_STREQ(text, "VOLT 1.5;CURR 7\n");
  double v = 0;
  ViInt32 n = 0;
  char word[16] = "";
  ASSERT_EQ(viSScanf(s, reinterpret_cast<ViConstBuf>("1.25,42,ok\n"), "%lf,%ld,%15s", &v, &n, word), VI_SUCCESS);
  EXPECT_DOUBLE_EQ(v, 1.25);
  EXPECT_EQ(n, 42);
  EXPECT_STREQ(word, "ok");
  EXPECT_EQ(viSScanf(s, reinterpret_cast<ViConstBuf>("x"), "%ld", &n), VI_ERROR_INV_FMT);
  EXPECT_EQ(viSPrintf(0xDEAD, reinterpret_cast<ViBuf>(text), "x"), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viSPrintf(s, nullptr, "x"), VI_ERROR_USER_BUF);
  EXPECT_TRUE(emu.transcript().lines().empty());  // nothing went to the instrument
}

TEST_F(VisaBuffers, FilesGoOutAndComeBackWhole) {
  emu.instrument().set_identity("Halmeric,Test,1,0.1");
  VisaSession s(emu.resource());
  const std::string out = TempPath("out.txt"), in = TempPath("in.txt");
  std::ofstream(out) << "*IDN?\n";
  ViUInt32 count = 0;
  ASSERT_EQ(viWriteFromFile(s, out.c_str(), 100, &count), VI_SUCCESS);
  EXPECT_EQ(count, 6u);
  ASSERT_EQ(viReadToFile(s, in.c_str(), 1000, &count), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(count, 20u);
  std::stringstream got;
  got << std::ifstream(in).rdbuf();
  EXPECT_EQ(got.str(), "Halmeric,Test,1,0.1\n");
  EXPECT_EQ(viWriteFromFile(s, "/nonexistent/file", 10, &count), VI_ERROR_INV_PARAMETER);
  EXPECT_EQ(viReadToFile(s, nullptr, 10, &count), VI_ERROR_INV_PARAMETER);
  EXPECT_EQ(emu.lines(1), (Lines{"*IDN?"}));
  std::remove(out.c_str());
  std::remove(in.c_str());
}

ViStatus Handler(ViSession, ViEventType, ViEvent, ViAddr) { return VI_SUCCESS; }

TEST_F(VisaBuffers, WhatALanResourceDoesNotSupport) {
  VisaSession s(emu.resource());
  ViUInt8 u8 = 1;
  ViUInt16 u16 = 1;
  ViUInt32 u32 = 1;
  ViUInt64 u64 = 1;
  ViBusAddress address = 1;
  ViAddr mapped = &u8;
  ViJobId job = 0;
  using Call = std::function<ViStatus(ViSession)>;
  const std::vector<std::pair<const char*, Call>> calls = {
      {"viGpibControlREN", [&](ViSession vi) { return viGpibControlREN(vi, 1); }},
      {"viGpibControlATN", [&](ViSession vi) { return viGpibControlATN(vi, 1); }},
      {"viGpibSendIFC", [&](ViSession vi) { return viGpibSendIFC(vi); }},
      {"viGpibCommand", [&](ViSession vi) { return viGpibCommand(vi, &u8, 1, &u32); }},
      {"viGpibPassControl", [&](ViSession vi) { return viGpibPassControl(vi, 1, 0); }},
      {"viVxiCommandQuery", [&](ViSession vi) { return viVxiCommandQuery(vi, 0, 0, &u32); }},
      {"viAssertUtilSignal", [&](ViSession vi) { return viAssertUtilSignal(vi, 0); }},
      {"viAssertIntrSignal", [&](ViSession vi) { return viAssertIntrSignal(vi, 0, 0); }},
      {"viMapTrigger", [&](ViSession vi) { return viMapTrigger(vi, 0, 0, 0); }},
      {"viUnmapTrigger", [&](ViSession vi) { return viUnmapTrigger(vi, 0, 0); }},
      {"viUsbControlOut", [&](ViSession vi) { return viUsbControlOut(vi, 0, 0, 0, 0, 1, &u8); }},
      {"viUsbControlIn", [&](ViSession vi) { return viUsbControlIn(vi, 0, 0, 0, 0, 1, &u8, &u16); }},
      {"viIn8", [&](ViSession vi) { return viIn8(vi, 0, 0, &u8); }},
      {"viIn16", [&](ViSession vi) { return viIn16(vi, 0, 0, &u16); }},
      {"viIn32", [&](ViSession vi) { return viIn32(vi, 0, 0, &u32); }},
      {"viIn64", [&](ViSession vi) { return viIn64(vi, 0, 0, &u64); }},
      {"viOut8", [&](ViSession vi) { return viOut8(vi, 0, 0, 1); }},
      {"viOut16", [&](ViSession vi) { return viOut16(vi, 0, 0, 1); }},
      {"viOut32", [&](ViSession vi) { return viOut32(vi, 0, 0, 1); }},
      {"viOut64", [&](ViSession vi) { return viOut64(vi, 0, 0, 1); }},
      {"viIn8Ex", [&](ViSession vi) { return viIn8Ex(vi, 0, 0, &u8); }},
      {"viIn16Ex", [&](ViSession vi) { return viIn16Ex(vi, 0, 0, &u16); }},
      {"viIn32Ex", [&](ViSession vi) { return viIn32Ex(vi, 0, 0, &u32); }},
      {"viIn64Ex", [&](ViSession vi) { return viIn64Ex(vi, 0, 0, &u64); }},
      {"viOut8Ex", [&](ViSession vi) { return viOut8Ex(vi, 0, 0, 1); }},
      {"viOut16Ex", [&](ViSession vi) { return viOut16Ex(vi, 0, 0, 1); }},
      {"viOut32Ex", [&](ViSession vi) { return viOut32Ex(vi, 0, 0, 1); }},
      {"viOut64Ex", [&](ViSession vi) { return viOut64Ex(vi, 0, 0, 1); }},
      {"viMoveIn8", [&](ViSession vi) { return viMoveIn8(vi, 0, 0, 1, &u8); }},
      {"viMoveIn16", [&](ViSession vi) { return viMoveIn16(vi, 0, 0, 1, &u16); }},
      {"viMoveIn32", [&](ViSession vi) { return viMoveIn32(vi, 0, 0, 1, &u32); }},
      {"viMoveIn64", [&](ViSession vi) { return viMoveIn64(vi, 0, 0, 1, &u64); }},
      {"viMoveOut8", [&](ViSession vi) { return viMoveOut8(vi, 0, 0, 1, &u8); }},
      {"viMoveOut16", [&](ViSession vi) { return viMoveOut16(vi, 0, 0, 1, &u16); }},
      {"viMoveOut32", [&](ViSession vi) { return viMoveOut32(vi, 0, 0, 1, &u32); }},
      {"viMoveOut64", [&](ViSession vi) { return viMoveOut64(vi, 0, 0, 1, &u64); }},
      {"viMove", [&](ViSession vi) { return viMove(vi, 0, 0, 1, 0, 0, 1, 1); }},
      {"viMoveAsync", [&](ViSession vi) { return viMoveAsync(vi, 0, 0, 1, 0, 0, 1, 1, &job); }},
      {"viMapAddress", [&](ViSession vi) { return viMapAddress(vi, 0, 0, 1, VI_FALSE, VI_NULL, &mapped); }},
      {"viUnmapAddress", [&](ViSession vi) { return viUnmapAddress(vi); }},
      {"viMemAlloc", [&](ViSession vi) { return viMemAlloc(vi, 1, &address); }},
      {"viMemFree", [&](ViSession vi) { return viMemFree(vi, 0); }},
      {"viEnableEvent", [&](ViSession vi) { return viEnableEvent(vi, VI_EVENT_SERVICE_REQ, VI_QUEUE, 0); }},
      {"viInstallHandler", [&](ViSession vi) { return viInstallHandler(vi, VI_EVENT_SERVICE_REQ, Handler, VI_NULL); }},
  };
  for (const auto& [name, call] : calls) {
    EXPECT_EQ(call(0xDEAD), VI_ERROR_INV_OBJECT) << name;
    EXPECT_EQ(call(s.rm()), VI_ERROR_NSUP_OPER) << name;
    ViStatus expected = std::string(name) == "viEnableEvent" || std::string(name) == "viInstallHandler"
                            ? VI_ERROR_INV_EVENT
                            : VI_ERROR_NSUP_OPER;
    EXPECT_EQ(call(s), expected) << name;
  }
  EXPECT_EQ(mapped, static_cast<ViAddr>(nullptr));
  EXPECT_EQ(address, 0u);
  viPeek32(s, &u32, &u32);
  EXPECT_EQ(u32, 0u);
  // The session is as usable as before.
  ASSERT_EQ(viPrintf(s, "*CLS\n"), VI_SUCCESS);
  EXPECT_EQ(emu.lines(1), (Lines{"*CLS"}));
}

}  // namespace
