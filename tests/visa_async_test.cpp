// SPDX-License-Identifier: MIT
// Asynchronous reads and writes and exception events through the C API, on
// every transport: each job's completion by queue and by handler with what
// its context tells, jobs stopped by viTerminate and by closing the session,
// and exception handlers called by the failing call itself.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
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
using Clock = std::chrono::steady_clock;

// What an I/O completion's context says.
struct Completion {
  ViStatus status = 0;
  ViJobId job = 0;
  ViUInt64 buffer = 0;
  ViUInt64 count = 0;
  std::string operation;
};

Completion Read(ViEvent context) {
  Completion c;
  ViEventType type = 0;
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_EVENT_TYPE, &type), VI_SUCCESS);
  EXPECT_EQ(type, VI_EVENT_IO_COMPLETION);
  char name[256] = "";
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_STATUS, &c.status), VI_SUCCESS);
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_JOB_ID, &c.job), VI_SUCCESS);
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_BUFFER, &c.buffer), VI_SUCCESS);
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_RET_COUNT, &c.count), VI_SUCCESS);
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_OPER_NAME, name), VI_SUCCESS);
  EXPECT_EQ(viSetAttribute(context, VI_ATTR_STATUS, 0), VI_ERROR_ATTR_READONLY);
  c.operation = name;
  return c;
}

// The next completion from the queue.
Completion Next(ViSession vi, ViUInt32 timeout_ms = 5000) {
  ViEventType type = 0;
  ViEvent context = VI_NULL;
  ViStatus st = viWaitOnEvent(vi, VI_EVENT_IO_COMPLETION, timeout_ms, &type, &context);
  EXPECT_GE(st, VI_SUCCESS);
  if (st < VI_SUCCESS) return {};
  Completion c = Read(context);
  viClose(context);
  return c;
}

class VisaAsync : public ::testing::TestWithParam<Wire> {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  // USB reads run to their end: a USBTMC transfer cut short is aborted on the device.
  bool stops_within_a_slice() const { return GetParam() != Wire::Usb; }
  ScriptedEmulator emu{GetParam()};
};

TEST_P(VisaAsync, AReadAndAWriteCompleteIntoTheQueue) {
  emu.instrument().on("ID?", "abc", 2);
  VisaSession s(emu.resource());
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_IO_COMPLETION, VI_QUEUE, VI_NULL), VI_SUCCESS);
  static const char kQuery[] = "ID?\n";
  ViJobId write_job = 0, read_job = 0;
  ASSERT_EQ(viWriteAsync(s, reinterpret_cast<ViConstBuf>(kQuery), 4, &write_job), VI_SUCCESS);
  char reply[64];
  std::memset(reply, 0, sizeof reply);
  ASSERT_EQ(viReadAsync(s, reinterpret_cast<ViBuf>(reply), sizeof reply, &read_job), VI_SUCCESS);
  EXPECT_NE(write_job, read_job);

  Completion written = Next(s);
  EXPECT_EQ(written.status, VI_SUCCESS);
  EXPECT_EQ(written.job, write_job);
  EXPECT_EQ(written.count, 4u);
  EXPECT_EQ(written.buffer, reinterpret_cast<ViUInt64>(kQuery));
  EXPECT_EQ(written.operation, "viWriteAsync");
  Completion read = Next(s);
  EXPECT_EQ(read.status, testsupport::LineEndStatus(GetParam()));
  EXPECT_EQ(read.job, read_job);
  EXPECT_EQ(read.count, 4u);
  EXPECT_EQ(read.buffer, reinterpret_cast<ViUInt64>(reply));
  EXPECT_EQ(read.operation, "viReadAsync");
  EXPECT_EQ(std::string(reply, 4), "abc\n");
  EXPECT_EQ(emu.lines(1), (std::vector<std::string>{"ID?"}));
}

// What a handler saw, for the test thread to wait on.
struct Seen {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Completion> completions;
  std::thread::id thread;
};

ViStatus OnCompletion(ViSession, ViEventType, ViEvent context, ViAddr user) {
  auto* seen = static_cast<Seen*>(user);
  Completion c = Read(context);
  std::lock_guard lock(seen->mutex);
  seen->completions.push_back(c);
  seen->thread = std::this_thread::get_id();
  seen->changed.notify_all();
  return VI_SUCCESS;
}

