#pragma once

#include "behaviour/mascot_state.h"

namespace tavo {

// tavo_3d.ini beside the executable, section "Mode": FrameSpeed,
// EscapeSpeed, ActionSpeed. Reading fills the executable directory and
// stores the three raw values in the state; writing stores the choices.
void readSettings(MascotState& state);
void writeSettings(const MascotState& state);

}  // namespace tavo
