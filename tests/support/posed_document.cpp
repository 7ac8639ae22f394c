#include "support/posed_document.h"

#include "animation/model_pose.h"
#include "animation/posing.h"
#include "formats/metasequoia/metasequoia_format.h"

namespace tavo::test {

PosedDocument::PosedDocument(const Character& document) : data_(characterDataOf(document)) {
    pose_.reset(data_);
    computeModelPose(data_.rig, pose_);
}

bool PosedDocument::pose(int32_t motion, float phase) {
    return poseCharacter(data_, motion, phase, true, pose_);
}

Vec3 PosedDocument::position(int32_t bone) const {
    return bone >= 0 && static_cast<size_t>(bone) < pose_.model.positions.size()
               ? pose_.model.positions[static_cast<size_t>(bone)]
               : Vec3();
}

Quaternion PosedDocument::rotation(int32_t bone) const {
    return bone >= 0 && static_cast<size_t>(bone) < pose_.model.rotations.size()
               ? pose_.model.rotations[static_cast<size_t>(bone)]
               : Quaternion();
}

BoneWorld restWorldOf(const Skeleton& skeleton, int32_t bone) {
    CharacterData data;
    data.rig = rigOf(skeleton);
    CharacterPose pose;
    pose.reset(data);
    computeModelPose(data.rig, pose);
    if (bone < 0 || static_cast<size_t>(bone) >= pose.model.positions.size()) {
        return {};
    }
    return {pose.model.positions[static_cast<size_t>(bone)], pose.model.rotations[static_cast<size_t>(bone)]};
}

}  // namespace tavo::test
