#pragma once

#include <string>

namespace tavo::inspect {

// Passes UTF-8 text through unchanged; a byte that starts no valid
// character becomes "?".
std::string checkedUtf8(const std::string& text);

}  // namespace tavo::inspect
