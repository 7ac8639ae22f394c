#include "shell/win32/gl_context.h"

namespace tavo {

namespace {

// Draws to a bitmap with GDI and OpenGL, single-buffered: 32 colour bits and
// 32 depth bits, nothing else.
PIXELFORMATDESCRIPTOR bitmapPixelFormat() {
    PIXELFORMATDESCRIPTOR format;
    ZeroMemory(&format, sizeof format);
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 32;
    return format;
}

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "pixel format descriptor size");
static_assert((PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL) == 0x38, "bitmap flags");

}  // namespace

HGLRC createSurfaceContext(const OffscreenSurface& surface) {
    const PIXELFORMATDESCRIPTOR format = bitmapPixelFormat();
    const int index = ChoosePixelFormat(surface.memoryDc, &format);
    SetPixelFormat(surface.memoryDc, index, &format);
    HGLRC context = wglCreateContext(surface.memoryDc);
    wglMakeCurrent(surface.memoryDc, context);
    return context;
}

void releaseSurfaceContext(const OffscreenSurface& surface, HGLRC context) {
    wglMakeCurrent(surface.memoryDc, nullptr);
    if (context != nullptr) wglDeleteContext(context);
}

}  // namespace tavo
