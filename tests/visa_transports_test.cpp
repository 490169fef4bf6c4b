// SPDX-License-Identifier: MIT
// The same VISA behaviour over every transport: raw socket, VXI-11 and
// HiSLIP, each against the emulator over loopback.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/scripted_emulator.h"
#include "support/visa_session.h"
#include "visa.h"

namespace {

using namespace std::chrono_literals;
using emulator::Fault;
using testsupport::ScriptedEmulator;
using testsupport::VisaSession;
using testsupport::Wire;
using Lines = std::vector<std::string>;

class VisaTransport : public ::testing::TestWithParam<Wire> {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  ScriptedEmulator emu{GetParam()};
};

TEST_P(VisaTransport, CommandsAndQueriesArriveExactly) {
  emu.instrument().on("MEAS:ALL?", "5.00000,0.500000,2.50000");
  VisaSession s(emu.resource());
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "VOLT %0.15lg\n", 1.5), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "OUTP:STAT 1;*CLS\n"), VI_SUCCESS);
  double v[3] = {};
  ASSERT_EQ(viQueryf(s, "MEAS:ALL?\n", "%lf,%lf,%lf", &v[0], &v[1], &v[2]), VI_SUCCESS);
  EXPECT_DOUBLE_EQ(v[1], 0.5);
  EXPECT_DOUBLE_EQ(v[2], 2.5);
  emu.instrument().set_identity("Halmeric,Test,1,0.1");
  char idn[128] = "";
  ASSERT_EQ(viQueryf(s, "*IDN?\n", "%[^\n]", idn), VI_SUCCESS);
  EXPECT_STREQ(idn, "Halmeric,Test,1,0.1");
  EXPECT_EQ(emu.lines(4), (Lines{"VOLT 1.5", "OUTP:STAT 1;*CLS", "MEAS:ALL?", "*IDN?"}));
}

// Larger than one VXI-11 record or HiSLIP chunk either way: nothing lost or reordered.
TEST_P(VisaTransport, LargeMessagesArriveWhole) {
  std::string block;
  for (int i = 0; block.size() < 200000; ++i) block += std::to_string(i) + ",";
  block.pop_back();
  VisaSession s(emu.resource());
  ASSERT_EQ(viPrintf(s, "DATA %s\n", block.c_str()), VI_SUCCESS);
  std::vector<char> reply(block.size() + 16);
  ViUInt32 got = 0;
  ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("DATA?\n"), 6, &got), VI_SUCCESS);
  ViStatus st = viRead(s, reinterpret_cast<ViBuf>(reply.data()), static_cast<ViUInt32>(reply.size()), &got);
  EXPECT_EQ(st, testsupport::LineEndStatus(GetParam()));
  ASSERT_EQ(got, block.size() + 1);
  EXPECT_EQ(std::string(reply.data(), got), block + "\n");
  EXPECT_EQ(emu.lines(2).at(0), "DATA " + block);
}

// A 16 MiB reply, larger than a HiSLIP message may be and than a VXI-11 read
// returns at once (so it comes in many messages, or in many device_read calls
// with END on the last only): whole and in order, by one viRead and by a
// formatted read whose scan spans many refills of the session's buffer.
TEST_P(VisaTransport, ALargeReplyArrivesWhole) {
  std::string block(16 << 20, 'x');
  for (std::size_t i = 0; i < block.size(); i += 4093) block[i] = static_cast<char>('a' + i % 26);
  emu.instrument().on("BIG?", block, 2);
  VisaSession s(emu.resource());
  s.set_timeout(60000);
  ASSERT_EQ(viPrintf(s, "BIG?\n"), VI_SUCCESS);
  std::vector<char> reply(block.size() + 16);
  ViUInt32 got = 0;
  ASSERT_EQ(viRead(s, reinterpret_cast<ViBuf>(reply.data()), static_cast<ViUInt32>(reply.size()), &got),
            testsupport::LineEndStatus(GetParam()));
  ASSERT_EQ(got, block.size() + 1);
  EXPECT_TRUE(std::string_view(reply.data(), got - 1) == block);
  ViInt32 count = static_cast<ViInt32>(reply.size() - 1);
  ASSERT_EQ(viQueryf(s, "BIG?\n", "%#[^\n]", &count, reply.data()), VI_SUCCESS);
  ASSERT_EQ(static_cast<std::size_t>(count), block.size());
  EXPECT_TRUE(std::string_view(reply.data(), count) == block);
  // The session is in step afterwards.
  emu.instrument().set_identity("Halmeric,Test,1,0.1");
  char idn[64] = "";
  ASSERT_EQ(viQueryf(s, "*IDN?\n", "%63[^\n]", idn), VI_SUCCESS);
  EXPECT_STREQ(idn, "Halmeric,Test,1,0.1");
}

TEST_P(VisaTransport, SmallReadsTakeAReplyPieceByPiece) {
  emu.instrument().on("LONG?", "abcdefghij");
  VisaSession s(emu.resource());
  ViUInt32 got = 0;
  ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("LONG?\n"), 6, &got), VI_SUCCESS);
  char piece[4];
  std::string all;
  ViStatus st;
  do {
    st = viRead(s, reinterpret_cast<ViBuf>(piece), sizeof piece, &got);
    all.append(piece, got);
  } while (st == VI_SUCCESS_MAX_CNT);
  EXPECT_EQ(st, testsupport::LineEndStatus(GetParam()));
  EXPECT_EQ(all, "abcdefghij\n");
}

