#pragma once

#include <string>

namespace tavo {

// Replaces the file at path with bytes in one step: the bytes go to a
// temporary file beside it, which is flushed to disk and then renamed over the
// target. A failure at any point leaves the previous file as it was and
// removes the temporary file. One implementation per platform.
bool writeFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace tavo
