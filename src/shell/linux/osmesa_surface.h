#pragma once

#include <cstdint>
#include <vector>

namespace tavo {

// The off-screen surface OpenGL draws into: a 32-bit B, G, R, A buffer with
// bottom-up rows (the layout of the Windows DIB section), and an OSMesa
// context that renders straight into it and stays current while it exists.
class OsmesaSurface {
public:
    OsmesaSurface() = default;
    ~OsmesaSurface() { destroy(); }
    OsmesaSurface(const OsmesaSurface&) = delete;
    OsmesaSurface& operator=(const OsmesaSurface&) = delete;

    // Makes the buffer and the context and makes the context current; false
    // (and nothing kept) when OSMesa cannot give a context.
    bool create(int32_t width, int32_t height);
    // Releases the context (first made not current) and the buffer.
    void destroy();

    bool valid() const { return context_ != nullptr; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    uint8_t* pixels() { return pixels_.data(); }
    const uint8_t* pixels() const { return pixels_.data(); }

private:
    void* context_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace tavo