TEST_P(VisaTransport, TimeoutsAndLateRepliesNeverMixUp) {
  emu.instrument().on("SLOW?", "late", 1, Fault::delayed(300ms));
  emu.instrument().fault("SILENT?", Fault::no_reply());
  VisaSession s(emu.resource());
  s.set_timeout(100);
  char text[32] = "untouched";
  EXPECT_EQ(viQueryf(s, "SILENT?\n", "%s", text), VI_ERROR_TMO);
  EXPECT_EQ(viQueryf(s, "SLOW?\n", "%s", text), VI_ERROR_TMO);
  EXPECT_STREQ(text, "untouched");
  std::this_thread::sleep_for(400ms);  // the late reply has arrived by now
  s.set_timeout(2000);
  ViInt32 opc = 0;
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%ld%*T", &opc), VI_SUCCESS) << "took the late reply";
  EXPECT_EQ(opc, 1);
}

// A query skips its discard step only when every message sent has been
// answered by a whole reply read; these leave a reply waiting, and the next
// query must still get its own.
TEST_P(VisaTransport, RepliesLeftUnreadNeverAnswerTheNextQuery) {
  emu.instrument().on("TWO?", "first\nsecond");
  VisaSession s(emu.resource());
  ViUInt32 got = 0;
  ViInt32 opc = 0;
  ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("*IDN?\n"), 6, &got), VI_SUCCESS);
  std::this_thread::sleep_for(100ms);  // the unread reply has arrived
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%ld%*T", &opc), VI_SUCCESS);
  EXPECT_EQ(opc, 1);
  char word[16] = "";
  ASSERT_EQ(viQueryf(s, "TWO?\n", "%15s", word), VI_SUCCESS);
  EXPECT_STREQ(word, "first");
  std::this_thread::sleep_for(100ms);
  opc = 0;
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%ld%*T", &opc), VI_SUCCESS) << "took the rest of the earlier reply";
  EXPECT_EQ(opc, 1);
}

// Look-ups are remembered per thread; a close must still refuse the handle
// on every thread at once and let go of the instrument (its lock) at once.
TEST_P(VisaTransport, AClosedSessionIsRefusedEverywhereAndLetsGoAtOnce) {
  ViSession rm = VI_NULL, a = VI_NULL, b = VI_NULL;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm, emu.resource().c_str(), VI_EXCLUSIVE_LOCK, 2000, &a), VI_SUCCESS);
  viSetAttribute(a, VI_ATTR_TERMCHAR_EN, VI_TRUE);
  ViInt32 opc = 0;
  ASSERT_EQ(viQueryf(a, "*OPC?\n", "%ld%*T", &opc), VI_SUCCESS);
  std::atomic<ViStatus> other{VI_SUCCESS};
  std::atomic<int> step{0};
  std::thread helper([&] {
    ViInt32 v = 0;
    other = viQueryf(a, "*OPC?\n", "%ld%*T", &v);  // this thread has looked the session up too
    step = 1;
    while (step != 2) std::this_thread::yield();
    other = viQueryf(a, "*OPC?\n", "%ld%*T", &v);
  });
  while (step != 1) std::this_thread::yield();
  EXPECT_EQ(other.load(), VI_SUCCESS);
  ASSERT_EQ(viClose(a), VI_SUCCESS);
  step = 2;
  helper.join();
  EXPECT_EQ(other.load(), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viQueryf(a, "*OPC?\n", "%ld%*T", &opc), VI_ERROR_INV_OBJECT);
  ViUInt32 got = 0;
  EXPECT_EQ(viWrite(a, reinterpret_cast<ViConstBuf>("*CLS\n"), 5, &got), VI_ERROR_INV_OBJECT);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viOpen(rm, emu.resource().c_str(), VI_EXCLUSIVE_LOCK, 500, &b), VI_SUCCESS) << "the lock was kept";
  EXPECT_LT(std::chrono::steady_clock::now() - start, 400ms);
  EXPECT_EQ(viClose(rm), VI_SUCCESS);
}

TEST_P(VisaTransport, AnUnfinishedReplyTimesOutAndTheNextQueryIsClean) {
  emu.instrument().on("PART?", "12345", 1, Fault::partial(3));
  VisaSession s(emu.resource());
  s.set_timeout(150);
  ViInt32 v = 0;
  EXPECT_EQ(viQueryf(s, "PART?\n", "%ld%*t", &v), VI_ERROR_TMO);
  s.set_timeout(2000);
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%ld", &v), VI_SUCCESS);
  EXPECT_EQ(v, 1);
}

