// SPDX-License-Identifier: MIT
// Service requests through the C API, from the QDX emulator over VXI-11 and
// HiSLIP: the instrument asks for service when its status byte's summary bit
// rises ("*ESE 1;*SRE 32;*OPC"), and the session delivers it to the queue,
// to handlers, or holds it for a suspended handler.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/qdx_emulator.h"
#include "support/visa_session.h"
#include "visa.h"

namespace {

using namespace std::chrono_literals;
using testsupport::QdxEmulator;
using testsupport::VisaSession;
using testsupport::Wire;

// What the handlers saw, for the test thread to wait on.
struct Calls {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> seen;  // "first" or "second", in call order
  std::vector<ViUInt16> status_bytes;
  ViEventType context_type = 0;
  bool wait_for(std::size_t n) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 5s, [&] { return seen.size() >= n; });
  }
  void add(const char* who, ViSession vi, ViEvent context) {
    ViUInt16 stb = 0;
    // I/O on the session from inside its handler.
    EXPECT_EQ(viReadSTB(vi, &stb), VI_SUCCESS);
    std::lock_guard lock(mutex);
    EXPECT_EQ(viGetAttribute(context, VI_ATTR_EVENT_TYPE, &context_type), VI_SUCCESS);
    seen.push_back(who);
    status_bytes.push_back(stb);
    changed.notify_all();
  }
};

ViStatus First(ViSession vi, ViEventType, ViEvent context, ViAddr user) {
  static_cast<Calls*>(user)->add("first", vi, context);
  return VI_SUCCESS;
}

ViStatus SecondEndsTheChain(ViSession vi, ViEventType, ViEvent context, ViAddr user) {
  static_cast<Calls*>(user)->add("second", vi, context);
  return VI_SUCCESS_NCHAIN;
}

ViStatus Count(ViSession, ViEventType, ViEvent, ViAddr user) {
  ++*static_cast<std::atomic<int>*>(user);
  return VI_SUCCESS;
}

class VisaEvents : public ::testing::TestWithParam<Wire> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(emu.started()) << emu.error();
    ASSERT_EQ(s.open_status(), VI_SUCCESS);
    ASSERT_EQ(viPrintf(s, "*CLS;*ESE 1;*SRE 32\n"), VI_SUCCESS);
  }
  // One new reason for service: the event summary bit rises under *SRE.
  void RequestService() { ASSERT_EQ(viPrintf(s, "*CLS;*OPC\n"), VI_SUCCESS); }

  QdxEmulator emu{QdxEmulator::Defaults(), GetParam()};
  VisaSession s{emu.resource()};
};

TEST_P(VisaEvents, TheQueueTakesServiceRequests) {
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
  EXPECT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS_EVENT_EN);
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 0, VI_NULL, VI_NULL), VI_ERROR_TMO) << "nothing asked yet";
  RequestService();
  ViEventType type = 0;
  ViEvent context = VI_NULL;
  ASSERT_EQ(viWaitOnEvent(s, VI_ALL_ENABLED_EVENTS, 5000, &type, &context), VI_SUCCESS);
  EXPECT_EQ(type, static_cast<ViEventType>(VI_EVENT_SERVICE_REQ));
  ViEventType context_type = 0;
  EXPECT_EQ(viGetAttribute(context, VI_ATTR_EVENT_TYPE, &context_type), VI_SUCCESS);
  EXPECT_EQ(context_type, static_cast<ViEventType>(VI_EVENT_SERVICE_REQ));
  EXPECT_EQ(viSetAttribute(context, VI_ATTR_EVENT_TYPE, 1), VI_ERROR_ATTR_READONLY);
  EXPECT_EQ(viClose(context), VI_SUCCESS);
  EXPECT_EQ(viClose(context), VI_ERROR_INV_OBJECT);
  ViUInt16 stb = 0;
  ASSERT_EQ(viReadSTB(s, &stb), VI_SUCCESS);
  EXPECT_EQ(stb, 0x60) << "event summary and the request for service";

  // Two requests queue in order; the first wait says another follows.
  RequestService();
  RequestService();
  char idn[128];
  ASSERT_EQ(viQueryf(s, "*IDN?\n", "%t", idn), VI_SUCCESS);  // both requests are out once this answers
  std::this_thread::sleep_for(200ms);  // and in, HiSLIP's on the other channel
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 5000, VI_NULL, VI_NULL), VI_SUCCESS_QUEUE_NEMPTY);
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 5000, VI_NULL, VI_NULL), VI_SUCCESS);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 200, VI_NULL, VI_NULL), VI_ERROR_TMO);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms + 300ms) << "no hang past the timeout";

  // Discarded requests are gone; a disabled queue is not waited on.
  RequestService();
  ASSERT_EQ(viQueryf(s, "*IDN?\n", "%t", idn), VI_SUCCESS);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(viDiscardEvents(s, VI_EVENT_SERVICE_REQ, VI_QUEUE), VI_SUCCESS);
  EXPECT_EQ(viDiscardEvents(s, VI_EVENT_SERVICE_REQ, VI_QUEUE), VI_SUCCESS_QUEUE_EMPTY);
  EXPECT_EQ(viDisableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE), VI_SUCCESS);
  EXPECT_EQ(viDisableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE), VI_SUCCESS_EVENT_DIS);
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 0, VI_NULL, VI_NULL), VI_ERROR_NENABLED);
}

