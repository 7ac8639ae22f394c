#pragma once

#include "mesh_builder.h"

// Where each part's picture lies in the 512 x 512 texture. Shared by the model
// (which maps its parts into these areas) and the painter (which fills them).
namespace tavo::chara::layout {

constexpr float kPixel = 1.0f / 512.0f;

// u = longitude from the back of the head, v = latitude from the crown.
constexpr UvRect kHead{0.0f, 0.0f, 1.0f, 0.5f};
// Swept parts: u runs round the part, v from its first ring to its last.
constexpr UvRect kEar{kPixel, 0.5f + kPixel, 0.25f - kPixel, 1.0f - kPixel};
constexpr UvRect kArm{0.25f + kPixel, 0.5f + kPixel, 0.375f - kPixel, 1.0f - kPixel};
constexpr UvRect kLeg{0.375f + kPixel, 0.5f + kPixel, 0.5f - kPixel, 1.0f - kPixel};
// Solids of revolution: u round from the back, v from the top down.
constexpr UvRect kTrunk{0.5f + kPixel, 0.5f + kPixel, 0.75f - kPixel, 0.75f - kPixel};
constexpr UvRect kHem{0.5f + kPixel, 0.75f + kPixel, 0.75f - kPixel, 0.875f - kPixel};
constexpr UvRect kGlass{0.75f + kPixel, 0.5f + kPixel, 0.875f - kPixel, 0.75f - kPixel};
constexpr UvRect kHip{0.75f + kPixel, 0.75f + kPixel, 1.0f - kPixel, 0.875f - kPixel};

}  // namespace tavo::chara::layout
