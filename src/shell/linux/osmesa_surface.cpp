#include "shell/linux/osmesa_surface.h"

#include <GL/osmesa.h>

#include <cstddef>

namespace tavo {

bool OsmesaSurface::create(int32_t width, int32_t height) {
    destroy();
    if (width <= 0 || height <= 0) {
        return false;
    }
    // A 32-bit depth request is granted as 24 bits, as on Windows.
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 32, 0, 0, nullptr);
    if (context == nullptr) {
        return false;
    }
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    if (!OSMesaMakeCurrent(context, pixels_.data(), GL_UNSIGNED_BYTE, width, height)) {
        OSMesaDestroyContext(context);
        pixels_.clear();
        return false;
    }
    // Row 0 of the buffer is the bottom row of the picture (the default, set
    // here so that nothing depends on it).
    OSMesaPixelStore(OSMESA_Y_UP, 1);
    context_ = context;
    width_ = width;
    height_ = height;
    return true;
}

void OsmesaSurface::destroy() {
    if (context_ != nullptr) {
        OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
        OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
        context_ = nullptr;
    }
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
}

}  // namespace tavo
