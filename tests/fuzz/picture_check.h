#pragma once

// What every image decoder's fuzz target asks of a decoded picture.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "resources/image_loader.h"

namespace tavo::fuzz {

inline void require(bool condition) {
    if (!condition) {
        abort();
    }
}

// A picture of 32-bit pixels within the side limit. Every byte is read, so
// that a block shorter than its description shows up as an out-of-bounds
// read.
inline uint32_t checkPicture(ImageLoader& loader) {
    ImageDescription description;
    loader.describe(description);
    require(description.width > 0 && description.height > 0);
    require(description.width <= kMaxImageSide && description.height <= kMaxImageSide);
    require(description.bitsPerPixel == 32 && description.layout == 0);
    require(description.pixels != nullptr);
    const size_t bytes = static_cast<size_t>(description.width) * description.height * 4;
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes; ++i) {
        sum += description.pixels[i];
    }
    return sum;
}

}  // namespace tavo::fuzz
