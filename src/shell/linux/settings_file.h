#pragma once

#include <string>

#include "session/stored_settings.h"

namespace tavo {

// tavo_3d.ini at path: the three menu choices in [Mode] (raw numbers; the
// choice handlers map them when they are applied) and the character's folder
// in [Character]. A missing file gives the defaults.
StoredSettings readSettings(const std::string& path);

// Writes the settings into the file, keeping everything else in it; the file
// and its directory are created when missing. False when the file could not
// be written (the settings are then lost, nothing else).
bool writeSettings(const std::string& path, const StoredSettings& settings);

}  // namespace tavo
