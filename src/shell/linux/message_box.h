#pragma once

#include <string>

namespace tavo {

// A modal error box with an OK button, centred on the screen and kept above
// other windows (UTF-8 texts). Returns when the box is closed.
void showMessageBox(const std::string& text, const std::string& caption);

// Closes the box that is open, if any (the program is ending).
void closeMessageBox();

}  // namespace tavo
