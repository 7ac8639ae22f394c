#pragma once

#include <windows.h>

#include "shell/win32/offscreen_surface.h"

namespace tavo {

// Chooses and sets the bitmap pixel format on the surface's memory DC, makes
// an OpenGL context there and makes it current. Null when that fails.
HGLRC createSurfaceContext(const OffscreenSurface& surface);
// Makes no context current on the surface and deletes the context.
void releaseSurfaceContext(const OffscreenSurface& surface, HGLRC context);

}  // namespace tavo
