#include <gtest/gtest.h>

#include "behaviour/frame_clock.h"

namespace tavo {
namespace {

// The first time from now on at which the clock reports a step as due.
uint32_t firstDueFrom(FrameClock clock, uint32_t nowMs, int32_t interval) {
    uint32_t wait = 0;
    while (!clock.stepDue(nowMs + wait, interval) && wait < 100000) ++wait;
    return wait;
}

TEST(FrameClockWaitTest, WaitEndsExactlyWhenTheNextStepBecomesDue) {
    FrameClock clock;
    clock.start(1000);
    for (const uint32_t now : {1000u, 1001u, 1033u, 1034u}) {
        EXPECT_EQ(clock.msUntilDue(now, 33), firstDueFrom(clock, now, 33)) << now;
    }
    EXPECT_EQ(clock.msUntilDue(1000, 33), 34u);
    EXPECT_EQ(clock.msUntilDue(1034, 33), 0u);
    clock.advance(33);
    EXPECT_EQ(clock.msUntilDue(1040, 33), 27u);
    EXPECT_EQ(clock.msUntilDue(1040, 33), firstDueFrom(clock, 1040, 33));
}

TEST(FrameClockWaitTest, ABacklogOrAWrappedCounterNeedsNoWaitOrTheRightOne) {
    FrameClock behind;
    behind.start(0);
    EXPECT_EQ(behind.msUntilDue(5000, 100), 0u);  // missed steps are due at once

    FrameClock wrapped;
    wrapped.start(0xFFFFFFF0u);
    EXPECT_EQ(wrapped.msUntilDue(0x00000010u, 100), 69u);
    EXPECT_EQ(wrapped.msUntilDue(0x00000010u, 100), firstDueFrom(wrapped, 0x00000010u, 100));
}

TEST(FrameClockWaitTest, AfterAResyncTheWaitIsAWholeInterval) {
    FrameClock clock;
    clock.start(0);
    clock.requestResync();
    EXPECT_EQ(clock.msUntilDue(9000, 50), 51u);
    EXPECT_EQ(clock.msUntilDue(9000, 50), firstDueFrom(clock, 9000, 50));
}

// A loop that sleeps for the reported wait and then asks whether the step is
// due: after the menu closes it must step one interval later, not two.
TEST(FrameClockWaitTest, SleepingForTheWaitAfterAResyncEndsInAStep) {
    FrameClock clock;
    clock.start(0);
    clock.requestResync();
    const uint32_t wait = clock.msUntilDue(9000, 50);
    EXPECT_EQ(wait, 51u);
    EXPECT_TRUE(clock.stepDue(9000 + wait, 50));
    clock.advance(50);
    EXPECT_EQ(clock.msUntilDue(9051, 50), 50u);
}

}  // namespace
}  // namespace tavo
