#include "shell/win32/gl_context.h"

#include "render/bitmap_pixel_format_win32.h"

namespace tavo {

HGLRC createSurfaceContext(const OffscreenSurface& surface) {
    chooseBitmapPixelFormat(surface.memoryDc);
    HGLRC context = wglCreateContext(surface.memoryDc);
    wglMakeCurrent(surface.memoryDc, context);
    return context;
}

void releaseSurfaceContext(const OffscreenSurface& surface, HGLRC context) {
    wglMakeCurrent(surface.memoryDc, nullptr);
    if (context != nullptr) wglDeleteContext(context);
}

}  // namespace tavo
