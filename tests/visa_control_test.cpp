// SPDX-License-Identifier: MIT
// The VISA calls beyond messages, through the C API against the emulator:
// the status byte, triggers, locks between sessions, and the event calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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
using testsupport::Wire;
using Lines = std::vector<std::string>;

class VisaControl : public ::testing::TestWithParam<Wire> {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  // A raw socket and a serial line carry the status byte and trigger as 488.2 strings.
  bool socket() const { return GetParam() == Wire::Socket || GetParam() == Wire::Serial; }
  ScriptedEmulator emu{GetParam()};
};

TEST_P(VisaControl, StatusByteWithTheMessageAvailableRule) {
  emu.instrument().on("*STB?", "36", 10);
  emu.instrument().set_identity("Halmeric,Test,1,0.1");
  VisaSession s(emu.resource());
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  ViUInt16 stb = 0xFFFF;
  if (socket()) {
    // A byte stream has no status byte of its own: only as 488.2 strings.
    EXPECT_EQ(viReadSTB(s, &stb), VI_ERROR_NSUP_OPER);
    ASSERT_EQ(viSetAttribute(s, VI_ATTR_IO_PROT, VI_PROT_4882_STRS), VI_SUCCESS);
  }
  ASSERT_EQ(viReadSTB(s, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 36);
  // A reply that waits unread is a message available (bit 4), and is still there to read.
  ASSERT_EQ(viPrintf(s, "*IDN?\n"), VI_SUCCESS);
  std::this_thread::sleep_for(50ms);
  ASSERT_EQ(viReadSTB(s, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 36 | 0x10);
  char idn[64] = "";
  ASSERT_EQ(viScanf(s, "%63[^\n]", idn), VI_SUCCESS);
  EXPECT_STREQ(idn, "Halmeric,Test,1,0.1");
  ASSERT_EQ(viReadSTB(s, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 36);
  EXPECT_EQ(viReadSTB(s, nullptr), VI_ERROR_USER_BUF);
  // VXI-11 and HiSLIP ask with messages of their own, not with a line.
  EXPECT_EQ(emu.lines(socket() ? 4 : 1), socket() ? Lines({"*STB?", "*IDN?", "*STB?", "*STB?"}) : Lines({"*IDN?"}));
}

TEST_P(VisaControl, TriggerReachesTheInstrument) {
  VisaSession s(emu.resource());
  ASSERT_EQ(s.open_status(), VI_SUCCESS);
  if (socket()) {
    EXPECT_EQ(viAssertTrigger(s, VI_TRIG_PROT_DEFAULT), VI_ERROR_NSUP_OPER);
    ASSERT_EQ(viSetAttribute(s, VI_ATTR_IO_PROT, VI_PROT_4882_STRS), VI_SUCCESS);
  }
  EXPECT_EQ(viAssertTrigger(s, 5), VI_ERROR_INV_PROT);
  ASSERT_EQ(viAssertTrigger(s, VI_TRIG_PROT_DEFAULT), VI_SUCCESS);
  ASSERT_EQ(viPrintf(s, "VOLT 1\n"), VI_SUCCESS);
  EXPECT_EQ(emu.lines(2), (Lines{socket() ? "*TRG" : "<trigger>", "VOLT 1"}));
}

INSTANTIATE_TEST_SUITE_P(Wires, VisaControl, ::testing::Values(Wire::Socket, Wire::Vxi11, Wire::Hislip, Wire::Serial, Wire::Usb),
                         [](const auto& info) { return std::string(testsupport::WireName(info.param)); });

class VisaLocks : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  ScriptedEmulator emu;
};

ViStatus Write(ViSession vi, const char* text) {
  ViUInt32 count = 0;
  return viWrite(vi, reinterpret_cast<ViConstBuf>(text), static_cast<ViUInt32>(std::string(text).size()), &count);
}

TEST_F(VisaLocks, ExclusiveLocksNestAndKeepOtherSessionsOut) {
  VisaSession a(emu.resource()), b(emu.resource());
  char key[256] = "untouched";
  ASSERT_EQ(viLock(a, VI_EXCLUSIVE_LOCK, 0, VI_NULL, key), VI_SUCCESS);
  EXPECT_STREQ(key, "untouched");  // an exclusive lock has no key
  EXPECT_EQ(viLock(a, VI_EXCLUSIVE_LOCK, 0, VI_NULL, VI_NULL), VI_SUCCESS_NESTED_EXCLUSIVE);
  ViAccessMode state = 0;
  ASSERT_EQ(viGetAttribute(b, VI_ATTR_RSRC_LOCK_STATE, &state), VI_SUCCESS);
  EXPECT_EQ(state, static_cast<ViAccessMode>(VI_EXCLUSIVE_LOCK));
  EXPECT_EQ(Write(b, "B\n"), VI_ERROR_RSRC_LOCKED);
  ViUInt16 stb = 0;
  EXPECT_EQ(viReadSTB(b, &stb), VI_ERROR_RSRC_LOCKED);
  EXPECT_EQ(viClear(b), VI_ERROR_RSRC_LOCKED);
  // Another session's lock request waits out its timeout.
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viLock(b, VI_EXCLUSIVE_LOCK, 100, VI_NULL, VI_NULL), VI_ERROR_TMO);
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 90ms);
  EXPECT_LT(waited, 200ms);
  EXPECT_EQ(Write(a, "A\n"), VI_SUCCESS);
  EXPECT_EQ(viUnlock(a), VI_SUCCESS_NESTED_EXCLUSIVE);
  EXPECT_EQ(Write(b, "B\n"), VI_ERROR_RSRC_LOCKED);
  EXPECT_EQ(viUnlock(b), VI_ERROR_SESN_NLOCKED);
  // Released from another thread, a waiting request is granted.
  std::thread releaser([&] {
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(viUnlock(a), VI_SUCCESS);
  });
  EXPECT_EQ(viLock(b, VI_EXCLUSIVE_LOCK, 5000, VI_NULL, VI_NULL), VI_SUCCESS);
  releaser.join();
  EXPECT_EQ(Write(a, "A\n"), VI_ERROR_RSRC_LOCKED);
  EXPECT_EQ(Write(b, "B\n"), VI_SUCCESS);
  EXPECT_EQ(viUnlock(b), VI_SUCCESS);
  EXPECT_EQ(viUnlock(a), VI_ERROR_SESN_NLOCKED);
  EXPECT_EQ(emu.lines(2), (Lines{"A", "B"}));
}

