#include "support/offscreen_gl_context.h"

namespace tavo::test {

OffscreenGlContext::OffscreenGlContext(int32_t width, int32_t height)
    : OffscreenGlSurface(width, height) {}

}  // namespace tavo::test
