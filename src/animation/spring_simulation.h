#pragma once

#include <cstdint>
#include <vector>

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

struct CharacterData;
struct CharacterPose;

// The simulation step: fixed, so that the swing is the same at any frame
// rate, and the most steps one frame takes (a longer stall is dropped).
constexpr float kSpringStepSeconds = 1.0f / 60.0f;
constexpr int32_t kMostSpringStepsAFrame = 8;

// How the character moved on the screen since the last frame, as it acts
// on what swings: a point that stood still on the screen moves in the
// character's own space from p to rotation p + shift.
struct CarriedMotion {
    Quaternion rotation;
    Vec3 shift;
};

// Where the end of each swinging bone is, now and one step before, in the
// character's own space; kept in the pose and made by reset().
struct SpringState {
    struct Bone {
        int32_t joint = -1;
        int32_t child = -1;       // the joint at its end, -1 for a point past the last
        Vec3 axis{0.0f, 1.0f, 0.0f};  // towards its end, in its own rest axes
        float length = 0.0f;
        Vec3 tail;
        Vec3 previousTail;
    };
    std::vector<Bone> bones;  // chain by chain, root first
    std::vector<int32_t> chainEnds;  // one past each chain's last bone
    float pending = 0.0f;    // seconds not yet stepped
    CarriedMotion carried;   // motion not yet stepped
    bool started = false;

    void reset(const CharacterData& data);
};

// Swings the spring bones of the posed character (its model pose composed)
// by seconds of fixed steps, carried by the motion given, and composes the
// model pose again. Each step, after the VRM spring bones: a bone's end
// keeps its velocity less the drag, is pulled back towards the bone's rest
// direction by the stiffness and down by gravity, is kept at the bone's
// length and pushed out of the colliders; the bone turns to point at it.
// Rigid rigs only; allocates nothing.
void stepSpringBones(const CharacterData& data, float seconds, const CarriedMotion& carried, CharacterPose& pose);

}  // namespace tavo
