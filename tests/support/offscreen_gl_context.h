#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavo::test {

// An OSMesa context rendering into a 32-bit BGRA, bottom-up buffer, current
// for the lifetime of the object (the same layout as the program's surface).
class OffscreenGlContext {
public:
    OffscreenGlContext(int32_t width = 64, int32_t height = 64);
    ~OffscreenGlContext();
    OffscreenGlContext(const OffscreenGlContext&) = delete;
    OffscreenGlContext& operator=(const OffscreenGlContext&) = delete;

    bool valid() const { return context_ != nullptr; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    std::vector<uint8_t>& pixels() { return pixels_; }
    // Pixel at column x of row y counted from the bottom: B, G, R, A.
    const uint8_t* pixel(int32_t x, int32_t y) const { return &pixels_[(y * width_ + x) * 4]; }

private:
    void* context_ = nullptr;
    int32_t width_;
    int32_t height_;
    std::vector<uint8_t> pixels_;
};

}  // namespace tavo::test
