#pragma once

#include <filesystem>
#include <string>

namespace tavo::test {

// The bytes of a file as they are on disk; empty when it cannot be read.
std::string fileContents(const std::filesystem::path& path);

}  // namespace tavo::test
