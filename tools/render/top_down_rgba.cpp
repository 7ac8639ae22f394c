#include "top_down_rgba.h"

#include <cstddef>

namespace tavo::render_tool {

std::vector<uint8_t> topDownRgba(const OffscreenGlSurface& surface) {
    const int32_t width = surface.width();
    const int32_t height = surface.height();
    std::vector<uint8_t> rgba(surface.byteCount());
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* source = surface.pixels() + rowBytes * static_cast<size_t>(height - 1 - row);
        uint8_t* target = &rgba[rowBytes * static_cast<size_t>(row)];
        for (int32_t x = 0; x < width; ++x) {
            target[x * 4 + 0] = source[x * 4 + 2];
            target[x * 4 + 1] = source[x * 4 + 1];
            target[x * 4 + 2] = source[x * 4 + 0];
            target[x * 4 + 3] = source[x * 4 + 3];
        }
    }
    return rgba;
}

}  // namespace tavo::render_tool
