#include <gtest/gtest.h>

#include "behaviour/frame_clock.h"

namespace tavo {
namespace {

// Drives the clock like the message loop: one check per idle pass at now,
// and an advance after every step. Returns the number of steps taken.
int32_t passesAt(FrameClock& clock, uint32_t nowMs, int32_t interval, int32_t passes) {
    int32_t steps = 0;
    for (int32_t i = 0; i < passes; ++i) {
        if (clock.stepDue(nowMs, interval)) {
            clock.advance(interval);
            ++steps;
        }
    }
    return steps;
}

TEST(FrameClockTest, StepsOnlyWhenStrictlyMoreThanTheIntervalHasPassed) {
    FrameClock clock;
    clock.start(1000);
    EXPECT_FALSE(clock.stepDue(1066, 66));
    EXPECT_TRUE(clock.stepDue(1067, 66));
    clock.advance(66);
    EXPECT_FALSE(clock.stepDue(1132, 66));
    EXPECT_TRUE(clock.stepDue(1133, 66));
}

TEST(FrameClockTest, MissedStepsRunBackToBackUntilCaughtUp) {
    FrameClock clock;
    clock.start(0);
    // 1000 ms late at 100 ms: steps at 100..900 are due (1000 is not > 1000).
    EXPECT_EQ(passesAt(clock, 1000, 100, 50), 9);
    EXPECT_FALSE(clock.stepDue(1000, 100));
    EXPECT_TRUE(clock.stepDue(1001, 100));
}

TEST(FrameClockTest, ResyncAfterAModalPauseGivesNoBurst) {
    FrameClock clock;
    clock.start(0);
    EXPECT_EQ(passesAt(clock, 150, 50, 5), 2);
    clock.requestResync();  // the menu was open for several seconds
    EXPECT_EQ(passesAt(clock, 5000, 50, 20), 0);
    EXPECT_EQ(passesAt(clock, 5051, 50, 20), 1);
}

TEST(FrameClockTest, StepRateMatchesTheIntervalOverTime) {
    FrameClock clock;
    clock.start(0);
    int32_t steps = 0;
    for (uint32_t now = 0; now <= 66000; ++now) steps += passesAt(clock, now, 66, 1);
    EXPECT_EQ(steps, 999);  // one per 66 ms: about 15.15 per second
}

TEST(FrameClockTest, TickCounterWrapIsNoBacklog) {
    FrameClock clock;
    clock.start(0xFFFFFFF0u);
    EXPECT_FALSE(clock.stepDue(0xFFFFFFFFu, 100));
    EXPECT_FALSE(clock.stepDue(0x00000050u, 100));  // 96 ms later, across the wrap
    EXPECT_EQ(passesAt(clock, 0x00000060u, 100, 100), 1);
    EXPECT_EQ(passesAt(clock, 0x000000C0u, 100, 100), 1);
}

}  // namespace
}  // namespace tavo
