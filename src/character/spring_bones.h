#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/vec3.h"

namespace tavo {

// A sphere (or a capsule, from offset to tail) that swinging joints are kept
// out of, fixed to a joint; offsets in the joint's own axes, in the model's
// lengths.
struct SpringCollider {
    int32_t joint = -1;
    Vec3 offset;
    Vec3 tail;
    float radius = 0.0f;
    bool capsule = false;
};

// One joint of a chain and how the stretch to its child swings.
struct SpringJoint {
    int32_t joint = -1;
    float hitRadius = 0.0f;
    float stiffness = 1.0f;
    float gravityPower = 0.0f;
    Vec3 gravityDir{0.0f, -1.0f, 0.0f};
    float dragForce = 0.5f;
};

// A chain of joints, root first, each swinging the bone to the next one (the
// last one to its first child, or to a point a short way past it), pushed
// out of the colliders listed. center is the joint whose motion the chain
// moves with (-1: the model space).
struct SpringChain {
    std::string name;
    std::vector<SpringJoint> joints;
    std::vector<int32_t> colliders;  // indices into SpringBones::colliders
    int32_t center = -1;
};

struct SpringBones {
    std::vector<SpringCollider> colliders;
    std::vector<SpringChain> chains;
    // The model's length of one metre: the stiffness and gravity of the
    // file are in metres a second.
    float metre = 1.0f;

    bool empty() const { return chains.empty(); }
};

}  // namespace tavo
