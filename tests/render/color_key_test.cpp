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

TEST(ColorKey, FullBlueBecomesTransparentBlackEverythingElseOpaque) {
    // B, G, R, A in memory order; seven pixels so that the tail after whole
    // blocks of four is keyed too.
    std::vector<uint8_t> pixels = pixelsOf({
        {255, 255, 255, 17},  // white: transparent
        {254, 10, 20, 0},     // blue 254: opaque, colour kept
        {255, 0, 0, 0},       // the cleared background
        {255, 200, 100, 255}, // any colour that reaches full blue
        {0, 0, 0, 0},         // black: opaque
        {255, 1, 2, 3},       // in the tail
        {12, 34, 56, 78},     // in the tail
    });
    applyColorKey(pixels.data(), 7, 1);
    EXPECT_EQ(pixels, pixelsOf({
                          {0, 0, 0, 0},
                          {254, 10, 20, 255},
                          {0, 0, 0, 0},
                          {0, 0, 0, 0},
                          {0, 0, 0, 255},
                          {0, 0, 0, 0},
                          {12, 34, 56, 255},
                      }));
}

TEST(ColorKey, CoversEveryRowOfTheSurfaceAndNothingBeyond) {
    const int32_t width = 5;
    const int32_t height = 3;
    std::vector<uint8_t> pixels(width * height * 4 + 8, 255);
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
