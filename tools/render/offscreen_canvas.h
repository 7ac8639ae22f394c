#pragma once

#include <cstdint>
#include <vector>

namespace tavo::render_tool {

// An OSMesa context drawing into a 32-bit B, G, R, A buffer with bottom-up
// rows, the layout of the mascot's surface; current while the object lives.
class OffscreenCanvas {
public:
    OffscreenCanvas(int32_t width, int32_t height);
    ~OffscreenCanvas();
    OffscreenCanvas(const OffscreenCanvas&) = delete;
    OffscreenCanvas& operator=(const OffscreenCanvas&) = delete;

    bool valid() const { return context_ != nullptr; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // Finishes drawing and gives the surface memory.
    std::vector<uint8_t>& finishedPixels();
    // The surface as RGBA rows, top row first.
    std::vector<uint8_t> topDownRgba() const;

private:
    void* context_ = nullptr;
    int32_t width_;
    int32_t height_;
    std::vector<uint8_t> pixels_;
};

}  // namespace tavo::render_tool
