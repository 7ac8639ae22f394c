#include "animation/posing.h"

#include <algorithm>
#include <cmath>

#include "animation/clip_sampling.h"
#include "animation/expression_blending.h"
#include "animation/eye_gaze.h"
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
    springs.reset(data);
    gazeYaw = 0.0f;
    gazePitch = 0.0f;
    gazeTurnedHead = false;
    skinned.clear();
    composed.assign(rig.joints.size(), 0);
    chain.clear();
    chain.reserve(rig.joints.size());
}

namespace {

// An avatar's morph weights start each frame at their defaults, so that
// expressions add to those and not to the last frame's.
void restartExpressions(const CharacterData& data, CharacterPose& pose) {
    for (size_t o = 0; o < data.model.objects.size() && o < pose.morphWeights.size(); ++o) {
        const std::vector<MorphTarget>& targets = data.model.objects[o].morphTargets;
        std::vector<float>& weights = pose.morphWeights[o];
        for (size_t t = 0; t < targets.size() && t < weights.size(); ++t) weights[t] = targets[t].defaultWeight;
    }
    std::fill(pose.expressionWeights.begin(), pose.expressionWeights.end(), 0.0f);
}

// The share of the way to its target that the gaze goes in a frame.
float gazeRate(float seconds) { return seconds > 0.0f ? 1.0f - std::exp(-8.0f * std::min(seconds, 1.0f)) : 1.0f; }

}  // namespace

bool poseCharacter(const CharacterData& data, int32_t clip, float phase, bool withNormals,
                   CharacterPose& pose, const AvatarInputs* inputs) {
    if (!data.hasRig() || !pose.fits(data.rig)) {
        return false;
    }
    // A rig without clips (an avatar without animations) stands in its rest
    // pose, its skin made once a frame like any other.
    const bool clipless = data.clipCount() == 0;
    if (!clipless && (clip < 0 || clip >= data.clipCount())) {
        return false;
    }
    if (inputs != nullptr && !data.expressions.empty()) restartExpressions(data, pose);
    if (!clipless && !sampleClip(data.rig, data.clips[static_cast<size_t>(clip)], phase, pose)) {
        return false;
    }
    if (inputs != nullptr) setExpressionWeights(data, *inputs, pose);
    if (!computeModelPose(data.rig, pose)) {
        return false;
    }
    if (inputs != nullptr) {
        turnEyesTowards(data, inputs->looking, inputs->lookTarget, gazeRate(inputs->seconds), pose);
        blendExpressions(data, pose);
        stepSpringBones(data, inputs->seconds, inputs->carried, pose);
    }
    return skinObjects(data.model, data.rig, withNormals, pose);
}

bool drawingNeedsNormals(const CharacterData& data) {
    return data.model.useLighting || data.model.outlineWidth > 0.0f;
}

}  // namespace tavo
