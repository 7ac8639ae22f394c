#pragma once

#include <cstdint>
#include <vector>

#include "render/offscreen_gl_surface.h"

namespace tavo::render_tool {

// The surface's B, G, R, A bottom-up rows as R, G, B, A rows, top row first
// (the order PNG files keep).
std::vector<uint8_t> topDownRgba(const OffscreenGlSurface& surface);

}  // namespace tavo::render_tool
