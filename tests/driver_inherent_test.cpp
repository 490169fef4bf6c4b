// SPDX-License-Identifier: MIT
// Inherent functions, direct I/O, error functions and the call frame, against
// the scripted instrument over loopback and in simulation.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/driver_helpers.h"
#include "support/scripted_emulator.h"
#include "support/temp_store.h"
#include "visa.h"

namespace {

using namespace testsupport;
using namespace std::chrono_literals;
using emulator::Fault;
using Lines = std::vector<std::string>;

class DriverInherent : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emu.started()) << emu.error();
    ASSERT_EQ(real.open(emu.resource(), "QueryInstrStatus=1"), VI_SUCCESS) << LastError(VI_NULL).text;
    ASSERT_EQ(simulated.open("sim", "Simulate=1"), VI_SUCCESS);
    emu.transcript().clear();
  }
  ScriptedEmulator emu;
  TempStore store{ZevraModule()};
  DriverHandle real;
  DriverHandle simulated;
};

TEST_F(DriverInherent, StatusCheckCountsOnlyErrorBits) {
  struct Case {
    int event_status;
    ViStatus expected;
  };
  for (const Case& c : {Case{16, IVI_ERROR_INSTRUMENT_STATUS}, Case{4, IVI_ERROR_INSTRUMENT_STATUS},
                        Case{1, VI_SUCCESS}, Case{128, VI_SUCCESS}, Case{64 | 2, VI_SUCCESS}}) {
    emu.instrument().set_event_status(c.event_status);
    EXPECT_EQ(ZEVRA_reset(real), c.expected) << c.event_status;
    if (c.expected < 0) {
      EXPECT_EQ(LastError(real).text, "Instrument error detected.  Use ErrorQuery() to determine the error(s).");
    }
  }
  EXPECT_EQ(emu.transcript().lines().size(), 15u);
  EXPECT_EQ(emu.transcript().lines()[0], "*RST");
  EXPECT_EQ(emu.transcript().lines()[1], "*OPC?");
  EXPECT_EQ(emu.transcript().lines()[2], "*ESR?");
}

TEST_F(DriverInherent, NoStatusQueryWhenCheckingIsOff) {
  DriverHandle plain;
  ASSERT_EQ(plain.open(emu.resource(), ""), VI_SUCCESS);
  emu.transcript().clear();
  ASSERT_EQ(ZEVRA_reset(plain), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_Disable(plain), VI_SUCCESS);
  EXPECT_EQ(emu.transcript().lines(), (Lines{"*RST", "*OPC?", "*RST", "*OPC?"}));
}

TEST_F(DriverInherent, ResetUsesItsOwnTimeoutAndRestoresTheSessionsTimeout) {
  ViSession io = Session(real).InstrumentSession();
  ASSERT_EQ(viSetAttribute(io, VI_ATTR_TMO_VALUE, 300), VI_SUCCESS);
  // Slower than the session's timeout, faster than the reset's 2000 ms.
  emu.instrument().on("*OPC?", "1", 1, Fault::delayed(600ms));
  EXPECT_EQ(ZEVRA_reset(real), VI_SUCCESS);
  ViUInt32 timeout = 0;
  ASSERT_EQ(viGetAttribute(io, VI_ATTR_TMO_VALUE, &timeout), VI_SUCCESS);
  EXPECT_EQ(timeout, 300u);
}

TEST_F(DriverInherent, CacheIsEmptiedByResetButNotByDisable) {
  auto mark = [](ViSession vi) { Session(vi).Cache().int32_store[1150001][""] = {true, 5}; };
  auto cached = [](ViSession vi) { return !Session(vi).Cache().int32_store.empty(); };
  mark(simulated);
  ASSERT_EQ(ZEVRA_Disable(simulated), VI_SUCCESS);
  EXPECT_TRUE(cached(simulated));
  ASSERT_EQ(ZEVRA_reset(simulated), VI_SUCCESS);
  EXPECT_FALSE(cached(simulated));

  mark(real);
  emu.instrument().set_event_status(32);
  EXPECT_EQ(ZEVRA_reset(real), IVI_ERROR_INSTRUMENT_STATUS);
  EXPECT_TRUE(cached(real)) << "a failed reset keeps the cache";
  ASSERT_EQ(ZEVRA_reset(real), VI_SUCCESS);
  EXPECT_FALSE(cached(real));
  mark(real);
  ASSERT_EQ(ZEVRA_InvalidateAllAttributes(real), VI_SUCCESS);
  EXPECT_FALSE(cached(real));
  EXPECT_TRUE(emu.transcript().lines().size() == 6u);
}

