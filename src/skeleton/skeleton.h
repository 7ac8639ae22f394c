#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/quaternion.h"
#include "math/vec3.h"
#include "motion/motion.h"

namespace tavo {

class Model;

// A bone (from a triangle of the bone object) or a link (from a line, sideVertex -1).
struct Bone {
    std::string name;
    int32_t parent = -1;
    std::vector<int32_t> children;
    std::vector<int32_t> rigidObjects;
    int32_t headVertex = -1;
    int32_t tipVertex = -1;
    int32_t sideVertex = -1;
    Vec3 restHead;
    Vec3 localPosition;
    Quaternion restRotation;
    Quaternion localRotation;

    bool isLink() const { return sideVertex < 0; }
};

struct Skeleton {
    std::vector<Bone> bones;
    std::vector<Motion> motions;
    std::vector<int32_t> rootBones;

    int32_t boneCount() const { return static_cast<int32_t>(bones.size()); }
    int32_t motionCount() const { return static_cast<int32_t>(motions.size()); }
};

// Builds bones, links, rigid bindings and skin weights from the model's
// bone object. 0 on success, -1 when there is no object named "bone...".
// The parent links always form a forest, and a bone is listed once, in the
// children of its parent only (links may be listed under several bones).
int32_t buildSkeleton(Model& model, Skeleton& skeleton);

// Turns the model-space position and rotation of every bone below the record
// at index into values relative to its parent, deepest bones first. Links are
// neither converted nor descended into.
void makeBonesLocal(Skeleton& skeleton, int32_t index);

}  // namespace tavo
