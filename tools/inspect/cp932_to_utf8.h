#pragma once

#include <string>

namespace tavo::inspect {

// Converts code-page-932 bytes (names in models and motions) to UTF-8; a
// byte that starts no valid character becomes "?".
std::string cp932ToUtf8(const std::string& text);

}  // namespace tavo::inspect
