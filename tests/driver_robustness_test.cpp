// SPDX-License-Identifier: MIT
// Bad input and races through the exported functions: option strings,
// selectors and store ranges of any size end in a status, never a crash or
// an unbounded wait; closing a session that other threads use is safe.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "support/driver_helpers.h"
#include "support/temp_store.h"

namespace {

using namespace testsupport;
using Clock = std::chrono::steady_clock;

// Runs `f` on a thread with a small stack, as callers' worker threads often
// have: deep recursion on the input's length would overflow it.
template <typename F>
void OnSmallStack(F f) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  pthread_t thread;
  auto call = [](void* arg) -> void* {
    (*static_cast<F*>(arg))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, call, &f), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

TEST(DriverRobustness, LongOptionStringsGiveAStatus) {
  TempStore store(ZevraModule());
  struct Case {
    std::string name;
    std::string options;
    ViStatus expected;
    std::string description;
  };
  const std::string blanks(200000, ' ');
  const std::vector<Case> cases = {
      {"blanks", "Simulate=1," + blanks + "Cache=0", VI_SUCCESS, ""},
      {"blanks before DriverSetup", "Simulate=1" + blanks + "DriverSetup=Model=QDX7000", VI_SUCCESS, ""},
      {"long DriverSetup value", "Simulate=1, DriverSetup=Model=" + std::string(300000, 'x'),
       VI_SUCCESS, ""},
      {"long option name", "Simulate=1, " + std::string(300000, 'q') + "=1", IVI_ERROR_BAD_OPTION_NAME,
       "The 'qqqq"},
      {"long value", "Simulate=" + std::string(300000, '1'), IVI_ERROR_BAD_OPTION_VALUE,
       "The '1111"},
      {"equals signs", "Simulate=1" + std::string(100000, '='), VI_SUCCESS, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OnSmallStack([&] {
      auto start = Clock::now();
      ViSession vi = VI_NULL;
      ViStatus st = ZEVRA_InitWithOptions(const_cast<char*>("any"), VI_FALSE, VI_FALSE, c.options.c_str(), &vi);
      EXPECT_LT(SecondsSince(start), 10.0);  // linear: a quadratic scan took minutes here
      EXPECT_EQ(st, c.expected);
      if (st >= 0) {
        EXPECT_EQ(ZEVRA_close(vi), VI_SUCCESS);
      } else {
        std::string text = LastError(VI_NULL).text;
        EXPECT_EQ(text.substr(0, c.description.size()), c.description) << text.substr(0, 200);
      }
    });
  }
}

class SimulatedSession : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(vi.open("Bench", "Simulate=1"), VI_SUCCESS) << LastError(VI_NULL).text; }
  TempStore store{ZevraModule() +
                  "<DriverSessions><IviDriverSession id=\"s\"><Name>Bench</Name><IviSoftwareModuleRef idref=\"ZEVRA\"/>"
                  "<VirtualNames><IviVirtualName><Name>Out</Name><MapTo>CH</MapTo><VirtualRanges><IviVirtualRange>"
                  "<Min>1</Min><Max>2147483647</Max><StartingPhysicalIndex>1</StartingPhysicalIndex></IviVirtualRange>"
                  "</VirtualRanges></IviVirtualName><IviVirtualName><Name>Far</Name><MapTo>CH</MapTo><VirtualRanges>"
                  "<IviVirtualRange><Min>-2147483648</Min><Max>2147483647</Max><StartingPhysicalIndex>2147483647"
                  "</StartingPhysicalIndex></IviVirtualRange></VirtualRanges></IviVirtualName></VirtualNames>"
                  "</IviDriverSession></DriverSessions>"};
  DriverHandle vi;
};

std::string Unknown(const std::string& name) {
  return "Unknown physical repeated capability selector.  The identifier '" + name +
         "' is not defined for repeated capability 'OutputChannel'.";
}