TEST_P(VisaAsync, AHandlerIsToldOfEachJob) {
  VisaSession s(emu.resource());
  Seen seen;
  ASSERT_EQ(viInstallHandler(s, VI_EVENT_IO_COMPLETION, OnCompletion, &seen), VI_SUCCESS);
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_IO_COMPLETION, VI_HNDLR, VI_NULL), VI_SUCCESS);
  static const char kCommand[] = "*RST\n";
  ViJobId job = 0;
  ASSERT_EQ(viWriteAsync(s, reinterpret_cast<ViConstBuf>(kCommand), 5, &job), VI_SUCCESS);
  std::unique_lock lock(seen.mutex);
  ASSERT_TRUE(seen.changed.wait_for(lock, 5s, [&] { return !seen.completions.empty(); }));
  EXPECT_EQ(seen.completions[0].job, job);
  EXPECT_EQ(seen.completions[0].status, VI_SUCCESS);
  EXPECT_EQ(seen.completions[0].count, 5u);
  EXPECT_NE(seen.thread, std::this_thread::get_id());
  lock.unlock();
  EXPECT_EQ(emu.lines(1), (std::vector<std::string>{"*RST"}));
}

// A read nobody answers is stopped by viTerminate and completes with VI_ERROR_ABORT;
// a job that has not started yet is taken out of the line.
TEST_P(VisaAsync, TerminateStopsARunningReadAndDropsAWaitingOne) {
  VisaSession s(emu.resource());
  s.set_timeout(stops_within_a_slice() ? 10000 : 500);
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_IO_COMPLETION, VI_QUEUE, VI_NULL), VI_SUCCESS);
  char first[16], second[16];
  ViJobId running = 0, waiting = 0;
  ASSERT_EQ(viReadAsync(s, reinterpret_cast<ViBuf>(first), sizeof first, &running), VI_SUCCESS);
  ASSERT_EQ(viReadAsync(s, reinterpret_cast<ViBuf>(second), sizeof second, &waiting), VI_SUCCESS);
  std::this_thread::sleep_for(100ms);  // the first is reading by now

  ASSERT_EQ(viTerminate(s, VI_NULL, waiting), VI_SUCCESS);
  Completion dropped = Next(s, 1000);
  EXPECT_EQ(dropped.job, waiting);
  EXPECT_EQ(dropped.status, VI_ERROR_ABORT);
  EXPECT_EQ(dropped.count, 0u);

  const auto start = Clock::now();
  ASSERT_EQ(viTerminate(s, VI_NULL, running), VI_SUCCESS);
  if (stops_within_a_slice()) {
    EXPECT_LT(Clock::now() - start, 500ms);
  }
  Completion stopped = Next(s, 1000);
  EXPECT_EQ(stopped.job, running);
  EXPECT_EQ(stopped.status, VI_ERROR_ABORT);

  EXPECT_EQ(viTerminate(s, VI_NULL, running), VI_ERROR_INV_JOB_ID) << "no longer outstanding";
  EXPECT_EQ(viTerminate(s, 1, VI_NULL), VI_ERROR_INV_DEGREE);
  EXPECT_EQ(viTerminate(s, VI_NULL, VI_NULL), VI_SUCCESS) << "nothing outstanding: nothing to do";
  ViEventType type = 0;
  ViEvent context = VI_NULL;
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_IO_COMPLETION, 0, &type, &context), VI_ERROR_TMO) << "one event per job";
}

// Closing the session stops what is outstanding, promptly, and delivers nothing more.
TEST_P(VisaAsync, ClosingTheSessionStopsItsJobs) {
  Seen seen;
  ViSession rm = VI_NULL, vi = VI_NULL;
  ASSERT_EQ(viOpenDefaultRM(&rm), VI_SUCCESS);
  ASSERT_EQ(viOpen(rm, emu.resource().c_str(), VI_NULL, 2000, &vi), VI_SUCCESS);
  ASSERT_EQ(viSetAttribute(vi, VI_ATTR_TMO_VALUE, stops_within_a_slice() ? 10000 : 500), VI_SUCCESS);
  ASSERT_EQ(viInstallHandler(vi, VI_EVENT_IO_COMPLETION, OnCompletion, &seen), VI_SUCCESS);
  ASSERT_EQ(viEnableEvent(vi, VI_EVENT_IO_COMPLETION, VI_HNDLR, VI_NULL), VI_SUCCESS);
  char buffers[3][16];
  for (auto& buffer : buffers) {
    ViJobId job = 0;
    ASSERT_EQ(viReadAsync(vi, reinterpret_cast<ViBuf>(buffer), sizeof buffer, &job), VI_SUCCESS);
  }
  std::this_thread::sleep_for(50ms);
  const auto start = Clock::now();
  ASSERT_EQ(viClose(vi), VI_SUCCESS);
  EXPECT_LT(Clock::now() - start, stops_within_a_slice() ? 500ms : 1500ms);
  std::this_thread::sleep_for(100ms);
  std::lock_guard lock(seen.mutex);
  EXPECT_TRUE(seen.completions.empty());
  viClose(rm);
}

