#pragma once

#include <cstdint>
#include <vector>

namespace tavo::test {

// Encodes width x height RGB pixels (rows top first) as a baseline JPEG of
// the given quality with libjpeg.
std::vector<uint8_t> encodeJpeg(int width, int height, const std::vector<uint8_t>& rgb,
                                int quality = 95);

}  // namespace tavo::test
