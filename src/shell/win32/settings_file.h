#pragma once

#include "session/stored_settings.h"

namespace tavo {

// tavo_3d.ini beside the executable: [Mode] FrameSpeed, EscapeSpeed,
// ActionSpeed, Language (only read) and [Character] Path. Reading fills the executable directory
// and gives the raw values; writing stores them.
StoredSettings readSettings();
void writeSettings(const StoredSettings& settings);

}  // namespace tavo
