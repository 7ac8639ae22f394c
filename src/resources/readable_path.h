#pragma once

#include <string>

namespace tavo {

// A path or file name as a message shows it, always valid UTF-8: each part
// between "/" that is UTF-8 already stays as it is, any other part is read as
// code page 932 (a texture name of an old document, a file unpacked without
// conversion), and a byte that is neither becomes U+FFFD.
std::string readablePath(const std::string& path);

}  // namespace tavo
