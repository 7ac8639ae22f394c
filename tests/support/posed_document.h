#pragma once

#include <cstdint>
#include <vector>

#include "animation/character_pose.h"
#include "character/character_data.h"
#include "skeleton/character.h"

namespace tavo::test {

// A Metasequoia document (model, skeleton, motions) turned into the records
// and posed the way the mascot poses them.
class PosedDocument {
public:
    explicit PosedDocument(const Character& document);

    // Poses the records at a motion and phase; false when there is no such
    // motion.
    bool pose(int32_t motion, float phase);
    // A bone's place in model space in the current pose (the rest before one).
    Vec3 position(int32_t bone) const;
    Quaternion rotation(int32_t bone) const;
    const std::vector<ModelObject>& skinned() const { return pose_.skinned; }

    const CharacterData& data() const { return data_; }

private:
    CharacterData data_;
    CharacterPose pose_;
};

// A bone's rest in model space, composed from the local values of the
// skeleton's bones.
struct BoneWorld {
    Vec3 position;
    Quaternion rotation;
};
BoneWorld restWorldOf(const Skeleton& skeleton, int32_t bone);

}  // namespace tavo::test
