#include "render/offscreen_gl_surface.h"

#include <windows.h>

#include "render/bitmap_pixel_format_win32.h"
#include "render/gl_back_end.h"
#include "resources/gl_api.h"

namespace tavo {

namespace {

// A 32-bit bottom-up DIB section: B, G, R, A bytes, row 0 at the bottom.
HBITMAP createDibSection(HDC deviceContext, int32_t width, int32_t height, void** bits) {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(deviceContext, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

std::string glString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

// Windows has one back end; TAVO_GL is a Linux choice.
GlChoice glChoiceFromEnvironment(std::string& warning) {
    warning.clear();
    return GlChoice::Automatic;
}

OffscreenGlSurface::OffscreenGlSurface(int32_t width, int32_t height)
    : OffscreenGlSurface(width, height, GlChoice::Automatic) {}

OffscreenGlSurface::OffscreenGlSurface(int32_t width, int32_t height, GlChoice) {
    if (width <= 0 || height <= 0) {
        return;
    }
    HDC deviceContext = CreateCompatibleDC(nullptr);
    if (deviceContext == nullptr) {
        return;
    }
    deviceContext_ = deviceContext;
    void* bits = nullptr;
    HBITMAP bitmap = createDibSection(deviceContext, width, height, &bits);
    if (bitmap == nullptr) {
        release();
        return;
    }
    bitmap_ = bitmap;
    previousBitmap_ = SelectObject(deviceContext, bitmap);
    width_ = width;
    height_ = height;
    HGLRC context = chooseBitmapPixelFormat(deviceContext) ? wglCreateContext(deviceContext) : nullptr;
    context_ = context;
    if (context == nullptr || !makeCurrent()) {
        release();
        return;
    }
    pixels_ = static_cast<uint8_t*>(bits);
    renderer_ = glString(GL_RENDERER) + ", OpenGL " + glString(GL_VERSION);
}

// GDI reads the DIB section only once GL has finished drawing into it.
void OffscreenGlSurface::finishFrame() {
    if (context_ != nullptr) {
        glFinish();
    }
}

const char* OffscreenGlSurface::backEndName() const { return context_ != nullptr ? "wgl" : ""; }

OffscreenGlSurface::~OffscreenGlSurface() { release(); }

bool OffscreenGlSurface::makeCurrent() {
    return context_ != nullptr &&
           wglMakeCurrent(static_cast<HDC>(deviceContext_), static_cast<HGLRC>(context_)) != FALSE;
}

void OffscreenGlSurface::release() {
    if (context_ != nullptr) {
        if (wglGetCurrentContext() == static_cast<HGLRC>(context_)) {
            wglMakeCurrent(nullptr, nullptr);
        }
        wglDeleteContext(static_cast<HGLRC>(context_));
        context_ = nullptr;
    }
    if (deviceContext_ != nullptr && previousBitmap_ != nullptr) {
        SelectObject(static_cast<HDC>(deviceContext_), static_cast<HGDIOBJ>(previousBitmap_));
    }
    if (bitmap_ != nullptr) {
        DeleteObject(static_cast<HBITMAP>(bitmap_));
    }
    if (deviceContext_ != nullptr) {
        DeleteDC(static_cast<HDC>(deviceContext_));
    }
    deviceContext_ = bitmap_ = previousBitmap_ = nullptr;
    pixels_ = nullptr;
    width_ = 0;
    height_ = 0;
}

}  // namespace tavo
