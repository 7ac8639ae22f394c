#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavo {

class GlBackEnd;

// Which back end an OffscreenGlSurface uses on Linux: Automatic takes EGL
// where it reaches a GPU, else OSMesa, else EGL's software rasteriser.
// Windows has one back end (WGL) and ignores the choice.
enum class GlChoice { Automatic, Osmesa, Egl };

// TAVO_GL=osmesa or TAVO_GL=egl forces a back end; unset or empty is
// Automatic. Any other value is Automatic too, and `warning` says so.
GlChoice glChoiceFromEnvironment(std::string& warning);

// An OpenGL context that renders off screen into a picture of its own:
// width x height pixels of 32 bits, B, G, R, A in that byte order, rows
// bottom-up (row 0 is the bottom of the picture). That is the layout of the
// Windows shell's DIB section, so the colour key and everything after it see
// the same bytes on both platforms. The context is made current when the
// surface is made and released with it.
//
// On Linux there are two back ends (offscreen_gl_surface_posix.cpp): OSMesa,
// which renders straight into the picture, and EGL on Mesa's surfaceless
// platform (a GPU's render node where there is one, else llvmpipe), which
// renders into a framebuffer object and reads the frame back once in
// finishFrame(). On Windows a WGL context draws into a DIB section on a
// memory DC (offscreen_gl_surface_win32.cpp), which the tools use; the
// mascot's Windows shell keeps its own DIB section.
class OffscreenGlSurface {
public:
    // Makes the picture and the context (on Linux the back end from TAVO_GL)
    // and makes the context current. The surface is not valid() when the
    // size is empty or no context is given.
    OffscreenGlSurface(int32_t width, int32_t height);
    OffscreenGlSurface(int32_t width, int32_t height, GlChoice choice);
    ~OffscreenGlSurface();
    OffscreenGlSurface(const OffscreenGlSurface&) = delete;
    OffscreenGlSurface& operator=(const OffscreenGlSurface&) = delete;

    bool valid() const { return pixels_ != nullptr; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }

    // Waits until what was drawn is finished and puts it in pixels(). Call
    // it once per frame, after drawing and before reading the picture.
    void finishFrame();

    // width * height * 4 bytes: the frame of the last finishFrame(); empty
    // when the surface is not valid.
    uint8_t* pixels() { return pixels_; }
    const uint8_t* pixels() const { return pixels_; }
    size_t byteCount() const {
        return pixels_ != nullptr ? static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4 : 0;
    }
    // The pixel at column x of row y counted from the bottom: B, G, R, A.
    const uint8_t* pixel(int32_t x, int32_t y) const {
        return &pixels_[(static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4];
    }

    // Makes this surface's context current again (after another one was);
    // false when the surface is not valid or the platform refuses.
    bool makeCurrent();

    // "osmesa", "egl" or "wgl" ("" when not valid) and the GL renderer and
    // version strings of the context, for the user to see which one draws.
    const char* backEndName() const;
    const std::string& renderer() const { return renderer_; }

private:
    bool tryBackEnd(GlChoice backEnd);
    void chooseAutomatically();
    void release();

    int32_t width_ = 0;
    int32_t height_ = 0;
    // Where the frame is read: storage_ on Linux, the DIB section on Windows.
    uint8_t* pixels_ = nullptr;
    std::string renderer_;
    // Linux: the chosen back end and the picture it fills.
    std::unique_ptr<GlBackEnd> backEnd_;
    std::vector<uint8_t> storage_;
    // Windows: the memory DC, the DIB section, the bitmap it replaced and the
    // WGL context.
    void* deviceContext_ = nullptr;
    void* bitmap_ = nullptr;
    void* previousBitmap_ = nullptr;
    void* context_ = nullptr;
};

}  // namespace tavo
