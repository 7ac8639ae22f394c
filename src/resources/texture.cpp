#include "resources/texture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace tavo {

namespace {

// One pixel's four bytes as floats, in byte order.
struct Channels {
    float value[4];
};

Channels unpack(const uint8_t* pixel) {
    return {{static_cast<float>(pixel[0]), static_cast<float>(pixel[1]),
             static_cast<float>(pixel[2]), static_cast<float>(pixel[3])}};
}

uint8_t toByte(float value) {
    const int32_t truncated = static_cast<int32_t>(value);  // toward zero
    return static_cast<uint8_t>(std::clamp(truncated, 0, 255));
}

// Where destination index d of n lands among the source indices 0 .. sourceCount-1:
// the lower index, the upper one and the fraction between them.
struct SamplePoint {
    int32_t low;
    int32_t high;
    float fraction;
};

SamplePoint samplePoint(int32_t d, int32_t n, int32_t sourceCount) {
    const float coordinate =
        n <= 1 ? 0.0f
               : static_cast<float>(sourceCount - 1) * static_cast<float>(d) / static_cast<float>(n - 1);
    const int32_t low = std::min(static_cast<int32_t>(std::floor(coordinate)), sourceCount - 1);
    const int32_t high = std::min(low + 1, sourceCount - 1);
    return {low, high, coordinate - static_cast<float>(low)};
}

}  // namespace

void Texture::setPicture(int32_t w, int32_t h, const uint8_t* source, int32_t format) {
    if (source == nullptr || w < 1 || h < 1 || w > kMaxTextureSide || h > kMaxTextureSide) {
        return;
    }
    width = w;
    height = h;
    paddedWidth = nextPowerOfTwo(w);
    paddedHeight = nextPowerOfTwo(h);

    try {
        const size_t sourceRowBytes = static_cast<size_t>(w) * 4;
        const size_t paddedRowBytes = static_cast<size_t>(paddedWidth) * 4;
        pixels.assign(paddedRowBytes * static_cast<size_t>(paddedHeight), 0);
        for (int32_t row = 0; row < h; ++row) {
            std::memcpy(&pixels[paddedRowBytes * row], source + sourceRowBytes * row,
                        sourceRowBytes);
        }
        if (width != paddedWidth || height != paddedHeight) {
            resampleBilinear();
        }
    } catch (const std::bad_alloc&) {
        // Too large for this machine: the texture stays without an image.
        std::vector<uint8_t>().swap(pixels);
        width = height = paddedWidth = paddedHeight = 0;
        storage = Storage::None;
        return;
    }
    storage = Storage::Rgba;
    this->format = format;
    compressedKind = 0;
}

// Stretches the width x height picture in the top-left corner of the padded
// buffer over the whole padded size: the outermost rows and columns of the
// result land exactly on those of the source.
void Texture::resampleBilinear() {
    const int32_t targetWidth = paddedWidth;
    const int32_t targetHeight = paddedHeight;
    const size_t rowBytes = static_cast<size_t>(paddedWidth) * 4;
    std::vector<uint8_t> stretched(rowBytes * static_cast<size_t>(targetHeight));
    auto source = [&](int32_t column, int32_t row) {
        return unpack(&pixels[rowBytes * row + static_cast<size_t>(column) * 4]);
    };

    for (int32_t i = 0; i < targetHeight; ++i) {
        const SamplePoint y = samplePoint(i, targetHeight, height);
        for (int32_t j = 0; j < targetWidth; ++j) {
            const SamplePoint x = samplePoint(j, targetWidth, width);
            const Channels p00 = source(x.low, y.low);
            const Channels p10 = source(x.high, y.low);
            const Channels p01 = source(x.low, y.high);
            const Channels p11 = source(x.high, y.high);
            uint8_t* out = &stretched[rowBytes * i + static_cast<size_t>(j) * 4];
            for (int c = 0; c < 4; ++c) {
                const float top = (1.0f - x.fraction) * p00.value[c] + x.fraction * p10.value[c];
                const float bottom = (1.0f - x.fraction) * p01.value[c] + x.fraction * p11.value[c];
                out[c] = toByte((1.0f - y.fraction) * top + y.fraction * bottom);
            }
        }
    }
    pixels = std::move(stretched);
    width = targetWidth;
    height = targetHeight;
}

void Texture::setCompressed(int32_t w, int32_t h, const uint8_t* data, int32_t kind) {
    const int32_t blockSize = kind == 1 ? 8 : kind == 2 || kind == 3 ? 16 : 0;
    if (blockSize == 0 || data == nullptr || w < 1 || h < 1 || w > kMaxTextureSide ||
        h > kMaxTextureSide) {
        return;
    }
    const int32_t imageSize = compressedImageSize(w, h, blockSize);
    if (imageSize < 0) {
        return;
    }
    try {
        pixels.assign(data, data + imageSize);
    } catch (const std::bad_alloc&) {
        std::vector<uint8_t>().swap(pixels);
        return;
    }
    storage = Storage::Compressed;
    compressedKind = kind;
    format = kind;
    width = paddedWidth = w;
    height = paddedHeight = h;
}

int32_t nextPowerOfTwo(int32_t n) {
    if (n <= 1) {
        return 1;
    }
    if (n > (1 << 30)) {
        return 0;  // no 32-bit power of two is that large
    }
    int32_t bits = 0;
    for (uint32_t rest = static_cast<uint32_t>(n - 1); rest != 0; rest >>= 1) {
        ++bits;
    }
    return 1 << bits;
}

int32_t compressedImageSize(int32_t w, int32_t h, int32_t blockSize) {
    const int64_t size = static_cast<int64_t>((w + 3) / 4) * ((h + 3) / 4) * blockSize;
    return size < 0 || size > std::numeric_limits<int32_t>::max() ? -1 : static_cast<int32_t>(size);
}

}  // namespace tavo
