#pragma once

#include <windows.h>

namespace tavo {

// Sets a device context up for OpenGL drawing into a bitmap: 32 colour bits
// and a depth buffer, single-buffered. The mascot's window and the tools'
// surface both draw this way, so that they make the same pixels.
bool chooseBitmapPixelFormat(HDC deviceContext);

}  // namespace tavo