TEST_F(VisaLocks, SharedLocksAdmitTheSessionsWithTheKey) {
  VisaSession a(emu.resource()), b(emu.resource()), c(emu.resource());
  char key[256] = "";
  ASSERT_EQ(viLock(a, VI_SHARED_LOCK, 0, VI_NULL, key), VI_SUCCESS);
  ASSERT_NE(key[0], '\0');
  char same[256] = "";
  ASSERT_EQ(viLock(b, VI_SHARED_LOCK, 0, key, same), VI_SUCCESS);
  EXPECT_STREQ(same, key);
  EXPECT_EQ(viLock(b, VI_SHARED_LOCK, 0, key, same), VI_SUCCESS_NESTED_SHARED);
  EXPECT_EQ(viLock(c, VI_SHARED_LOCK, 50, "another key", same), VI_ERROR_TMO);
  // A shared holder cannot take the resource whole while another shares it.
  EXPECT_EQ(viLock(a, VI_EXCLUSIVE_LOCK, 50, VI_NULL, VI_NULL), VI_ERROR_TMO);
  ViAccessMode state = 0;
  ASSERT_EQ(viGetAttribute(c, VI_ATTR_RSRC_LOCK_STATE, &state), VI_SUCCESS);
  EXPECT_EQ(state, static_cast<ViAccessMode>(VI_SHARED_LOCK));
  EXPECT_EQ(Write(a, "A\n"), VI_SUCCESS);
  EXPECT_EQ(Write(b, "B\n"), VI_SUCCESS);
  EXPECT_EQ(Write(c, "C\n"), VI_ERROR_RSRC_LOCKED);
  EXPECT_EQ(viLock(c, 3, 0, VI_NULL, VI_NULL), VI_ERROR_INV_LOCK_TYPE);
  // Closing a session gives up its locks.
  ASSERT_EQ(viClose(a.vi()), VI_SUCCESS);
  EXPECT_EQ(viUnlock(b), VI_SUCCESS_NESTED_SHARED);
  EXPECT_EQ(Write(c, "C\n"), VI_ERROR_RSRC_LOCKED);
  EXPECT_EQ(viUnlock(b), VI_SUCCESS);
  EXPECT_EQ(Write(c, "C\n"), VI_SUCCESS);
  Lines received = emu.lines(3);  // from three connections: in any order
  std::sort(received.begin(), received.end());
  EXPECT_EQ(received, (Lines{"A", "B", "C"}));
}

