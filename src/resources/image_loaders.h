#pragma once

#include <cstdint>

namespace tavo {

class ImageLoader;

// The program's image loaders in the order they are asked: PNG (serving
// "tavo.png" from the embedded picture), JPEG, BMP, TGA.
constexpr int32_t kImageLoaderCount = 4;

// Fills loaders with new ones, which the caller owns (the texture manager,
// once they are handed to it).
void makeImageLoaders(ImageLoader* (&loaders)[kImageLoaderCount]);

}  // namespace tavo
