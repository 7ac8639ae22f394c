#include <gtest/gtest.h>

#include "behaviour/blink_timer.h"

namespace tavo {
namespace {

// A minute at 30 and at 10 frames a second: blinks come every few seconds
// at irregular intervals, each shuts the eyes fully at 30 frames a second
// and is seen at 10, and a stall of minutes neither hangs nor blinks for ever.
TEST(BlinkTimer, BlinksEveryFewSecondsAtIrregularIntervalsAtAnyFrameRate) {
    for (const float fps : {30.0f, 10.0f}) {
        BlinkTimer timer(12345u);
        int32_t blinks = 0;
        bool shut = false;
        float last = -1.0f;
        float shortest = 1e9f;
        float longest = 0.0f;
        bool wasBlinking = false;
        for (int32_t frame = 0; frame < static_cast<int32_t>(60.0f * fps); ++frame) {
            const float weight = timer.advance(1.0f / fps);
            ASSERT_GE(weight, 0.0f);
            ASSERT_LE(weight, 1.0f);
            shut = shut || weight == 1.0f;
            const bool blinking = weight > 0.0f;
            if (blinking && !wasBlinking) {
                const float now = static_cast<float>(frame) / fps;
                if (last >= 0.0f && now - last > 1.0f) {
                    shortest = std::min(shortest, now - last);
                    longest = std::max(longest, now - last);
                }
                last = now;
                ++blinks;
            }
            wasBlinking = blinking;
        }
        EXPECT_GE(blinks, 10) << fps;
        EXPECT_LE(blinks, 40) << fps;
        EXPECT_GE(shortest, 1.9f) << "pauses between single blinks are 2 to 6 s";
        EXPECT_LE(longest, 6.3f);
        EXPECT_GT(longest - shortest, 1.0f) << "and not all alike";
        if (fps == 30.0f) {
            EXPECT_TRUE(shut);
        }
    }
    BlinkTimer timer;
    EXPECT_LE(timer.advance(600.0f), 1.0f);
    int32_t frames = 0;
    while (timer.advance(0.1f) > 0.0f && frames < 100) ++frames;
    EXPECT_LT(frames, 5) << "a blink after a stall ends";
}

}  // namespace
}  // namespace tavo
