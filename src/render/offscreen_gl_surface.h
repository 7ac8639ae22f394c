#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavo {

// An OpenGL context that renders into a buffer of its own: width x height
// pixels of 32 bits, B, G, R, A in that byte order, rows bottom-up (row 0 is
// the bottom of the picture). That is the layout of the Windows shell's DIB
// section, so the colour key and everything after it see the same bytes on
// both platforms. The context is made current when the surface is made and
// released with it.
//
// On Linux OSMesa renders into a buffer of this object
// (offscreen_gl_surface_posix.cpp); on Windows a WGL context draws into a
// DIB section on a memory DC (offscreen_gl_surface_win32.cpp), which the
// tools use. The mascot's Windows shell keeps its own DIB section.
class OffscreenGlSurface {
public:
    // Makes the buffer and the context and makes the context current. The
    // surface is not valid() when the size is empty or no context is given.
    OffscreenGlSurface(int32_t width, int32_t height);
    ~OffscreenGlSurface();
    OffscreenGlSurface(const OffscreenGlSurface&) = delete;
    OffscreenGlSurface& operator=(const OffscreenGlSurface&) = delete;

    bool valid() const { return context_ != nullptr; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    // width * height * 4 bytes; empty when the surface is not valid.
    uint8_t* pixels() { return pixels_; }
    const uint8_t* pixels() const { return pixels_; }
    size_t byteCount() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4; }
    // The pixel at column x of row y counted from the bottom: B, G, R, A.
    const uint8_t* pixel(int32_t x, int32_t y) const {
        return &pixels_[(static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4];
    }

    // Makes this surface's context current again (after another one was);
    // false when the surface is not valid or the platform refuses.
    bool makeCurrent();

private:
    void release();

    void* context_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    // Where the context draws: storage_ on Linux, the DIB section on Windows.
    uint8_t* pixels_ = nullptr;
    std::vector<uint8_t> storage_;
    // Windows only: the memory DC, the DIB section and the bitmap it replaced.
    void* deviceContext_ = nullptr;
    void* bitmap_ = nullptr;
    void* previousBitmap_ = nullptr;
};

}  // namespace tavo