TEST_P(VisaEvents, AFullQueueSaysEventsWereLost) {
  ASSERT_EQ(viSetAttribute(s, VI_ATTR_MAX_QUEUE_LENGTH, 1), VI_SUCCESS);
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_QUEUE, VI_NULL), VI_SUCCESS);
  for (int i = 0; i < 3; ++i) RequestService();
  char idn[128];
  ASSERT_EQ(viQueryf(s, "*IDN?\n", "%t", idn), VI_SUCCESS);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 5000, VI_NULL, VI_NULL), VI_WARN_QUEUE_OVERFLOW);
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 0, VI_NULL, VI_NULL), VI_ERROR_TMO) << "one was kept";
}

TEST_P(VisaEvents, HandlersAreCalledLastInstalledFirstAndMayEndTheChain) {
  Calls calls;
  EXPECT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_HNDLR, VI_NULL), VI_ERROR_HNDLR_NINSTALLED);
  ASSERT_EQ(viInstallHandler(s, VI_EVENT_SERVICE_REQ, First, &calls), VI_SUCCESS);
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_HNDLR, VI_NULL), VI_SUCCESS);
  RequestService();
  ASSERT_TRUE(calls.wait_for(1));
  ASSERT_EQ(viInstallHandler(s, VI_EVENT_SERVICE_REQ, SecondEndsTheChain, &calls), VI_SUCCESS);
  RequestService();
  ASSERT_TRUE(calls.wait_for(2));
  std::this_thread::sleep_for(100ms);
  {
    std::lock_guard lock(calls.mutex);
    EXPECT_EQ(calls.seen, (std::vector<std::string>{"first", "second"})) << "the chain ended at the second";
    EXPECT_EQ(calls.status_bytes, (std::vector<ViUInt16>{0x60, 0x60}));
    EXPECT_EQ(calls.context_type, static_cast<ViEventType>(VI_EVENT_SERVICE_REQ));
  }
  EXPECT_EQ(viUninstallHandler(s, VI_EVENT_SERVICE_REQ, First, nullptr), VI_ERROR_HNDLR_NINSTALLED)
      << "the user handle must match too";
  EXPECT_EQ(viUninstallHandler(s, VI_EVENT_SERVICE_REQ, SecondEndsTheChain, &calls), VI_SUCCESS);
  EXPECT_EQ(viUninstallHandler(s, VI_EVENT_SERVICE_REQ, VI_ANY_HNDLR, nullptr), VI_SUCCESS);
  EXPECT_EQ(viUninstallHandler(s, VI_EVENT_SERVICE_REQ, VI_ANY_HNDLR, nullptr), VI_ERROR_HNDLR_NINSTALLED);
}

TEST_P(VisaEvents, ASuspendedHandlerGetsWhatItMissedOnceEnabled) {
  Calls calls;
  ASSERT_EQ(viInstallHandler(s, VI_EVENT_SERVICE_REQ, First, &calls), VI_SUCCESS);
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_SUSPEND_HNDLR, VI_NULL), VI_SUCCESS);
  RequestService();
  char idn[128];
  ASSERT_EQ(viQueryf(s, "*IDN?\n", "%t", idn), VI_SUCCESS);
  std::this_thread::sleep_for(200ms);
  {
    std::lock_guard lock(calls.mutex);
    EXPECT_TRUE(calls.seen.empty()) << "called while suspended";
  }
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_HNDLR, VI_NULL), VI_SUCCESS);
  EXPECT_TRUE(calls.wait_for(1));
  EXPECT_EQ(viDisableEvent(s, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH), VI_SUCCESS);
}

// Closing a session with service requests enabled stops their delivery
// cleanly, also while they keep arriving.
TEST_P(VisaEvents, ClosingWhileRequestsArriveIsClean) {
  std::atomic<int> calls{0};
  ASSERT_EQ(viInstallHandler(s, VI_EVENT_SERVICE_REQ, Count, &calls), VI_SUCCESS);
  ASSERT_EQ(viEnableEvent(s, VI_EVENT_SERVICE_REQ, VI_HNDLR | VI_QUEUE, VI_NULL), VI_SUCCESS);
  // A USB interface has one holder: there the session itself makes the requests.
  VisaSession other(emu.resource());
  const ViSession writer = GetParam() == Wire::Usb ? static_cast<ViSession>(s) : other.vi();
  if (GetParam() == Wire::Usb) {
    EXPECT_EQ(other.open_status(), VI_ERROR_RSRC_BUSY);
  }
  for (int i = 0; i < 20; ++i) ASSERT_EQ(viPrintf(writer, "*CLS;*OPC\n"), VI_SUCCESS);
  EXPECT_EQ(viClose(s), VI_SUCCESS);
  EXPECT_EQ(viWaitOnEvent(s, VI_EVENT_SERVICE_REQ, 0, VI_NULL, VI_NULL), VI_ERROR_INV_OBJECT);
}

INSTANTIATE_TEST_SUITE_P(Wires, VisaEvents, ::testing::Values(Wire::Vxi11, Wire::Hislip, Wire::Usb),
                         [](const auto& info) { return std::string(testsupport::WireName(info.param)); });

}  // namespace