TEST_P(VisaTransport, ClearDropsWhatWasPendingAndTheSessionCarriesOn) {
  emu.instrument().on("A?", "alpha");
  VisaSession s(emu.resource());
  ViUInt32 got = 0;
  ASSERT_EQ(viWrite(s, reinterpret_cast<ViConstBuf>("A?\n"), 3, &got), VI_SUCCESS);
  ASSERT_TRUE(emu.transcript().wait_for(1, 5s));
  std::this_thread::sleep_for(50ms);  // the reply is on its way back
  EXPECT_EQ(viClear(s), VI_SUCCESS);
  char text[16] = "";
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%s", text), VI_SUCCESS);
  EXPECT_STREQ(text, "1") << "read the reply the clear should have dropped";
}

// Over VXI-11 the instrument destroys the link; over the others it closes the connection.
TEST_P(VisaTransport, ADroppedClientIsReportedOnEveryLaterCall) {
  if (GetParam() == Wire::Serial) GTEST_SKIP() << "a serial line has no connection for the instrument to drop";
  emu.instrument().fault("BYE?", Fault::close());
  VisaSession s(emu.resource());
  s.set_timeout(2000);
  char text[32];
  EXPECT_EQ(viQueryf(s, "BYE?\n", "%s", text), VI_ERROR_CONN_LOST);
  EXPECT_EQ(viPrintf(s, "*CLS\n"), VI_ERROR_CONN_LOST);
  ViByte buf[4];
  ViUInt32 got = 7;
  EXPECT_EQ(viRead(s, buf, sizeof buf, &got), VI_ERROR_CONN_LOST);
  EXPECT_EQ(got, 0u);
}

TEST_P(VisaTransport, HalfAReplyAndThenADroppedClientIsALostConnection) {
  if (GetParam() == Wire::Serial) GTEST_SKIP() << "a serial line has no connection for the instrument to drop";
  emu.instrument().on("HALF?", "1234567890", 1, Fault::partial(4, true));
  VisaSession s(emu.resource());
  s.set_timeout(2000);
  char text[32];
  EXPECT_EQ(viQueryf(s, "HALF?\n", "%s", text), VI_ERROR_CONN_LOST);
  EXPECT_EQ(viPrintf(s, "*CLS\n"), VI_ERROR_CONN_LOST);
}

TEST_P(VisaTransport, AnInstrumentThatGoesAwayIsReportedNotWaitedFor) {
  VisaSession s(emu.resource());
  char text[8];
  ASSERT_EQ(viQueryf(s, "*OPC?\n", "%s", text), VI_SUCCESS);
  emu.stop();
  s.set_timeout(2000);
  auto start = std::chrono::steady_clock::now();
  ViStatus st = viQueryf(s, "*OPC?\n", "%s", text);
  EXPECT_EQ(st, VI_ERROR_CONN_LOST);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1900ms) << "waited for the timeout";
}

TEST_P(VisaTransport, ThreadsSharingASessionGetTheirOwnAnswers) {
  emu.instrument().on("A?", "alpha", emulator::ScriptedInstrument::kForever);
  emu.instrument().on("B?", "bravo", emulator::ScriptedInstrument::kForever);
  VisaSession s(emu.resource());
  auto worker = [&](const char* query, const char* expected, int& wrong) {
    for (int i = 0; i < 100; ++i) {
      char text[16] = "";
      if (viQueryf(s, query, "%s", text) != VI_SUCCESS || std::string(text) != expected) ++wrong;
    }
  };
  int wrong_a = 0, wrong_b = 0;
  std::thread a([&] { worker("A?\n", "alpha", wrong_a); });
  std::thread b([&] { worker("B?\n", "bravo", wrong_b); });
  a.join();
  b.join();
  EXPECT_EQ(wrong_a, 0);
  EXPECT_EQ(wrong_b, 0);
}

TEST_P(VisaTransport, SessionsOnOneInstrumentAreIndependent) {
  emu.instrument().on("BLOCK?", "x", 1, Fault::no_reply());
  VisaSession blocked(emu.resource());
  VisaSession free_one(emu.resource());
  if (GetParam() == Wire::Serial || GetParam() == Wire::Usb) {
    // A serial port, and a USB interface, has one holder at a time.
    EXPECT_EQ(free_one.open_status(), VI_ERROR_RSRC_BUSY);
    return;
  }
  blocked.set_timeout(1000);
  std::atomic<bool> blocked_done{false};
  std::atomic<bool> free_done_first{false};
  std::thread waiter([&] {
    char text[8];
    EXPECT_EQ(viQueryf(blocked, "BLOCK?\n", "%s", text), VI_ERROR_TMO);
    blocked_done = true;
  });
  ASSERT_TRUE(emu.transcript().wait_for(1, 5s));
  ViInt32 opc = 0;
  EXPECT_EQ(viQueryf(free_one, "*OPC?\n", "%ld", &opc), VI_SUCCESS);
  free_done_first = !blocked_done;
  waiter.join();
  EXPECT_TRUE(free_done_first) << "the second session waited for the first";
}

INSTANTIATE_TEST_SUITE_P(Wires, VisaTransport, ::testing::Values(Wire::Socket, Wire::Vxi11, Wire::Hislip, Wire::Serial, Wire::Usb),
                         [](const auto& info) { return std::string(testsupport::WireName(info.param)); });

}  // namespace
