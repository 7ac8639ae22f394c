#pragma once

#include <cstdint>

#include "render/offscreen_gl_surface.h"

namespace tavo::test {

// The program's off-screen surface with the small default size the tests
// use; current for the lifetime of the object.
class OffscreenGlContext : public OffscreenGlSurface {
public:
    OffscreenGlContext(int32_t width = 64, int32_t height = 64);
};

}  // namespace tavo::test
