#include "offscreen_canvas.h"

#include <GL/osmesa.h>

#include <cstddef>

namespace tavo::render_tool {

OffscreenCanvas::OffscreenCanvas(int32_t width, int32_t height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height * 4) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 32, 0, 0, nullptr);
    if (context == nullptr) {
        return;
    }
    if (!OSMesaMakeCurrent(context, pixels_.data(), GL_UNSIGNED_BYTE, width, height)) {
        OSMesaDestroyContext(context);
        return;
    }
    context_ = context;
}

OffscreenCanvas::~OffscreenCanvas() {
    if (context_ != nullptr) {
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
    }
}

std::vector<uint8_t>& OffscreenCanvas::finishedPixels() {
    glFinish();
    return pixels_;
}

std::vector<uint8_t> OffscreenCanvas::topDownRgba() const {
    std::vector<uint8_t> rgba(pixels_.size());
    const size_t rowBytes = static_cast<size_t>(width_) * 4;
    for (int32_t row = 0; row < height_; ++row) {
        const uint8_t* source = &pixels_[rowBytes * static_cast<size_t>(height_ - 1 - row)];
        uint8_t* target = &rgba[rowBytes * static_cast<size_t>(row)];
        for (int32_t x = 0; x < width_; ++x) {
            target[x * 4 + 0] = source[x * 4 + 2];
            target[x * 4 + 1] = source[x * 4 + 1];
            target[x * 4 + 2] = source[x * 4 + 0];
            target[x * 4 + 3] = source[x * 4 + 3];
        }
    }
    return rgba;
}

}  // namespace tavo::render_tool

#if defined(__SANITIZE_ADDRESS__)
// OSMesa keeps some allocations of every context it has made current until
// the process ends; they are not this program's leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa.so\n"; }
#endif