TEST_F(DriverInherent, ResetWithDefaultsRestoresTheInitialOptions) {
  DriverHandle vi;
  ASSERT_EQ(vi.open("sim", "Simulate=1, RangeCheck=0, Cache=1"), VI_SUCCESS);
  Session(vi).SetRangeCheck(true);
  Session(vi).SetCache(false);
  ASSERT_EQ(ZEVRA_ResetWithDefaults(vi), VI_SUCCESS);
  EXPECT_FALSE(Session(vi).GetRangeCheck());
  EXPECT_TRUE(Session(vi).GetCache());
}

TEST_F(DriverInherent, SelfTest) {
  emu.instrument().on("*TST?", "1");
  emu.instrument().on("*TST?", "0");
  ViInt16 result = -1;
  char message[256];
  EXPECT_EQ(ZEVRA_self_test(real, &result, message), VI_SUCCESS);
  EXPECT_EQ(result, 1);
  EXPECT_STREQ(message, "Selftest failed");
  EXPECT_EQ(ZEVRA_self_test(real, &result, message), VI_SUCCESS);
  EXPECT_EQ(result, 0);
  EXPECT_STREQ(message, "Selftest passed");
  EXPECT_EQ(emu.transcript().lines(), (Lines{"*TST?", "*ESR?", "*TST?", "*ESR?"}));

  result = 5;
  EXPECT_EQ(ZEVRA_self_test(simulated, &result, message), VI_SUCCESS);
  EXPECT_EQ(result, 0);
  EXPECT_STREQ(message, "Selftest passed");

  EXPECT_EQ(ZEVRA_self_test(real, &result, nullptr), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(real).text, "Null pointer passed for function 'ZEVRA_self_test', parameter 'TestMessage'.");
}

