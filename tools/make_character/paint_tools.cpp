#include "paint_tools.h"

namespace tavo::chara::paint {
namespace {

uint8_t channel(double value) {
    // 250 at most: nothing may reach the 255 of the colour key.
    return static_cast<uint8_t>(std::clamp(std::lround(value * 255.0), 0L, 250L));
}

}  // namespace

std::vector<uint8_t> paintSquare(int32_t size, const std::function<Colour(double, double)>& colourAt) {
    constexpr int32_t kSamples = 3;
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 4);
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            Colour sum{0.0, 0.0, 0.0};
            for (int32_t sy = 0; sy < kSamples; ++sy) {
                for (int32_t sx = 0; sx < kSamples; ++sx) {
                    const double u = (x + (sx + 0.5) / kSamples) / size;
                    const double v = (y + (sy + 0.5) / kSamples) / size;
                    const Colour c = colourAt(u, v);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            const double n = kSamples * kSamples;
            uint8_t* p = &pixels[(static_cast<size_t>(y) * size + x) * 4];
            p[0] = channel(sum.r / n);
            p[1] = channel(sum.g / n);
            p[2] = channel(sum.b / n);
            p[3] = 255;
        }
    }
    return pixels;
}

}  // namespace tavo::chara::paint
