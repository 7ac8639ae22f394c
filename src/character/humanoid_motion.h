#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "character/character_data.h"
#include "character/humanoid.h"

namespace tavo {

// A motion written on the humanoid bones of a skeleton of its own (a VRM
// Animation file): that skeleton in its rest pose with its one clip, which
// of its joints are the humanoid bones, and which joints carry the
// expressions (a joint's translation x is the expression's weight).
// Retargeting (animation/humanoid_retargeting.h) plays it on any avatar.
struct HumanoidMotion {
    std::string name;
    CharacterData skeleton;  // rig and clips[0]; no model
    Humanoid humanoid;
    std::vector<std::pair<std::string, int32_t>> expressions;
};

}  // namespace tavo