TEST_F(VisaLocks, OpenCanAskForALock) {
  ViSession rm = VI_NULL, first = VI_NULL, second = VI_NULL;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  const std::string name = emu.resource();
  EXPECT_EQ(viOpen(rm, name.c_str(), 8, 0, &first), VI_ERROR_INV_ACC_MODE);
  ASSERT_EQ(viOpen(rm, name.c_str(), VI_EXCLUSIVE_LOCK, 0, &first), VI_SUCCESS);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viOpen(rm, name.c_str(), VI_SHARED_LOCK, 100, &second), VI_ERROR_RSRC_LOCKED);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms);
  EXPECT_EQ(second, static_cast<ViSession>(VI_NULL));
  EXPECT_EQ(viUnlock(first), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm, name.c_str(), VI_SHARED_LOCK, 100, &second), VI_SUCCESS);
  EXPECT_EQ(Write(first, "X\n"), VI_ERROR_RSRC_LOCKED);
  EXPECT_EQ(viClose(rm), VI_SUCCESS);
}

// A raw socket carries no service requests: the event calls check their
// arguments and find nothing to enable.
TEST_F(VisaLocks, EventCallsCheckTheirArguments) {
  VisaSession s(emu.resource());
  struct Case {
    const char* what;
    ViStatus got, expected;
  } cases[] = {
      {"enable SRQ on a socket", viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_ERROR_INV_EVENT},
      {"enable with no such mechanism", viEnableEvent(s, VI_EVENT_SERVICE_REQ, 9, VI_NULL), VI_ERROR_INV_MECH},
      {"enable handler and suspended handler", viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_HNDLR | VI_SUSPEND_HNDLR, 0),
       VI_ERROR_INV_MECH},
      {"disable all", viDisableEvent(s, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS_EVENT_DIS},
      {"discard all", viDiscardEvents(s, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS_QUEUE_EMPTY},
      {"disable an unknown type", viDisableEvent(s, 0x12345, VI_QUEUE), VI_ERROR_INV_EVENT},
      {"discard with no mechanism", viDiscardEvents(s, VI_ALL_ENABLED_EVENTS, 0), VI_ERROR_INV_MECH},
      {"wait for all, none enabled", viWaitOnEvent(s, VI_ALL_ENABLED_EVENTS, 0, VI_NULL, VI_NULL), VI_ERROR_NENABLED},
      {"install a null handler", viInstallHandler(s, VI_EVENT_SERVICE_REQ, nullptr, VI_NULL), VI_ERROR_INV_HNDLR_REF},
      {"uninstall on a socket", viUninstallHandler(s, VI_EVENT_SERVICE_REQ, VI_ANY_HNDLR, VI_NULL),
       VI_ERROR_INV_EVENT},
      {"disable on no session", viDisableEvent(0xDEAD, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_ERROR_INV_OBJECT},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
  ViEventType type = 1;
  ViEvent context = 1;
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 0, &type, &context), VI_ERROR_INV_EVENT);
  EXPECT_EQ(type, 0u);
  EXPECT_EQ(context, static_cast<ViEvent>(VI_NULL));
}

}  // namespace
