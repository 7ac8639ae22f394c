#include <gtest/gtest.h>

#include <vector>

#include "render/frame_renderer.h"

namespace tavo {
namespace {

std::vector<uint8_t> pixelsOf(std::initializer_list<std::vector<uint8_t>> list) {
    std::vector<uint8_t> bytes;
    for (const auto& pixel : list) {
        bytes.insert(bytes.end(), pixel.begin(), pixel.end());
    }
    return bytes;
}

TEST(ColorKey, OnlyTheClearColourBecomesTransparentEverythingDrawnStays) {
    // B, G, R, A in memory order; nine pixels so that the tail after whole
    // blocks of four is keyed too.
    std::vector<uint8_t> pixels = pixelsOf({
        {255, 255, 255, 17},  // white: drawn, stays
        {254, 10, 20, 0},     // blue 254: opaque, colour kept
        {255, 0, 0, 0},       // the cleared background
        {255, 200, 100, 255}, // light blue: drawn, stays
        {0, 0, 0, 0},         // black: opaque
        {255, 0, 1, 0},       // one step of red from the clear colour
        {255, 1, 0, 0},       // one step of green
        {255, 0, 0, 99},      // the clear colour with any fourth byte (tail)
        {255, 255, 255, 0},   // white in the tail
    });
    applyColorKey(pixels.data(), 9, 1);
    EXPECT_EQ(pixels, pixelsOf({
                          {255, 255, 255, 255},
                          {254, 10, 20, 255},
                          {0, 0, 0, 0},
                          {255, 200, 100, 255},
                          {0, 0, 0, 255},
                          {255, 0, 1, 255},
                          {255, 1, 0, 255},
                          {0, 0, 0, 0},
                          {255, 255, 255, 255},
                      }));
}

TEST(ColorKey, CoversEveryRowOfTheSurfaceAndNothingBeyond) {
    const int32_t width = 5;
    const int32_t height = 3;
    std::vector<uint8_t> pixels(width * height * 4 + 8, 255);
    for (int32_t i = 0; i < width * height; ++i) {
        pixels[static_cast<size_t>(i) * 4 + 1] = 0;  // the clear colour everywhere
        pixels[static_cast<size_t>(i) * 4 + 2] = 0;
    }
    applyColorKey(pixels.data(), width, height);
    for (int32_t i = 0; i < width * height * 4; ++i) {
        ASSERT_EQ(pixels[static_cast<size_t>(i)], 0) << i;
    }
    for (size_t i = width * height * 4; i < pixels.size(); ++i) {
        EXPECT_EQ(pixels[i], 255) << "byte past the surface changed: " << i;
    }
    applyColorKey(nullptr, width, height);
    applyColorKey(pixels.data(), 0, height);
    applyColorKey(pixels.data(), width, -1);
}

}  // namespace
}  // namespace tavo
