#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

// Keyed positions, sampled as a Catmull-Rom spline.
struct VectorTrack {
    std::string name;
    int32_t keyCount = 0;
    std::vector<int32_t> frames;
    std::vector<Vec3> values;
    int32_t spline = 1;
};

// Keyed rotations of one bone, sampled with squad over inner control points
// (animation/curve_evaluation.h samples both kinds of track).
struct QuaternionTrack {
    std::string name;
    int32_t boneIndex = -1;
    int32_t keyCount = 0;
    std::vector<int32_t> frames;
    std::vector<Quaternion> keys;
    std::vector<Quaternion> controlPoints;
    int32_t spline = 1;
};

struct Motion {
    std::string name;
    std::vector<VectorTrack> vectorTracks;
    std::vector<QuaternionTrack> quaternionTracks;
    int32_t endFrame = 0;
    int32_t loop = 0;
};

}  // namespace tavo
