#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo::chara {

// The zlib stream of data compressed with fixed Huffman codes and greedy
// LZ77 matching: entirely our own code, so the output is the same byte for
// byte wherever the generator runs.
std::string deflateFixed(const std::vector<uint8_t>& data);

// An 8-bit RGBA, non-interlaced PNG of rows from top to bottom.
std::string encodePng(int32_t width, int32_t height, const std::vector<uint8_t>& rgba);

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

}  // namespace tavo::chara
