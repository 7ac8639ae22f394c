#include <gtest/gtest.h>

#include <limits>

#include "behaviour/figure_motion.h"

namespace tavo {
namespace {

MascotState stateAt(float phase, float actionFactor, float phaseRate) {
    MascotState state;
    state.phase = phase;
    state.actionFactor = actionFactor;
    state.phaseRate = phaseRate;
    return state;
}

TEST(MotionClock, PhaseFollowsElapsedTimeAndWrapsOnlyAboveOne) {
    MascotState state = stateAt(0.0f, 0.5f, 4.0f);  // two cycles a second
    advancePhase(state, 100);
    EXPECT_FLOAT_EQ(state.phase, 0.2f);

    state = stateAt(0.5f, 1.0f, 1.0f);
    advancePhase(state, 500);
    EXPECT_EQ(state.phase, 1.0f) << "exactly 1.0 stays 1.0";

    state = stateAt(0.95f, 1.0f, 1.0f);
    advancePhase(state, 100);
    EXPECT_NEAR(state.phase, 0.05f, 1e-6f) << "a small overshoot wraps to itself";

    state = stateAt(0.3f, 1.0f, 1.0f);
    advancePhase(state, 0);
    EXPECT_FLOAT_EQ(state.phase, 0.3f);
}

TEST(MotionClock, ALongStallWrapsByTheRemainderOfTheElapsedCycles) {
    MascotState state = stateAt(0.1f, 0.5f, 4.0f);
    advancePhase(state, 5250);  // 10.5 cycles
    EXPECT_NEAR(state.phase, 0.6f, 1e-5f);

    state = stateAt(0.0f, 1.0f, 4.0f);
    advancePhase(state, 0xFFFFFFFFu);  // no clock goes this far, but stay in range
    EXPECT_GE(state.phase, 0.0f);
    EXPECT_LE(state.phase, 1.0f);
}

TEST(MotionClock, FramesAdvanceThePhaseByTheTimeBetweenThem) {
    MascotState state = stateAt(0.0f, 1.0f, 1.0f);
    MotionClock clock;
    advancePhase(state, clock.elapsedMs(5000));  // the first frame starts the clock
    EXPECT_EQ(state.phase, 0.0f);
    advancePhase(state, clock.elapsedMs(5250));
    EXPECT_FLOAT_EQ(state.phase, 0.25f);

    // The millisecond counter wraps around after 49.7 days.
    MotionClock wrapping;
    state.phase = 0.0f;
    advancePhase(state, wrapping.elapsedMs(0xFFFFFF00u));
    advancePhase(state, wrapping.elapsedMs(0x00000100u));
    EXPECT_NEAR(state.phase, 0.512f, 1e-6f);
}

TEST(MotionClock, NonFiniteRatesRestartThePhase) {
    MascotState state = stateAt(0.5f, 1.0f, std::numeric_limits<float>::infinity());
    advancePhase(state, 10);
    EXPECT_EQ(state.phase, 0.0f);
}

// The pitch follows its rate for the frame, then the rate decays by 2 a frame
// and the pitch returns to 0 by 4 degrees a frame.
TEST(PitchSettling, RateDecaysThenPitchReturns) {
    MascotState state;
    state.pitch = 10.0f;
    state.pitchRate = 3.33f;
    state.yawRate = 1.5f;

    applyRotationRates(state);
    EXPECT_FLOAT_EQ(state.pitch, 13.33f);
    settlePitch(state);
    EXPECT_NEAR(state.pitchRate, 1.33f, 1e-5f);
    EXPECT_FLOAT_EQ(state.pitch, 13.33f);

    applyRotationRates(state);
    EXPECT_NEAR(state.pitch, 14.66f, 1e-4f);
    settlePitch(state);
    EXPECT_EQ(state.pitchRate, 0.0f) << "1.33 - 2 is below 0.1";

    applyRotationRates(state);
    settlePitch(state);
    EXPECT_NEAR(state.pitch, 10.66f, 1e-4f);
    EXPECT_FLOAT_EQ(state.yaw, 4.5f) << "yaw keeps turning at its rate";
    EXPECT_FLOAT_EQ(state.yawRate, 1.5f);

    state.pitchRate = -3.0f;
    settlePitch(state);
    EXPECT_FLOAT_EQ(state.pitchRate, -1.0f);
    settlePitch(state);
    EXPECT_EQ(state.pitchRate, 0.0f);
}

TEST(PitchSettling, LargePitchIsWrappedThenReturnsByFourDegrees) {
    MascotState state;
    state.pitch = 350.0f;
    const float expected[] = {-6.0f, -2.0f, 0.0f, 0.0f};
    for (float value : expected) {
        applyRotationRates(state);
        settlePitch(state);
        EXPECT_FLOAT_EQ(state.pitch, value);
    }

    state.pitch = 2.05f;
    settlePitch(state);
    EXPECT_EQ(state.pitch, 0.0f) << "2.05 - 4 is below 0.1";

    state.pitch = -725.0f;  // two turns and -5
    settlePitch(state);
    EXPECT_FLOAT_EQ(state.pitch, -1.0f);
}

TEST(PitchSettling, HugeAnglesAreBroughtBackWithoutLooping) {
    MascotState state;
    state.pitch = 1.0e30f;
    settlePitch(state);
    EXPECT_LE(state.pitch, 180.0f);
    EXPECT_GE(state.pitch, -180.0f);

    // After days of turning the yaw still moves by its rate.
    state.yaw = 3.0e7f;
    state.yawRate = 1.6667f;
    applyRotationRates(state);
    const float before = state.yaw;
    applyRotationRates(state);
    EXPECT_NEAR(state.yaw - before, 1.6667f, 1e-3f);
}

}  // namespace
}  // namespace tavo
