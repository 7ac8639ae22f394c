#pragma once

#include <memory>
#include <vector>

#include "resources/image_loader.h"

namespace tavo {

// The program's image loaders in the order they are asked: PNG (serving
// "tavo.png" from the embedded picture), JPEG, BMP, TGA.
std::vector<std::unique_ptr<ImageLoader>> makeImageLoaders();

}  // namespace tavo
