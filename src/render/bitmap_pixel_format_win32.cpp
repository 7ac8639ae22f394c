#include "render/bitmap_pixel_format_win32.h"

namespace tavo {

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "pixel format descriptor size");
static_assert((PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL) == 0x38, "bitmap flags");

bool chooseBitmapPixelFormat(HDC deviceContext) {
    PIXELFORMATDESCRIPTOR format;
    ZeroMemory(&format, sizeof format);
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 32;
    const int index = ChoosePixelFormat(deviceContext, &format);
    return index != 0 && SetPixelFormat(deviceContext, index, &format);
}

}  // namespace tavo
