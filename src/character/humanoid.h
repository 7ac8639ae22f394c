#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tavo {

// The humanoid bones of a VRM avatar, named as VRM 1.0 names them, each
// after its parent in the humanoid: the torso, the head with its eyes, the
// legs, the arms, then the fingers.
constexpr int32_t kHumanBoneCount = 55;

// The bone's name ("leftUpperArm"); "" for an index out of range.
const char* humanBoneName(int32_t bone);
// The bone's parent in the humanoid, -1 for the hips.
int32_t humanBoneParent(int32_t bone);
// The bone a name gives, -1 for none; vrm0Names reads the names as VRM 0.x
// writes them (its thumbs count their bones differently).
int32_t humanBoneNamed(const std::string& name, bool vrm0Names = false);

// Which joint of a rig each humanoid bone is, -1 where the avatar has none.
struct Humanoid {
    std::array<int32_t, kHumanBoneCount> joints;

    Humanoid() { joints.fill(-1); }
    bool empty() const { return joints[0] < 0; }
    int32_t joint(int32_t bone) const { return bone >= 0 && bone < kHumanBoneCount ? joints[static_cast<size_t>(bone)] : -1; }
    // The nearest bone at or above bone (in the humanoid) that the avatar
    // has, -1 for none.
    int32_t presentAncestor(int32_t bone) const;
};

// A few bones by index, for the jobs that look for them.
namespace human_bone {
constexpr int32_t kHips = 0;
constexpr int32_t kHead = 5;
constexpr int32_t kLeftEye = 6;
constexpr int32_t kRightEye = 7;
}  // namespace human_bone

}  // namespace tavo
