#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "animation/spring_simulation.h"
#include "math/vec3.h"

namespace tavo {

// What moves an avatar in a frame besides its clip: the time since the last
// frame and the screen's motion (for the spring bones), the weights of its
// blink and surprise, where its eyes should look (in the character's own
// space), and expressions held at a weight (index, weight; by the tools).
struct AvatarInputs {
    float seconds = 0.0f;
    CarriedMotion carried;
    float blink = 0.0f;
    float surprise = 0.0f;
    bool looking = false;
    Vec3 lookTarget;
    const std::vector<std::pair<int32_t, float>>* heldExpressions = nullptr;
};

}  // namespace tavo
