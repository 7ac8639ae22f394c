#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

// What skinning blends with, indexed like the skeleton's bones: the world
// transform of every bone in the current pose and the rest pose that is
// undone first (rest head and inverse rest rotation). It belongs to one
// skeleton and keeps its storage between frames; the rest pose is taken once,
// when the number of bones first matches.
struct SkinningPose {
    std::vector<Vec3> worldPositions;
    std::vector<Quaternion> worldRotations;
    std::vector<Vec3> restHeads;
    std::vector<Quaternion> restInverses;
    // Scratch of the tree walk: world transform of a bone already stored, and
    // the ancestors that wait for theirs.
    std::vector<uint8_t> stored;
    std::vector<int32_t> chain;

    std::size_t boneCount() const { return worldPositions.size(); }
};

}  // namespace tavo
