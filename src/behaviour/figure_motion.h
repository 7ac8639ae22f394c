#pragma once

#include <cstdint>

#include "behaviour/mascot_state.h"

namespace tavo {

// What each frame does to the figure's motion state: the phase of the played
// motion and the pitch and yaw with their rates. The session advances the
// state before a frame is drawn and settles the pitch after; drawing only
// reads it.

// Milliseconds between frames of any monotonic millisecond clock; the first
// call starts the clock and gives 0. The counter may wrap around.
class MotionClock {
public:
    uint32_t elapsedMs(uint32_t nowMs);

private:
    bool started_ = false;
    uint32_t last_ = 0;
};

// Advances state.phase by an elapsed time (ms); wraps above 1.0.
void advancePhase(MascotState& state, uint32_t elapsedMs);
// Adds the per-frame rates to pitch and yaw.
void applyRotationRates(MascotState& state);
// After a frame has been drawn: the pitch rate decays by 2, and once it is 0
// the pitch returns towards 0 by 4 degrees a frame.
void settlePitch(MascotState& state);

// A new character plays its clip at its pace.
inline void followCharacter(MascotState& state, int32_t clip, float phaseRate) {
    state.motionIndex = clip;
    state.phaseRate = phaseRate;
}

// Before a frame is drawn: the phase follows the elapsed time and the
// rotations their rates.
inline void advanceFigure(MascotState& state, uint32_t elapsedMs) {
    state.frameElapsedMs = elapsedMs;
    advancePhase(state, elapsedMs);
    applyRotationRates(state);
}

}  // namespace tavo
