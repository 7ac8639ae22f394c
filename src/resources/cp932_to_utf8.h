#pragma once

#include <string>

namespace tavo {

// Converts code-page-932 bytes (the program's own texts, names in models and
// motions) to UTF-8 as Windows reads that code page. A byte that starts no
// valid character becomes U+FFFD and the rest goes on, so the result is
// always valid UTF-8. One file per platform.
std::string cp932ToUtf8(const std::string& text);

}  // namespace tavo
