#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo::render_tool {

// Writes 8-bit RGBA rows, top row first, as a PNG file. False on any failure
// (the file may then be incomplete).
bool writeRgbaPng(const std::string& path, int32_t width, int32_t height,
                  const std::vector<uint8_t>& rgba);

}  // namespace tavo::render_tool
