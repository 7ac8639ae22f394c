#pragma once

#include <string>

namespace tavo {

// Where tavo_3d.ini lives: $XDG_CONFIG_HOME/tavo_3d/ when that variable holds
// an absolute path, otherwise ~/.config/tavo_3d/.
std::string settingsDirectory();
std::string settingsFilePath();

}  // namespace tavo
