#pragma once

#include <string>
#include <vector>

namespace tavo {

// The folders whose sub-folders are characters, in the order they are
// searched (UTF-8). Linux: $XDG_DATA_HOME/tavo_3d/characters (by default
// ~/.local/share), then tavo_3d/characters under each folder of
// $XDG_DATA_DIRS (by default /usr/local/share:/usr/share). Windows:
// characters beside the executable, then %APPDATA%\tavo_3d\characters.
// One file per platform.
std::vector<std::string> characterBaseFolders();

}  // namespace tavo
