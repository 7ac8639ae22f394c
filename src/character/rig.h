#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/matrix4.h"
#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

// A joint's transform relative to its parent.
struct JointTransform {
    Vec3 translation;
    Quaternion rotation;
    Vec3 scale{1.0f, 1.0f, 1.0f};

    bool hasUnitScale() const { return scale.x == 1.0f && scale.y == 1.0f && scale.z == 1.0f; }
};

// How a joint's skin is bound: the map from model space into the joint's
// rest frame. A rigid bind (subtract origin, then rotate) is kept in that
// form, so that skinning with it is two quaternion rotations; any other
// bind is the matrix alone.
struct InverseBind {
    bool rigid = true;
    Vec3 origin;          // rigid: the joint's rest position in model space
    Quaternion rotation;  // rigid: the inverse of its rest rotation
    Matrix4 matrix;       // the same as a matrix, or the general bind
};

struct Joint {
    std::string name;
    int32_t parent = -1;
    // Drawing order below this joint. A joint that carries no meshes may be
    // listed under more than one joint; every other joint under its parent
    // only.
    std::vector<int32_t> children;
    JointTransform rest;
    InverseBind inverseBind;
    // Model objects drawn rigidly under this joint's transform.
    std::vector<int32_t> rigidObjects;
    // False for a joint that only shapes the skin: no meshes hang on it or
    // below it, and clips do not turn it.
    bool carriesMeshes = true;
};

// The skeleton of a character, the same for every pose: joints by index,
// parents before or after their children, the parent links a forest.
struct Rig {
    std::vector<Joint> joints;
    std::vector<int32_t> roots;
    // Every rest scale is 1 and every bind rigid: model transforms are
    // composed as positions and rotations, never as matrices.
    bool rigid = true;

    int32_t jointCount() const { return static_cast<int32_t>(joints.size()); }
    bool validJoint(int32_t index) const { return index >= 0 && index < jointCount(); }
};

}  // namespace tavo
