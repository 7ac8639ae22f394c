#pragma once

#include <string>

#include "behaviour/mascot_state.h"

namespace tavo {

// The three menu choices in section "Mode": FrameSpeed (default 0),
// EscapeSpeed (default 1) and ActionSpeed (default 0). Reading stores the raw
// numbers; the choice handlers map them when they are applied.
void readSettings(const std::string& path, MascotState& state);

// Writes the three stored choices into the file, keeping everything else in
// it; the file and its directory are created when missing. False when the
// file could not be written (the settings are then lost, nothing else).
bool writeSettings(const std::string& path, const MascotState& state);

}  // namespace tavo
