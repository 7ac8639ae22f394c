#pragma once

#include <cstdint>
#include <vector>

#include "character_model.h"
#include "motion_pose.h"

// Fuwari: a plump, round songbird with a forward-curling plume on its crown,
// short wings, a cocked-up tail and little orange feet. A character of the
// characters/ folder, written by tavo-make-character --character fuwari.
namespace tavo::chara::fuwari {

constexpr int32_t kTextureSize = 512;
inline constexpr const char* kTextureName = "fuwari.png";

CharacterModel buildModel();

// Pecking, flapping, looking round, the song that the program plays, and a
// spinning hop.
std::vector<MotionDesign> buildMotions(const Rig& rig);

// RGBA rows from top to bottom, kTextureSize square, fully opaque.
std::vector<uint8_t> paintTexture();

// Where each part's picture lies in the texture; the model maps its parts
// into these areas and the painter fills them.
namespace layout {
constexpr float kPixel = 1.0f / kTextureSize;
// u round the part from the back (0.5 is the front), v from the top down.
constexpr UvRect kHead{0.0f, 0.0f, 1.0f, 0.5f};
constexpr UvRect kBody{0.0f, 0.5f + kPixel, 0.5f - kPixel, 1.0f - kPixel};
// Swept parts: u round the section, v from the first ring to the last.
constexpr UvRect kWing{0.5f + kPixel, 0.5f + kPixel, 0.75f - kPixel, 0.75f - kPixel};
constexpr UvRect kTail{0.75f + kPixel, 0.5f + kPixel, 1.0f - kPixel, 0.75f - kPixel};
constexpr UvRect kCrest{0.5f + kPixel, 0.75f + kPixel, 0.75f - kPixel, 1.0f - kPixel};
}  // namespace layout

}  // namespace tavo::chara::fuwari
