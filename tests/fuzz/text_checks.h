#pragma once

#include <string>

namespace tavo::fuzz {

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(const std::string& text);

// True when the text is exactly one JSON value (RFC 8259) with optional
// white space around it; strings must be valid UTF-8.
bool isValidJson(const std::string& text);

}  // namespace tavo::fuzz
