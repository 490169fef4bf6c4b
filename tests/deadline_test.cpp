// SPDX-License-Identifier: MIT
// The deadline every VISA operation runs against: it must neither end early
// nor let a wait run past it, whichever clock answers a check.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "deadline.h"

namespace visa {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

TEST(Deadline, NeverEndsBeforeItsTimeAndEndsRightAfter) {
  for (std::uint32_t ms : {1u, 5u, 30u, 150u}) {
    const Clock::time_point start = Clock::now();
    const Deadline deadline = Deadline::after_ms(ms);
    while (!deadline.expired()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, milliseconds(ms)) << ms << " ms";
    EXPECT_LT(took, milliseconds(ms + 200)) << ms << " ms";
    EXPECT_TRUE(deadline.exhausted());
    EXPECT_TRUE(deadline.left().exhausted);
    EXPECT_EQ(deadline.poll_timeout_ms(), 0);
  }
}

TEST(Deadline, AWaitItOffersNeverOutlastsIt) {
  for (std::uint32_t ms : {2u, 120u, 2000u, 600000u}) {
    const Clock::time_point start = Clock::now();
    const Deadline deadline = Deadline::after_ms(ms);
    const Deadline::Left left = deadline.left();
    const int wait = deadline.poll_timeout_ms();
    const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
    // Rounded up by a millisecond, so that a remainder waits rather than spins.
    EXPECT_LE(wait, static_cast<long>(ms) - elapsed + 1) << ms << " ms";
    // Short by no more than the time this took (with room for a loaded machine).
    EXPECT_GE(wait, static_cast<long>(ms) - elapsed - 200) << ms << " ms";
    // The one-reading answer a read asks before each wait says the same.
    if (ms >= 120) {  // 2 ms may pass on a loaded machine
      EXPECT_FALSE(left.exhausted) << ms << " ms";
    }
    EXPECT_GE(left.poll_ms, wait) << ms << " ms";
    EXPECT_LE(left.poll_ms, static_cast<long>(ms) + 1) << ms << " ms";
  }
}

TEST(Deadline, ZeroTakesWhatHasArrivedForAMomentAndInfiniteNeverEnds) {
  const Deadline zero = Deadline::immediate();
  EXPECT_TRUE(zero.expired());
  EXPECT_EQ(zero.poll_timeout_ms(), 0);
  std::this_thread::sleep_for(milliseconds(15));  // past the grace in which arrived bytes are still taken
  EXPECT_TRUE(zero.exhausted());
  EXPECT_TRUE(zero.left().exhausted);

  const Deadline forever = Deadline::after_ms(0xFFFFFFFFu);
  EXPECT_FALSE(forever.expired());
  EXPECT_FALSE(forever.exhausted());
  EXPECT_EQ(forever.poll_timeout_ms(), -1);
  EXPECT_FALSE(forever.left().exhausted);
  EXPECT_EQ(forever.left().poll_ms, -1);
}

}  // namespace
}  // namespace visa