TEST_F(SimulatedSession, SelectorsOfAnySizeGiveAStatus) {
  const std::string badly_formed = "The repeated capability selector is badly-formed.";
  struct Case {
    std::string name;
    std::string selector;
    ViStatus expected;
    std::string description;
  };
  const std::vector<Case> cases = {
      {"range to the largest index", "CH1-CH2147483647", IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, Unknown("CH5")},
      {"range of a million", "CH1-CH1000000", IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, Unknown("CH5")},
      {"range far past the names", "CH7-CH2000000000", IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, Unknown("CH7")},
      {"long name", std::string(300000, 'C'), IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER, Unknown(std::string(300000, 'C'))},
      {"long list", [] {
         std::string s = "CH1";
         for (int i = 0; i < 50000; ++i) s += " , CH2";
         return s;
       }(),
       IVI_ERROR_BADLY_FORMED_SELECTOR, badly_formed},
      {"many levels", [] {
         std::string s = "CH1-CH4";
         for (int i = 0; i < 40; ++i) s += ":CH1-CH4";
         return s;
       }(),
       IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR,
       "The number of levels in the selector is not valid for the 'OutputChannel' repeated capability."},
      {"long blanks", "CH1" + std::string(300000, ' ') + "x", IVI_ERROR_BADLY_FORMED_SELECTOR, badly_formed},
      {"virtual name far in its range", "Out2000000000", IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER,
       Unknown("CH2000000000")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OnSmallStack([&] {
      auto start = Clock::now();
      EXPECT_EQ(ZEVRA_SetAttributeViReal64(vi, c.selector.c_str(), ZEVRA_ATTR_VOLTAGE_LEVEL, 1.0), c.expected);
      EXPECT_LT(SecondsSince(start), 10.0);
      // Long descriptions are cut to the error record's size.
      std::string text = LastError(vi).text;
      EXPECT_FALSE(text.empty());
      EXPECT_TRUE(c.description.compare(0, text.size(), text) == 0) << text.substr(0, 200);
    });
  }
}

TEST_F(SimulatedSession, WideVirtualRangesMapByTheirIndex) {
  // Out1..Out2147483647 -> CH1.. and Far-2147483648.. -> CH2147483647..: the session opened
  // at once, and each name maps as it did when every name of the range was listed.
  ASSERT_EQ(ZEVRA_SetAttributeViReal64(vi, "Out2", ZEVRA_ATTR_VOLTAGE_LEVEL, 2.5), VI_SUCCESS);
  ViReal64 level = 0;
  ASSERT_EQ(ZEVRA_GetAttributeViReal64(vi, "CH2", ZEVRA_ATTR_VOLTAGE_LEVEL, &level), VI_SUCCESS);
  EXPECT_EQ(level, 2.5);
  EXPECT_EQ(Session(vi).GetPhysicalName("out4"), "CH4");
  EXPECT_EQ(Session(vi).GetPhysicalName("Out0"), "Out0");
  EXPECT_EQ(Session(vi).GetPhysicalName("Out02"), "Out02");  // not a name the range lists
  EXPECT_EQ(Session(vi).GetPhysicalName("Far-2147483648"), "CH2147483647");
  EXPECT_EQ(Session(vi).GetPhysicalName("Far2147483647"), "CH6442450942");
  EXPECT_EQ(Session(vi).GetPhysicalName("Far2147483648"), "Far2147483648");
  // The later range wins where both name a channel, as the store's order says.
  EXPECT_EQ(Session(vi).GetVirtualName("CH2147483647"), "Far-2147483648");
  EXPECT_EQ(Session(vi).GetVirtualName("CH3"), "Out3");
}

TEST_F(SimulatedSession, ChannelNameIndexAtTheEdgesOfItsType) {
  char name[8];
  for (ViInt32 index : {INT_MIN, INT_MIN + 1, 0, 5, INT_MAX}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(ZEVRA_GetChannelName(vi, index, sizeof name, name), IVI_ERROR_INVALID_VALUE);
    EXPECT_EQ(LastError(vi).text, "Invalid value '" + std::to_string(static_cast<long long>(index) - 1) +
                                      "' for function 'GetOutputChannelName', parameter 'Index'.");
  }
}

TEST(DriverClose, WhileOtherThreadsCallIt) {
  TempStore store(ZevraModule());
  for (int round = 0; round < 20; ++round) {
    ViSession vi = VI_NULL;
    ASSERT_EQ(ZEVRA_InitWithOptions(const_cast<char*>("x"), VI_FALSE, VI_FALSE, "Simulate=1", &vi), VI_SUCCESS);
    std::atomic<bool> go{false};
    std::atomic<int> unexpected{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t) {
      callers.emplace_back([&, t] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < 400; ++i) {
          ViReal64 v = 0;
          ViStatus st = t % 2 ? ZEVRA_SetAttributeViReal64(vi, "CH1,CH2", ZEVRA_ATTR_VOLTAGE_LEVEL, 1.0 + i)
                              : ZEVRA_GetAttributeViReal64(vi, "CH2", ZEVRA_ATTR_VOLTAGE_LEVEL, &v);
          if (st == IVI_ERROR_INVALID_SESSION_HANDLE) break;
          if (st != VI_SUCCESS) ++unexpected;
        }
      });
    }
    go = true;
    std::this_thread::sleep_for(std::chrono::microseconds(200 * (round % 5)));
    EXPECT_EQ(ZEVRA_close(vi), VI_SUCCESS);
    for (auto& c : callers) c.join();
    EXPECT_EQ(unexpected, 0);
    EXPECT_EQ(ZEVRA_close(vi), IVI_ERROR_INVALID_SESSION_HANDLE);
  }
}