TEST_P(VisaAsync, BadArgumentsAreRefused) {
  VisaSession s(emu.resource());
  ViJobId job = 0;
  EXPECT_EQ(viReadAsync(s, nullptr, 10, &job), VI_ERROR_USER_BUF);
  EXPECT_EQ(viWriteAsync(s, nullptr, 10, &job), VI_ERROR_USER_BUF);
  EXPECT_EQ(viReadAsync(s.rm(), nullptr, 0, &job), VI_ERROR_NSUP_OPER);
  EXPECT_EQ(viTerminate(0xDEAD, VI_NULL, VI_NULL), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viTerminate(s, VI_NULL, 12345678), VI_ERROR_INV_JOB_ID);
}

// An exception handler runs on the failing call's own thread, before it returns.
struct Raised {
  std::vector<std::pair<ViStatus, std::string>> seen;
  std::thread::id thread;
  ViSession session = VI_NULL;
};

ViStatus OnException(ViSession vi, ViEventType type, ViEvent context, ViAddr user) {
  auto* raised = static_cast<Raised*>(user);
  EXPECT_EQ(type, VI_EVENT_EXCEPTION);
  ViStatus status = 0;
  char operation[256] = "";
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_STATUS, &status), VI_SUCCESS);
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_OPER_NAME, operation), VI_SUCCESS);
  ViJobId job = 0;
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_JOB_ID, &job), VI_ERROR_NSUP_ATTR);
  raised->seen.emplace_back(status, operation);
  raised->thread = std::this_thread::get_id();
  raised->session = vi;
  // A failure inside the handler raises nothing more.
  EXPECT_EQ(viSetAttribute(vi, VI_ATTR_TERMCHAR_EN, 9), VI_ERROR_NSUP_ATTR_STATE);
  return VI_SUCCESS;
}

TEST_P(VisaAsync, ExceptionHandlersAreCalledByTheFailingCall) {
  VisaSession s(emu.resource());
  Raised raised;
  EXPECT_EQ(viEnableEvent(s, VI_EVENT_EXCEPTION, VI_HNDLR, VI_NULL), VI_ERROR_HNDLR_NINSTALLED);
  ASSERT_EQ(viInstallHandler(s, VI_EVENT_EXCEPTION, OnException, &raised), VI_SUCCESS);
  EXPECT_EQ(viEnableEvent(s, VI_EVENT_EXCEPTION, VI_QUEUE, VI_NULL), VI_ERROR_INV_MECH);
  EXPECT_EQ(viEnableEvent(s, VI_EVENT_EXCEPTION, VI_SUSPEND_HNDLR, VI_NULL), VI_ERROR_INV_MECH);
  EXPECT_EQ(viSetAttribute(s, VI_ATTR_TERMCHAR_EN, 9), VI_ERROR_NSUP_ATTR_STATE);
  EXPECT_TRUE(raised.seen.empty()) << "not enabled yet";

  ASSERT_EQ(viEnableEvent(s, VI_EVENT_EXCEPTION, VI_HNDLR, VI_NULL), VI_SUCCESS);
  EXPECT_EQ(viSetAttribute(s, VI_ATTR_TERMCHAR_EN, 9), VI_ERROR_NSUP_ATTR_STATE);
  s.set_timeout(100);
  char reply[8];
  ViUInt32 got = 0;
  EXPECT_EQ(viRead(s, reinterpret_cast<ViBuf>(reply), sizeof reply, &got), VI_ERROR_TMO);
  EXPECT_EQ(viSetAttribute(s, VI_ATTR_TERMCHAR_EN, VI_TRUE), VI_SUCCESS) << "success raises nothing";
  ASSERT_EQ(raised.seen.size(), 2u) << raised.seen[0].second << " " << raised.seen[1].second;
  EXPECT_EQ(raised.seen[0], (std::pair<ViStatus, std::string>{VI_ERROR_NSUP_ATTR_STATE, "viSetAttribute"}));
  EXPECT_EQ(raised.seen[1], (std::pair<ViStatus, std::string>{VI_ERROR_TMO, "viRead"}));
  EXPECT_EQ(raised.thread, std::this_thread::get_id());
  EXPECT_EQ(raised.session, s.vi());

  ASSERT_EQ(viDisableEvent(s, VI_EVENT_EXCEPTION, VI_HNDLR), VI_SUCCESS);
  EXPECT_EQ(viRead(s, reinterpret_cast<ViBuf>(reply), sizeof reply, &got), VI_ERROR_TMO);
  EXPECT_EQ(raised.seen.size(), 2u);
  ASSERT_EQ(viUninstallHandler(s, VI_EVENT_EXCEPTION, VI_ANY_HNDLR, VI_NULL), VI_SUCCESS);
  EXPECT_EQ(viUninstallHandler(s, VI_EVENT_EXCEPTION, VI_ANY_HNDLR, VI_NULL), VI_ERROR_HNDLR_NINSTALLED);
}

INSTANTIATE_TEST_SUITE_P(Wires, VisaAsync,
                         ::testing::Values(Wire::Socket, Wire::Vxi11, Wire::Hislip, Wire::Serial, Wire::Usb),
                         [](const auto& info) { return testsupport::WireName(info.param); });

}  // namespace
