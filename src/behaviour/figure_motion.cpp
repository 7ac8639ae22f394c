#include "behaviour/figure_motion.h"

#include <cmath>

namespace tavo {

namespace {

// Past this many degrees a float can no longer take a small turn step; the
// yaw is then brought back by whole turns, which shows the same picture.
constexpr float kYawWrapLimit = 360.0f * 4096.0f;

float settleTowardsZero(float value, float step, float snap) {
    if (value > 0.0f) {
        value -= step;
        return value < snap ? 0.0f : value;
    }
    if (value < 0.0f) {
        value += step;
        return value > -snap ? 0.0f : value;
    }
    return value;
}

// Brings an angle into [-180, 180] in whole turns.
float wrapHalfTurn(float degrees) {
    if (degrees > 180.0f || degrees < -180.0f) {
        degrees = std::fmod(degrees, 360.0f);
    }
    while (degrees > 180.0f) {
        degrees -= 360.0f;
    }
    while (degrees < -180.0f) {
        degrees += 360.0f;
    }
    return degrees;
}

}  // namespace

uint32_t MotionClock::elapsedMs(uint32_t nowMs) {
    if (!started_) {
        last_ = nowMs;
        started_ = true;
    }
    const uint32_t elapsed = nowMs - last_;
    last_ = nowMs;
    return elapsed;
}

// The phase follows measured time: elapsed seconds times the motion's cycles
// per second. Only a result above 1.0 wraps, so exactly 1.0 is shown as the
// last frame; a long stall wraps by the remainder of the elapsed cycles.
void advancePhase(MascotState& state, uint32_t elapsedMs) {
    state.phase += static_cast<float>(elapsedMs) * 0.001f * (state.actionFactor * state.phaseRate);
    if (state.phase > 1.0f) {
        state.phase = std::fmod(state.phase, 1.0f);
    }
    if (!std::isfinite(state.phase)) {
        state.phase = 0.0f;
    }
}

void applyRotationRates(MascotState& state) {
    state.pitch += state.pitchRate;
    state.yaw += state.yawRate;
    if (std::fabs(state.yaw) > kYawWrapLimit) {
        state.yaw = std::fmod(state.yaw, 360.0f);
    }
}

void settlePitch(MascotState& state) {
    if (state.pitchRate > 0.0f || state.pitchRate < 0.0f) {
        state.pitchRate = settleTowardsZero(state.pitchRate, 2.0f, 0.1f);
        return;
    }
    state.pitch = settleTowardsZero(wrapHalfTurn(state.pitch), 4.0f, 0.1f);
}

}  // namespace tavo
