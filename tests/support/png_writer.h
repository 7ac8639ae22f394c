#pragma once

#include <cstdint>
#include <vector>

namespace tavo::test {

// What to encode: rows are the raw samples as PNG stores them (packed for
// depths below 8, big-endian for 16), one vector of width-dependent length per row.
struct PngImage {
    uint32_t width = 1;
    uint32_t height = 1;
    int bitDepth = 8;
    int colorType = 0;  // PNG_COLOR_TYPE_...
    bool interlaced = false;
    std::vector<std::vector<uint8_t>> rows;
    std::vector<uint8_t> palette;       // r, g, b triples for palette images
    std::vector<uint8_t> transparency;  // tRNS alpha per palette entry
    std::vector<uint16_t> transparentColor;  // tRNS colour (grey, or red, green, blue)
};

// Encodes the image with libpng.
std::vector<uint8_t> encodePng(const PngImage& image);

// Rewrites the width and height in the header chunk of an encoded PNG and
// fixes its CRC, so that the header promises a size the data does not hold.
void forgeHeaderSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height);

}  // namespace tavo::test
