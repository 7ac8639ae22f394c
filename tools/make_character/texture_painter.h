#pragma once

#include <cstdint>
#include <vector>

namespace tavo::chara {

constexpr int32_t kTextureSize = 512;

// Paints the character's texture: RGBA rows from top to bottom, fully opaque.
// No channel ever reaches 255, so no texel can trip the blue colour key.
std::vector<uint8_t> paintTexture();

}  // namespace tavo::chara
