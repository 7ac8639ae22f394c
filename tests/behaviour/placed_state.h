#pragma once

#include "behaviour/mascot_state.h"
#include "recording_shell.h"

namespace tavo {

// A state at 10 fps (walk 2, escape 20, turn 5, tilt 10) placed at (x, y).
inline MascotState stateAt(float x, float y, bool movingRight) {
    MascotState state;
    RecordingShell shell;
    state.applyFrameRate(10, shell);
    state.posX = x;
    state.posY = y;
    state.movingRight = movingRight ? 1 : 0;
    return state;
}

}  // namespace tavo
