// SPDX-License-Identifier: MIT
// IVI shared session services: handles, data pointer, the re-entrant lock and
// the error records.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "IviSession.h"

namespace {

using namespace std::chrono_literals;

class Handle {
 public:
  Handle() { EXPECT_EQ(IviSession_New(&vi_), VI_SUCCESS); }
  ~Handle() { IviSession_Dispose(vi_); }
  ViSession get() const { return vi_; }

 private:
  ViSession vi_ = 0;
};

TEST(IviSession, HandlesAreNonZeroAndNeverReused) {
  ViSession a = 0, b = 0;
  ASSERT_EQ(IviSession_New(&a), VI_SUCCESS);
  ASSERT_EQ(IviSession_Dispose(a), VI_SUCCESS);
  ASSERT_EQ(IviSession_New(&b), VI_SUCCESS);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(IviSession_Dispose(b), VI_SUCCESS);
  EXPECT_EQ(IviSession_Dispose(b), IVI_ERROR_INVALID_SESSION_HANDLE);
  EXPECT_EQ(IviSession_New(nullptr), IVI_ERROR_NULL_POINTER);
}

TEST(IviSession, DataPointerResolvesOnlyForLiveHandles) {
  int object = 0;
  ViSession vi = 0;
  ASSERT_EQ(IviSession_New(&vi), VI_SUCCESS);
  ASSERT_EQ(IviSession_SetDataPtr(vi, &object), VI_SUCCESS);
  ViAddr out = nullptr;
  EXPECT_EQ(IviSession_GetDataPtr(vi, &out), VI_SUCCESS);
  EXPECT_EQ(out, &object);

  ASSERT_EQ(IviSession_Dispose(vi), VI_SUCCESS);
  for (ViSession bad : {ViSession{0}, vi, ViSession{0x7FFFFFF0}}) {
    out = nullptr;
    EXPECT_EQ(IviSession_GetDataPtr(bad, &out), IVI_ERROR_INVALID_SESSION_HANDLE) << bad;
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(IviSession_SetDataPtr(vi, &object), IVI_ERROR_INVALID_SESSION_HANDLE);
}

// Starts a thread that takes the lock and reports when it has it.
class Contender {
 public:
  explicit Contender(ViSession vi) : thread_([this, vi] {
      result_ = IviSession_Lock(vi, nullptr);
      acquired_ = true;
      if (result_ == VI_SUCCESS) IviSession_Unlock(vi, nullptr);
    }) {}
  ~Contender() {
    if (thread_.joinable()) thread_.join();
  }
  // Gives the contender a fair chance to run; it must still be waiting.
  bool still_waiting() {
    std::this_thread::sleep_for(50ms);
    return !acquired_;
  }
  ViStatus finish() {
    thread_.join();
    return result_;
  }

 private:
  std::atomic<bool> acquired_{false};
  ViStatus result_ = 0;
  std::thread thread_;
};

TEST(IviSession, LockNestsOnOneThreadAndBlocksOthersUntilFullyReleased) {
  Handle h;
  ASSERT_EQ(IviSession_Lock(h.get(), nullptr), VI_SUCCESS);
  ASSERT_EQ(IviSession_Lock(h.get(), nullptr), VI_SUCCESS);
  Contender other(h.get());
  EXPECT_TRUE(other.still_waiting());
  ASSERT_EQ(IviSession_Unlock(h.get(), nullptr), VI_SUCCESS);
  EXPECT_TRUE(other.still_waiting());
  ASSERT_EQ(IviSession_Unlock(h.get(), nullptr), VI_SUCCESS);
  EXPECT_EQ(other.finish(), VI_SUCCESS);
}

// Threads that take the lock two levels deep in turn: no two are ever inside
// at once, no lock or unlock fails, and no waiter is left asleep.
TEST(IviSession, ContendedLockExcludesAndWakesEveryWaiter) {
  Handle h;
  constexpr int kThreads = 4, kRounds = 5000;
  int inside = 0, entries = 0;  // guarded by the session lock alone
  std::atomic<int> failures{0}, overlaps{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRounds; ++i) {
        if (IviSession_Lock(h.get(), nullptr) != VI_SUCCESS || IviSession_Lock(h.get(), nullptr) != VI_SUCCESS) {
          ++failures;
          return;
        }
        if (++inside != 1) ++overlaps;
        if (i % 8 == 0) std::this_thread::yield();  // let the others find it held and wait
        ++entries;
        --inside;
        if (IviSession_Unlock(h.get(), nullptr) != VI_SUCCESS || IviSession_Unlock(h.get(), nullptr) != VI_SUCCESS)
          ++failures;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(entries, kThreads * kRounds);
  EXPECT_EQ(IviSession_Unlock(h.get(), nullptr), IVI_ERROR_SESSION_NOT_LOCKED) << "every level was released";
}

TEST(IviSession, CallerHasLockFlag) {
  Handle h;
  // Already true: Lock does nothing, so another thread gets the lock at once.
  ViBoolean has = VI_TRUE;
  ASSERT_EQ(IviSession_Lock(h.get(), &has), VI_SUCCESS);
  EXPECT_EQ(has, VI_TRUE);
  EXPECT_EQ(Contender(h.get()).finish(), VI_SUCCESS);

  // False: Lock takes it and sets the flag; a second Lock with the flag set does not nest.
  has = VI_FALSE;
  ASSERT_EQ(IviSession_Lock(h.get(), &has), VI_SUCCESS);
  EXPECT_EQ(has, VI_TRUE);
  ASSERT_EQ(IviSession_Lock(h.get(), &has), VI_SUCCESS);
  Contender waiting(h.get());
  EXPECT_TRUE(waiting.still_waiting());
  // One Unlock with the flag releases it and clears the flag; another does nothing.
  ASSERT_EQ(IviSession_Unlock(h.get(), &has), VI_SUCCESS);
  EXPECT_EQ(has, VI_FALSE);
  EXPECT_EQ(waiting.finish(), VI_SUCCESS);
  EXPECT_EQ(IviSession_Unlock(h.get(), &has), VI_SUCCESS);
  EXPECT_EQ(has, VI_FALSE);
}

TEST(IviSession, UnlockWithoutOwningFails) {
  Handle h;
  EXPECT_EQ(IviSession_Unlock(h.get(), nullptr), IVI_ERROR_SESSION_NOT_LOCKED);
  ASSERT_EQ(IviSession_Lock(h.get(), nullptr), VI_SUCCESS);
  ViStatus from_other = 0;
  std::thread([&] { from_other = IviSession_Unlock(h.get(), nullptr); }).join();
  EXPECT_EQ(from_other, IVI_ERROR_SESSION_NOT_LOCKED);
  EXPECT_EQ(IviSession_Unlock(h.get(), nullptr), VI_SUCCESS);
}

TEST(IviSession, DisposeReleasesThreadsWaitingForTheLock) {
  ViSession vi = 0;
  ASSERT_EQ(IviSession_New(&vi), VI_SUCCESS);
  ASSERT_EQ(IviSession_Lock(vi, nullptr), VI_SUCCESS);
  Contender waiting(vi);
  EXPECT_TRUE(waiting.still_waiting());
  ASSERT_EQ(IviSession_Dispose(vi), VI_SUCCESS);
  EXPECT_EQ(waiting.finish(), IVI_ERROR_INVALID_SESSION_HANDLE);
}

struct ErrorRead {
  ViStatus result;
  ViStatus code;
  std::string text;
};

ErrorRead read_error(ViSession vi, ViInt32 size) {
  ErrorRead r{0, -1, {}};
  char buffer[2048];
  std::memset(buffer, 'X', sizeof buffer);
  buffer[sizeof buffer - 1] = '\0';
  r.result = IviSession_GetError(vi, size, &r.code, size == 0 ? nullptr : buffer);
  if (size != 0 && r.result >= 0) r.text = buffer;
  return r;
}

TEST(IviSession, GetErrorBufferRulesAndClearOnRead) {
  Handle h;
  ASSERT_EQ(IviSession_SetError(h.get(), 0xBFFA0001, "Instrument error."), VI_SUCCESS);
  const ViInt32 needed = static_cast<ViInt32>(std::strlen("Instrument error.") + 1);

  // Size 0: the size needed, and nothing is cleared.
  ErrorRead r = read_error(h.get(), 0);
  EXPECT_EQ(r.result, needed);
  EXPECT_EQ(r.code, static_cast<ViStatus>(0xBFFA0001));

  // Too small: truncated and terminated, the size needed as result, then cleared.
  r = read_error(h.get(), 6);
  EXPECT_EQ(r.result, needed);
  EXPECT_EQ(r.text, "Instr");
  EXPECT_EQ(r.code, static_cast<ViStatus>(0xBFFA0001));
  r = read_error(h.get(), 100);
  EXPECT_EQ(r.result, VI_SUCCESS);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.text, "");

  // Exact fit and negative size copy everything.
  IviSession_SetError(h.get(), 0xBFFA0010, "Instrument error.");
  r = read_error(h.get(), needed);
  EXPECT_EQ(r.result, VI_SUCCESS);
  EXPECT_EQ(r.text, "Instrument error.");
  IviSession_SetError(h.get(), 0xBFFA0010, "Instrument error.");
  r = read_error(h.get(), -1);
  EXPECT_EQ(r.result, VI_SUCCESS);
  EXPECT_EQ(r.text, "Instrument error.");

  // ClearError forgets; a later SetError replaces an earlier one.
  IviSession_SetError(h.get(), 1, "first");
  IviSession_SetError(h.get(), 2, "second");
  r = read_error(h.get(), 100);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.text, "second");
  IviSession_SetError(h.get(), 3, "third");
  EXPECT_EQ(IviSession_ClearError(h.get()), VI_SUCCESS);
  EXPECT_EQ(read_error(h.get(), 100).code, 0);

  EXPECT_EQ(IviSession_GetError(h.get(), 10, nullptr, nullptr), IVI_ERROR_NULL_POINTER);
}

TEST(IviSession, DescriptionsAreLimitedTo1023Characters) {
  Handle h;
  std::string long_text(3000, 'a');
  IviSession_SetError(h.get(), 5, long_text.c_str());
  ErrorRead r = read_error(h.get(), 0);
  EXPECT_EQ(r.result, 1024);
  r = read_error(h.get(), -1);
  EXPECT_EQ(r.text, std::string(1023, 'a'));
}

TEST(IviSession, ThreadLastErrorIsSeparateFromTheSessionRecord) {
  Handle h;
  IviSession_ClearError(VI_NULL);
  IviSession_SetError(h.get(), 7, "on session");

  // Another thread has its own last error.
  ErrorRead elsewhere{};
  std::thread([&] { elsewhere = read_error(VI_NULL, 100); }).join();
  EXPECT_EQ(elsewhere.code, 0);

  // Reading the thread's record leaves the session's, and the other way round.
  ErrorRead mine = read_error(VI_NULL, 100);
  EXPECT_EQ(mine.code, 7);
  EXPECT_EQ(mine.text, "on session");
  EXPECT_EQ(read_error(VI_NULL, 100).code, 0);
  ErrorRead session = read_error(h.get(), 100);
  EXPECT_EQ(session.code, 7);

  // Handle 0 sets only the thread's record.
  IviSession_SetError(VI_NULL, 9, "thread only");
  EXPECT_EQ(read_error(h.get(), 100).code, 0);
  EXPECT_EQ(read_error(VI_NULL, 100).text, "thread only");

  // A disposed handle answers the invalid-handle code.
  ViSession gone = 0;
  IviSession_New(&gone);
  IviSession_Dispose(gone);
  EXPECT_EQ(IviSession_SetError(gone, 1, "x"), IVI_ERROR_INVALID_SESSION_HANDLE);
  EXPECT_EQ(read_error(gone, 100).result, IVI_ERROR_INVALID_SESSION_HANDLE);
  EXPECT_EQ(IviSession_ClearError(gone), IVI_ERROR_INVALID_SESSION_HANDLE);
}

}  // namespace
