#include <gtest/gtest.h>

#include <limits>

#include "render/frame_renderer.h"

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
    FrameRenderer::advancePhase(state, 100);
    EXPECT_FLOAT_EQ(state.phase, 0.2f);

    state = stateAt(0.5f, 1.0f, 1.0f);
    FrameRenderer::advancePhase(state, 500);
    EXPECT_EQ(state.phase, 1.0f) << "exactly 1.0 stays 1.0";

    state = stateAt(0.95f, 1.0f, 1.0f);
    FrameRenderer::advancePhase(state, 100);
    EXPECT_NEAR(state.phase, 0.05f, 1e-6f) << "a small overshoot wraps to itself";

    state = stateAt(0.3f, 1.0f, 1.0f);
    FrameRenderer::advancePhase(state, 0);
    EXPECT_FLOAT_EQ(state.phase, 0.3f);
}

TEST(MotionClock, ALongStallWrapsByTheRemainderOfTheElapsedCycles) {
    MascotState state = stateAt(0.1f, 0.5f, 4.0f);
    FrameRenderer::advancePhase(state, 5250);  // 10.5 cycles
    EXPECT_NEAR(state.phase, 0.6f, 1e-5f);

    state = stateAt(0.0f, 1.0f, 4.0f);
    FrameRenderer::advancePhase(state, 0xFFFFFFFFu);  // no clock goes this far, but stay in range
    EXPECT_GE(state.phase, 0.0f);
    EXPECT_LE(state.phase, 1.0f);
}

TEST(MotionClock, NonFiniteRatesRestartThePhase) {
    MascotState state = stateAt(0.5f, 1.0f, std::numeric_limits<float>::infinity());
    FrameRenderer::advancePhase(state, 10);
    EXPECT_EQ(state.phase, 0.0f);
}

// The pitch follows its rate for the frame, then the rate decays by 2 a frame
// and the pitch returns to 0 by 4 degrees a frame.
TEST(PitchSettling, RateDecaysThenPitchReturns) {
    MascotState state;
    state.pitch = 10.0f;
    state.pitchRate = 3.33f;
    state.yawRate = 1.5f;

    FrameRenderer::applyRotationRates(state);
    EXPECT_FLOAT_EQ(state.pitch, 13.33f);
    FrameRenderer::settlePitch(state);
    EXPECT_NEAR(state.pitchRate, 1.33f, 1e-5f);
    EXPECT_FLOAT_EQ(state.pitch, 13.33f);

    FrameRenderer::applyRotationRates(state);
    EXPECT_NEAR(state.pitch, 14.66f, 1e-4f);
    FrameRenderer::settlePitch(state);
    EXPECT_EQ(state.pitchRate, 0.0f) << "1.33 - 2 is below 0.1";

    FrameRenderer::applyRotationRates(state);
    FrameRenderer::settlePitch(state);
    EXPECT_NEAR(state.pitch, 10.66f, 1e-4f);
    EXPECT_FLOAT_EQ(state.yaw, 4.5f) << "yaw keeps turning at its rate";
    EXPECT_FLOAT_EQ(state.yawRate, 1.5f);

    state.pitchRate = -3.0f;
    FrameRenderer::settlePitch(state);
    EXPECT_FLOAT_EQ(state.pitchRate, -1.0f);
    FrameRenderer::settlePitch(state);
    EXPECT_EQ(state.pitchRate, 0.0f);
}

TEST(PitchSettling, LargePitchIsWrappedThenReturnsByFourDegrees) {
    MascotState state;
    state.pitch = 350.0f;
    const float expected[] = {-6.0f, -2.0f, 0.0f, 0.0f};
    for (float value : expected) {
        FrameRenderer::applyRotationRates(state);
        FrameRenderer::settlePitch(state);
        EXPECT_FLOAT_EQ(state.pitch, value);
    }

    state.pitch = 2.05f;
    FrameRenderer::settlePitch(state);
    EXPECT_EQ(state.pitch, 0.0f) << "2.05 - 4 is below 0.1";

    state.pitch = -725.0f;  // two turns and -5
    FrameRenderer::settlePitch(state);
    EXPECT_FLOAT_EQ(state.pitch, -1.0f);
}

TEST(PitchSettling, HugeAnglesAreBroughtBackWithoutLooping) {
    MascotState state;
    state.pitch = 1.0e30f;
    FrameRenderer::settlePitch(state);
    EXPECT_LE(state.pitch, 180.0f);
    EXPECT_GE(state.pitch, -180.0f);

    // After days of turning the yaw still moves by its rate.
    state.yaw = 3.0e7f;
    state.yawRate = 1.6667f;
    FrameRenderer::applyRotationRates(state);
    const float before = state.yaw;
    FrameRenderer::applyRotationRates(state);
    EXPECT_NEAR(state.yaw - before, 1.6667f, 1e-3f);
}

}  // namespace
}  // namespace tavo