TEST(DriverClose, WaitsForAnotherThreadsLockHolder) {
  TempStore store(ZevraModule());
  ViSession vi = VI_NULL;
  ASSERT_EQ(ZEVRA_InitWithOptions(const_cast<char*>("x"), VI_FALSE, VI_FALSE, "Simulate=1", &vi), VI_SUCCESS);
  std::promise<void> locked, release;
  std::promise<ViStatus> unlocked;
  std::thread holder([&] {
    ViBoolean has = VI_FALSE;
    EXPECT_EQ(ZEVRA_LockSession(vi, &has), VI_SUCCESS);
    locked.set_value();
    release.get_future().wait();
    // The session is closing: new calls find no session, but the holder can let go.
    ViReal64 v = 0;
    EXPECT_EQ(ZEVRA_GetAttributeViReal64(vi, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, &v), IVI_ERROR_INVALID_SESSION_HANDLE);
    unlocked.set_value(ZEVRA_UnlockSession(vi, &has));
  });
  locked.get_future().wait();
  auto closed = std::async(std::launch::async, [&] { return ZEVRA_close(vi); });
  EXPECT_EQ(closed.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  release.set_value();
  EXPECT_EQ(unlocked.get_future().get(), VI_SUCCESS);
  EXPECT_EQ(closed.get(), VI_SUCCESS);
  holder.join();
  EXPECT_EQ(ZEVRA_UnlockSession(vi, nullptr), IVI_ERROR_INVALID_SESSION_HANDLE);
}

TEST(DriverClose, ByTheThreadThatHoldsTheLock) {
  TempStore store(ZevraModule());
  ViSession vi = VI_NULL;
  ASSERT_EQ(ZEVRA_InitWithOptions(const_cast<char*>("x"), VI_FALSE, VI_FALSE, "Simulate=1", &vi), VI_SUCCESS);
  ViBoolean has = VI_FALSE;
  ASSERT_EQ(ZEVRA_LockSession(vi, &has), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_close(vi), VI_SUCCESS);
  EXPECT_EQ(ZEVRA_UnlockSession(vi, &has), IVI_ERROR_INVALID_SESSION_HANDLE);
}

// A program may close its session from an exit handler that it registered
// before the driver ever ran: the driver's tables outlive static destruction.
TEST(DriverClose, FromAnExitHandler) {
  TempStore store(ZevraModule());
  EXPECT_EXIT(
      {
        static ViSession vi = VI_NULL;
        std::atexit([] {
          if (ZEVRA_close(vi) != VI_SUCCESS) std::_Exit(3);
        });
        if (ZEVRA_InitWithOptions(const_cast<char*>("x"), VI_FALSE, VI_FALSE, "Simulate=1", &vi) != VI_SUCCESS)
          std::_Exit(2);
        ViReal64 v = 0;
        ZEVRA_GetAttributeViReal64(vi, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, &v);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
