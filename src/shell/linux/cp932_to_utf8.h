#pragma once

#include <string>

namespace tavo {

// Converts a code-page-932 byte string (the program's own texts) to UTF-8 for
// GTK. Bytes that do not convert become U+FFFD; the result is always valid
// UTF-8.
std::string cp932ToUtf8(const std::string& text);

}  // namespace tavo
