#include "render/offscreen_gl_surface.h"

#include <GL/osmesa.h>

namespace tavo {

OffscreenGlSurface::OffscreenGlSurface(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) {
        return;
    }
    // A 32-bit depth request is granted as 24 bits, as on Windows.
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 32, 0, 0, nullptr);
    if (context == nullptr) {
        return;
    }
    context_ = context;
    width_ = width;
    height_ = height;
    storage_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    pixels_ = storage_.data();
    if (!makeCurrent()) {
        release();
    }
}

OffscreenGlSurface::~OffscreenGlSurface() { release(); }

bool OffscreenGlSurface::makeCurrent() {
    if (context_ == nullptr ||
        !OSMesaMakeCurrent(static_cast<OSMesaContext>(context_), pixels_, GL_UNSIGNED_BYTE,
                           width_, height_)) {
        return false;
    }
    // Row 0 of the buffer is the bottom row of the picture (the default, set
    // here so that nothing depends on it).
    OSMesaPixelStore(OSMESA_Y_UP, 1);
    return true;
}

void OffscreenGlSurface::release() {
    if (context_ != nullptr) {
        if (OSMesaGetCurrentContext() == context_) {
            OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        }
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
        context_ = nullptr;
    }
    storage_.clear();
    storage_.shrink_to_fit();
    pixels_ = nullptr;
    width_ = 0;
    height_ = 0;
}

}  // namespace tavo

#if defined(__SANITIZE_ADDRESS__)
// OSMesa keeps some allocations of every context it has made current until
// the process ends; LeakSanitizer is told not to report them as leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libOSMesa.so\n"; }
#endif
