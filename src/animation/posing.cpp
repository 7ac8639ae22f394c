#include "animation/posing.h"

#include "animation/clip_sampling.h"
#include "animation/model_pose.h"
#include "animation/skinning.h"
#include "character/character_data.h"

namespace tavo {

void CharacterPose::reset(const CharacterData& data) {
    const Rig& rig = data.rig;
    local.joints.resize(rig.joints.size());
    for (size_t i = 0; i < rig.joints.size(); ++i) {
        local.joints[i] = rig.joints[i].rest;
    }
    model = ModelPose();
    morphWeights.assign(data.model.objects.size(), std::vector<float>());
    for (size_t o = 0; o < data.model.objects.size(); ++o) {
        for (const MorphTarget& target : data.model.objects[o].morphTargets) {
            morphWeights[o].push_back(target.defaultWeight);
        }
    }
    expressionWeights.assign(data.expressions.size(), 0.0f);
    skinned.clear();
    composed.assign(rig.joints.size(), 0);
    chain.clear();
    chain.reserve(rig.joints.size());
}

bool poseCharacter(const CharacterData& data, int32_t clip, float phase, bool withNormals,
                   CharacterPose& pose) {
    if (!data.hasRig() || !pose.fits(data.rig)) {
        return false;
    }
    if (data.clipCount() == 0) {
        // A rig without clips (an avatar without animations) stands in its
        // rest pose, its skin made once a frame like any other.
        return computeModelPose(data.rig, pose) && skinObjects(data.model, data.rig, withNormals, pose);
    }
    if (clip < 0 || clip >= data.clipCount()) {
        return false;
    }
    return sampleClip(data.rig, data.clips[static_cast<size_t>(clip)], phase, pose) &&
           computeModelPose(data.rig, pose) &&
           skinObjects(data.model, data.rig, withNormals, pose);
}

bool drawingNeedsNormals(const CharacterData& data) {
    return data.model.useLighting || data.model.outlineWidth > 0.0f;
}

}  // namespace tavo
