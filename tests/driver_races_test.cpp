// SPDX-License-Identifier: MIT
// Races through the exported functions against the emulator: many threads on
// one session with every answer checked against its question, threads opening
// and closing sessions, and thousands of open/close cycles that leave no
// descriptor or memory behind.
#include <dirent.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "support/driver_helpers.h"
#include "support/qdx_emulator.h"
#include "support/temp_store.h"
#include "visa.h"

namespace {

using namespace testsupport;

int OpenDescriptors() {
  int count = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d) != nullptr) ++count;
    closedir(d);
  }
  return count;
}

// The emulator in this process closes its side of a connection a moment after
// the client: the count once it has caught up (at most `target`, or the
// lowest seen within a short wait when the target is 0).
int SettledDescriptors(int target) {
  int lowest = OpenDescriptors();
  for (int i = 0; i < 100 && (target == 0 || lowest > target); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    lowest = std::min(lowest, OpenDescriptors());
    if (target == 0 && i >= 20) break;
  }
  return lowest;
}

class DriverRaces : public ::testing::TestWithParam<Wire> {
 protected:
  void SetUp() override { ASSERT_TRUE(emu.started()) << emu.error(); }
  QdxEmulator emu{QdxEmulator::Defaults(), GetParam()};
  TempStore store{ZevraModule()};
};

TEST_P(DriverRaces, EightThreadsOnOneSessionEachGetTheirOwnAnswers) {
  DriverHandle vi;
  ASSERT_EQ(vi.open(emu.resource(), "QueryInstrStatus=1"), VI_SUCCESS) << LastError(VI_NULL).text;
  constexpr int kThreads = 8, kRounds = 40;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      // Channels 1 to 3: the in-process emulator's fourth slot may be empty.
      const int ch = t % 3 + 1;
      std::string channel = "CH" + std::to_string(ch);
      auto fail = [&](const std::string& what) {
        if (failures++ < 10) ADD_FAILURE() << "thread " << t << ": " << what;
      };
      for (int k = 0; k < kRounds; ++k) {
        double level = 1.0 + t * 0.125 + (k % 7) * 0.015625;
        // A level written and read back from the instrument, as one locked sequence.
        ViBoolean has_lock = VI_FALSE;
        ZEVRA_LockSession(vi, &has_lock);
        ViReal64 back = -1;
        ViStatus st = ZEVRA_ConfigureVoltageLevel(vi, channel.c_str(), level);
        if (st == VI_SUCCESS) st = ZEVRA_InvalidateAllAttributes(vi);
        if (st == VI_SUCCESS) st = ZEVRA_GetAttributeViReal64(vi, channel.c_str(), ZEVRA_ATTR_VOLTAGE_LEVEL, &back);
        if (st != VI_SUCCESS || std::fabs(back - level) > 1e-9)
          fail("level " + std::to_string(level) + " read back as " + std::to_string(back) + ", status " +
               std::to_string(st));
        // Direct I/O: the reply to this thread's own query.
        char reply[128] = "";
        ViInt64 count = 0;
        std::string query = "INST:SEL " + std::to_string(ch) + ";:INST:SEL?\n";
        st = ZEVRA_viWrite(vi, static_cast<ViInt64>(query.size()), query.c_str(), &count);
        if (st == VI_SUCCESS) st = ZEVRA_viRead(vi, sizeof reply - 1, reply, &count);
        if (st < 0 || std::string(reply, static_cast<std::size_t>(count)) != std::to_string(ch) + "\n")
          fail("INST:SEL? answered '" + std::string(reply, static_cast<std::size_t>(count)) + "'");
        ZEVRA_UnlockSession(vi, &has_lock);
        // Calls that take the lock themselves, interleaved with the other threads'.
        ViReal64 measured = 0;
        if (ZEVRA_Measure(vi, channel.c_str(), ZEVRA_VAL_MEASURE_VOLTAGE, &measured) != VI_SUCCESS) fail("measure");
        ViInt32 code = -1;
        char message[256] = "";
        if (ZEVRA_error_query(vi, &code, message) != VI_SUCCESS || code != 0)
          fail("error query " + std::to_string(code) + " " + message);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures, 0);
}

TEST_P(DriverRaces, ThreadsOpeningAndClosingSessions) {
  constexpr int kThreads = 4, kCycles = 15;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int k = 0; k < kCycles; ++k) {
        ViSession vi = VI_NULL;
        std::string resource = t % 2 ? emu.resource() : "x";
        const char* options = t % 2 ? "QueryInstrStatus=1" : "Simulate=1";
        if (ZEVRA_InitWithOptions(resource.data(), VI_TRUE, VI_FALSE, options, &vi) != VI_SUCCESS) {
          ++failures;
          continue;
        }
        ViReal64 level = 0;
        if (ZEVRA_GetAttributeViReal64(vi, "CH1", ZEVRA_ATTR_VOLTAGE_LEVEL, &level) != VI_SUCCESS) ++failures;
        if (ZEVRA_close(vi) != VI_SUCCESS) ++failures;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures, 0);
}

TEST_P(DriverRaces, OpenCloseCyclesLeaveNothingBehind) {
#ifdef ZEVRA_SANITIZED
  // The sanitizers keep their own books (and find leaks themselves); fewer cycles, no heap count.
  const int cycles = GetParam() == Wire::Socket ? 1000 : 300;
#else
  const int cycles = 10000;
#endif
  auto cycle = [&] {
    ViSession vi = VI_NULL;
    std::string resource = emu.resource();
    ASSERT_EQ(ZEVRA_InitWithOptions(resource.data(), VI_FALSE, VI_FALSE, "QueryInstrStatus=0", &vi), VI_SUCCESS);
    ASSERT_EQ(ZEVRA_close(vi), VI_SUCCESS);
  };
  for (int i = 0; i < 50; ++i) cycle();  // the process's own one-time tables settle first
  int fds = SettledDescriptors(0);
  std::size_t heap = mallinfo2().uordblks;
  for (int i = 0; i < cycles; ++i) {
    cycle();
    if (HasFatalFailure()) return;
  }
  EXPECT_LE(SettledDescriptors(fds), fds);
#ifndef ZEVRA_SANITIZED
  EXPECT_LT(static_cast<long long>(mallinfo2().uordblks) - static_cast<long long>(heap), 256 * 1024)
      << "heap grew over " << cycles << " cycles";
#else
  (void)heap;
#endif
}

INSTANTIATE_TEST_SUITE_P(AllWires, DriverRaces, ::testing::Values(Wire::Socket, Wire::Vxi11, Wire::Hislip),
                         [](const auto& info) { return std::string(WireName(info.param)); });

}  // namespace