TEST_F(DriverInherent, ErrorQueryReplies) {
  struct Case {
    std::string reply;
    ViStatus status;
    ViInt32 code;
    std::string message;
  };
  const std::string long_message(400, 'm');
  const Case cases[] = {
      {"+0,\"No error\"", VI_SUCCESS, 0, "No error"},
      {"  -113 , \"Undefined header\"  ", VI_SUCCESS, -113, "Undefined header"},
      {"-222,Data out of range", VI_SUCCESS, -222, "Data out of range"},
      {"-350", IVI_ERROR_UNEXPECTED_RESPONSE, 99, "untouched"},
      {"abc,def", IVI_ERROR_UNEXPECTED_RESPONSE, 99, "untouched"},
      {"99999999999,\"big\"", IVI_ERROR_UNEXPECTED_RESPONSE, 99, "untouched"},
      {"-100," + long_message, VI_SUCCESS, -100, std::string(250, 'm')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    emu.instrument().on(":SYST:ERR?", c.reply);
    ViInt32 code = 99;
    char message[256 + 8];
    std::memset(message, '#', sizeof message);
    std::strcpy(message, "untouched");
    EXPECT_EQ(ZEVRA_error_query(real, &code, message), c.status);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(std::string(message), c.message);
    EXPECT_EQ(message[256], '#') << "wrote past the 256-byte buffer";
    if (c.status < 0) {
      EXPECT_EQ(LastError(real).text,
                "Unexpected response from instrument.  Failed to parse the response to the SYST:ERR? query.  The "
                "response is expected to be a comma-separated list of 2 items in the form '<error code>,<error "
                "message>'.");
    }
  }
  ViInt32 code = 5;
  char message[256];
  EXPECT_EQ(ZEVRA_error_query(simulated, &code, message), VI_SUCCESS);
  EXPECT_EQ(code, 0);
  EXPECT_STREQ(message, "No error.");
}

TEST_F(DriverInherent, ErrorQueryTestsPointersBeforeTakingTheLock) {
  ViBoolean has_lock = VI_FALSE;
  std::promise<void> locked, release;
  std::thread holder([&] {
    ZEVRA_LockSession(real, &has_lock);
    locked.set_value();
    release.get_future().wait();
    ZEVRA_UnlockSession(real, &has_lock);
  });
  locked.get_future().wait();
  char message[256];
  auto call = std::async(std::launch::async, [&] { return ZEVRA_error_query(real, nullptr, message); });
  bool returned_while_locked = call.wait_for(5s) == std::future_status::ready;
  release.set_value();
  holder.join();
  EXPECT_TRUE(returned_while_locked);
  EXPECT_EQ(call.get(), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(real).text, "Null pointer passed for function 'ZEVRA_error_query', parameter 'ErrorCode'.");
}

TEST_F(DriverInherent, RevisionQuery) {
  char driver[256], firmware[256];
  ASSERT_EQ(ZEVRA_revision_query(real, driver, firmware), VI_SUCCESS);
  EXPECT_STREQ(driver, "1.0.0.0");
  EXPECT_STREQ(firmware, "1.00");
  ASSERT_EQ(ZEVRA_revision_query(simulated, driver, firmware), VI_SUCCESS);
  EXPECT_STREQ(firmware, "Sim1.0.0.0");
  EXPECT_EQ(ZEVRA_revision_query(real, nullptr, firmware), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(real).text, "Null pointer passed for function 'ZEVRA_revision_query', parameter 'DriverRev'.");
  EXPECT_TRUE(emu.transcript().lines().empty());
}

TEST_F(DriverInherent, DirectIo) {
  ViInt64 count = -1;
  ASSERT_EQ(ZEVRA_viWrite(real, 6, "*IDN?\n", &count), VI_SUCCESS);
  EXPECT_EQ(count, 6);
  char buffer[8] = {};
  // A 4-byte buffer takes the start; the rest of the response is drained.
  EXPECT_EQ(ZEVRA_viRead(real, 4, buffer, &count), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(std::string(buffer, 4), "Halm");
  ASSERT_EQ(ZEVRA_viWrite(real, 6, "*OPC?\n", nullptr), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_viRead(real, sizeof buffer, buffer, nullptr), VI_SUCCESS_TERM_CHAR);
  EXPECT_EQ(std::string(buffer, 2), "1\n");
  EXPECT_EQ(emu.transcript().lines(), (Lines{"*IDN?", "*OPC?"}));

  for (int i = 0; i < 2; ++i) {
    ViStatus st = i == 0 ? ZEVRA_viWrite(simulated, 6, "*IDN?\n", &count) : ZEVRA_viRead(simulated, 8, buffer, &count);
    EXPECT_EQ(st, ZEVRA_ERROR_IO);
    EXPECT_EQ(LastError(simulated).text, "I/O error.  Direct I/O operations are not available in simulation mode.");
  }
}

TEST_F(DriverInherent, InvalidHandlesAnswerWithoutRecording) {
  ViSession closed = VI_NULL;
  char name[] = "sim";
  ASSERT_EQ(ZEVRA_InitWithOptions(name, VI_FALSE, VI_FALSE, "Simulate=1", &closed), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_close(closed), VI_SUCCESS);
  IviSession_ClearError(VI_NULL);
  ViInt16 result;
  ViInt32 code;
  ViInt64 count;
  char text[256];
  ViBoolean flag = VI_FALSE;
  for (ViSession vi : {ViSession{VI_NULL}, closed, ViSession{0x7FFFFFF}}) {
    EXPECT_EQ(ZEVRA_reset(vi), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_ResetWithDefaults(vi), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_Disable(vi), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_self_test(vi, &result, text), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_error_query(vi, &code, text), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_error_query(vi, nullptr, text), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_revision_query(vi, text, text), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_LockSession(vi, &flag), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_UnlockSession(vi, &flag), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_InvalidateAllAttributes(vi), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_viWrite(vi, 1, "x", &count), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_viRead(vi, 1, text, &count), IVI_ERROR_INVALID_SESSION_HANDLE);
    EXPECT_EQ(ZEVRA_close(vi), IVI_ERROR_INVALID_SESSION_HANDLE);
  }
  EXPECT_EQ(LastError(VI_NULL).code, 0);
}

TEST_F(DriverInherent, LockSessionHoldsTheLockAcrossCalls) {
  ViBoolean has_lock = VI_FALSE;
  ASSERT_EQ(ZEVRA_LockSession(real, &has_lock), VI_SUCCESS);
  EXPECT_EQ(has_lock, VI_TRUE);
  std::atomic<bool> done{false};
  std::thread other([&] {
    ZEVRA_reset(real);
    done = true;
  });
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(done) << "another thread ran while the session was locked";
  // Calls on the locking thread nest inside its lock.
  char driver[256], firmware[256];
  EXPECT_EQ(ZEVRA_revision_query(real, driver, firmware), VI_SUCCESS);
  ASSERT_EQ(ZEVRA_UnlockSession(real, &has_lock), VI_SUCCESS);
  EXPECT_EQ(has_lock, VI_FALSE);
  other.join();
  EXPECT_TRUE(done);
}

TEST_F(DriverInherent, ThreadsSharingASessionNeverInterleave) {
  emu.instrument().on("*TST?", "0", emulator::ScriptedInstrument::kForever);
  std::atomic<int> wrong{0};
  std::thread a([&] {
    for (int i = 0; i < 100; ++i) {
      ViInt16 result = -1;
      char message[256];
      if (ZEVRA_self_test(real, &result, message) != VI_SUCCESS || result != 0) ++wrong;
    }
  });
  std::thread b([&] {
    for (int i = 0; i < 100; ++i) {
      ViInt32 code = -1;
      char message[256];
      if (ZEVRA_error_query(real, &code, message) != VI_SUCCESS || code != 0 ||
          std::strcmp(message, "No error") != 0)
        ++wrong;
    }
  });
  a.join();
  b.join();
  EXPECT_EQ(wrong, 0);
}

TEST_F(DriverInherent, TwoSessionsRunInParallel) {
  ScriptedEmulator slow_emu;
  slow_emu.instrument().fault(":SYST:ERR?", Fault::no_reply());
  DriverHandle slow;
  ASSERT_EQ(slow.open(slow_emu.resource(), ""), VI_SUCCESS);
  std::atomic<bool> slow_done{false};
  std::thread waiter([&] {
    ViInt32 code;
    char message[256];
    EXPECT_EQ(ZEVRA_error_query(slow, &code, message), VI_ERROR_TMO);
    slow_done = true;
  });
  ASSERT_TRUE(slow_emu.transcript().wait_for(2, 5s));
  ViInt32 code = -1;
  char message[256];
  EXPECT_EQ(ZEVRA_error_query(real, &code, message), VI_SUCCESS);
  bool fast_first = !slow_done;
  waiter.join();
  EXPECT_TRUE(fast_first);
}

TEST(DriverErrors, ErrorMessage) {
  char text[256];
  EXPECT_EQ(ZEVRA_error_message(VI_NULL, IVI_ERROR_INVALID_ATTRIBUTE, text), VI_SUCCESS);
  EXPECT_STREQ(text, "Attribute ID '%s' not recognized.");
  EXPECT_EQ(ZEVRA_error_message(VI_NULL, VI_SUCCESS, text), VI_SUCCESS);
  EXPECT_STREQ(text, "Success.");
  EXPECT_EQ(ZEVRA_error_message(VI_NULL, IVI_ERROR_FUNCTION_NOT_SUPPORTED, text), VI_SUCCESS);
  EXPECT_STREQ(text, "Does not support this class-compliant feature: function '%s'");

  IviSession_ClearError(VI_NULL);
  std::strcpy(text, "untouched");
  EXPECT_EQ(ZEVRA_error_message(VI_NULL, -1, text), IVI_ERROR_INVALID_VALUE);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(LastError(VI_NULL).code, 0) << "nothing recorded without a session";

  TempStore store(ZevraModule());
  DriverHandle vi;
  ASSERT_EQ(vi.open("sim", "Simulate=1"), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_error_message(vi, -1, text), IVI_ERROR_INVALID_VALUE);
  EXPECT_STREQ(text, "untouched");
  EXPECT_EQ(LastError(vi).text,
            "Invalid value '-1' for function 'error_message', parameter 'ErrorCode'.  The error code supplied is not "
            "defined by the driver.");
  EXPECT_EQ(ZEVRA_error_message(vi, 0, nullptr), IVI_ERROR_NULL_POINTER);
  EXPECT_EQ(LastError(vi).text, "Null pointer passed for function 'ZEVRA_error_message', parameter 'ErrorMessage'.");
}

TEST(DriverErrors, GetErrorPassesBufferRulesThrough) {
  TempStore store(ZevraModule());
  DriverHandle vi;
  ASSERT_EQ(vi.open("sim", "Simulate=1"), VI_SUCCESS);
  vexo::ReportErrorWithElaboration(vi, static_cast<ViStatus>(0xBFFA7777), "Extra %s.", {"100%"});
  ViStatus code = 0;
  EXPECT_EQ(ZEVRA_GetError(vi, &code, 0, nullptr), 14) << "size needed, nothing cleared";
  char small[5];
  EXPECT_EQ(ZEVRA_GetError(vi, &code, sizeof small, small), 14);
  EXPECT_STREQ(small, "  Ex") << "an unknown code's description starts with the two blanks";
  EXPECT_EQ(code, static_cast<ViStatus>(0xBFFA7777));
  vexo::ReportError(vi, IVI_ERROR_INVALID_ATTRIBUTE, {"%s%n"});
  EXPECT_EQ(LastError(vi).text, "Attribute ID '%s%n' not recognized.") << "arguments are data, not format";
  vexo::ReportError(vi, IVI_ERROR_CANNOT_RECOVER);
  EXPECT_EQ(ZEVRA_ClearError(vi), VI_SUCCESS);
  EXPECT_EQ(LastError(vi).code, 0);
}

}  // namespace
