#pragma once

#include <string>

namespace tavo {

// The directory part of a module path in code page 932, with its trailing
// separator: everything up to and including the last separator byte that is
// not the second byte of a double-byte character. A path without a separator
// gets one appended.
std::string executableDirectory(const std::string& modulePath, char separator = '\\');

}  // namespace tavo
