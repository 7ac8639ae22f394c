#include "square_icon.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tavo::render_tool {

namespace {

// Free space around the figure, as a share of the square's side.
constexpr double kMargin = 0.04;

struct Box {
    int32_t left = 0, top = 0, right = -1, bottom = -1;  // inclusive
    bool empty() const { return right < left; }
};

Box opaqueBounds(const std::vector<uint8_t>& rgba, int32_t width, int32_t height) {
    Box box{width, height, -1, -1};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (rgba[(static_cast<size_t>(y) * width + x) * 4 + 3] == 0) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

// Premultiplied pixels of a square canvas of side `side` with the figure
// centred on it (pixels outside the frame are transparent).
std::vector<float> centredSquare(const std::vector<uint8_t>& rgba, int32_t width, const Box& box,
                                 int32_t side) {
    std::vector<float> square(static_cast<size_t>(side) * side * 4, 0.0f);
    const int32_t boxWidth = box.right - box.left + 1;
    const int32_t boxHeight = box.bottom - box.top + 1;
    const int32_t offsetX = (side - boxWidth) / 2;
    const int32_t offsetY = (side - boxHeight) / 2;
    for (int32_t y = 0; y < boxHeight; ++y) {
        for (int32_t x = 0; x < boxWidth; ++x) {
            const uint8_t* source = &rgba[(static_cast<size_t>(box.top + y) * width + box.left + x) * 4];
            float* target = &square[(static_cast<size_t>(offsetY + y) * side + offsetX + x) * 4];
            const float alpha = source[3] / 255.0f;
            for (int c = 0; c < 3; ++c) target[c] = source[c] * alpha;
            target[3] = alpha;
        }
    }
    return square;
}

// Shrinks (or stretches) a square of premultiplied pixels along one axis with
// a box filter: each target pixel averages the source span it covers,
// counting partly covered source pixels by the part they cover.
std::vector<float> resampleAxis(const std::vector<float>& source, int32_t sourceSide, int32_t otherSide,
                                int32_t targetSide, bool alongRows) {
    std::vector<float> target(static_cast<size_t>(targetSide) * otherSide * 4, 0.0f);
    const double scale = static_cast<double>(sourceSide) / targetSide;
    for (int32_t t = 0; t < targetSide; ++t) {
        const double from = t * scale;
        const double to = from + scale;
        for (int32_t s = static_cast<int32_t>(std::floor(from)); s < to && s < sourceSide; ++s) {
            const double weight = (std::min<double>(s + 1, to) - std::max<double>(s, from)) / scale;
            for (int32_t o = 0; o < otherSide; ++o) {
                const size_t in = alongRows ? (static_cast<size_t>(o) * sourceSide + s) * 4
                                            : (static_cast<size_t>(s) * otherSide + o) * 4;
                const size_t out = alongRows ? (static_cast<size_t>(o) * targetSide + t) * 4
                                             : (static_cast<size_t>(t) * otherSide + o) * 4;
                for (int c = 0; c < 4; ++c) target[out + c] += static_cast<float>(source[in + c] * weight);
            }
        }
    }
    return target;
}

uint8_t toByte(float value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 255.0f)));
}

}  // namespace

std::vector<uint8_t> squareIcon(const std::vector<uint8_t>& rgba, int32_t width, int32_t height,
                                int32_t size) {
    const Box box = opaqueBounds(rgba, width, height);
    if (box.empty() || size <= 0) {
        return {};
    }
    const int32_t longest = std::max(box.right - box.left + 1, box.bottom - box.top + 1);
    const int32_t side = static_cast<int32_t>(std::ceil(longest / (1.0 - 2.0 * kMargin)));
    const std::vector<float> square = centredSquare(rgba, width, box, side);
    const std::vector<float> narrow = resampleAxis(square, side, side, size, true);
    const std::vector<float> scaled = resampleAxis(narrow, side, size, size, false);

    std::vector<uint8_t> icon(static_cast<size_t>(size) * size * 4, 0);
    for (size_t i = 0; i < icon.size(); i += 4) {
        const float alpha = scaled[i + 3];
        if (alpha <= 0.0f) continue;
        for (int c = 0; c < 3; ++c) icon[i + c] = toByte(scaled[i + c] / alpha);
        icon[i + 3] = toByte(alpha * 255.0f);
    }
    return icon;
}

}  // namespace tavo::render_tool
