#include "animation/humanoid_retargeting.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "animation/clip_sampling.h"
#include "animation/rest_frames.h"

namespace tavo {

namespace {

using BoneTurns = std::array<Quaternion, kHumanBoneCount>;

// Each humanoid bone's turn from its rest in the motion's pose, in model
// space; bones the motion lacks turn with their humanoid parent.
void motionTurns(const HumanoidMotion& motion, const JointFrames& rest, const JointFrames& posed, BoneTurns& turns) {
    for (int32_t bone = 0; bone < kHumanBoneCount; ++bone) {
        const int32_t joint = motion.humanoid.joint(bone);
        const int32_t parent = humanBoneParent(bone);
        if (joint >= 0) {
            const size_t j = static_cast<size_t>(joint);
            turns[static_cast<size_t>(bone)] = multiplyPrecise(posed.rotations[j], rest.rotations[j].conjugate());
        } else {
            turns[static_cast<size_t>(bone)] = parent >= 0 ? turns[static_cast<size_t>(parent)] : Quaternion();
        }
    }
}

// The humanoid bone of each avatar joint, -1 for the others.
std::vector<int32_t> bonesOfJoints(const CharacterData& avatar) {
    std::vector<int32_t> bones(avatar.rig.joints.size(), -1);
    for (int32_t bone = 0; bone < kHumanBoneCount; ++bone) {
        const int32_t joint = avatar.humanoid.joint(bone);
        if (avatar.rig.validJoint(joint)) bones[static_cast<size_t>(joint)] = bone;
    }
    return bones;
}

// The turn of the nearest humanoid bone at or above joint, the identity
// where there is none.
Quaternion turnAbove(const Rig& rig, const std::vector<int32_t>& bones, const BoneTurns& turns, int32_t joint) {
    for (size_t steps = 0; rig.validJoint(joint) && steps <= rig.joints.size(); ++steps) {
        const int32_t bone = bones[static_cast<size_t>(joint)];
        if (bone >= 0) return turns[static_cast<size_t>(bone)];
        joint = rig.joints[static_cast<size_t>(joint)].parent;
    }
    return Quaternion();
}

Channel makeChannel(ChannelTarget target, int32_t joint, size_t keys, size_t width) {
    Channel channel;
    channel.target = target;
    channel.interpolation = Interpolation::Linear;
    channel.joint = joint;
    channel.times.reserve(keys);
    channel.values.reserve(keys * width);
    return channel;
}

void pushRotation(Channel& channel, float time, Quaternion q) {
    const size_t n = channel.values.size();
    if (n >= 4) {
        // Keep neighbouring keys in one hemisphere, so that blends take the short way.
        const Quaternion last(channel.values[n - 4], channel.values[n - 3], channel.values[n - 2], channel.values[n - 1]);
        if (last.dot(q) < 0.0f) q = q.scale(-1.0f);
    }
    channel.times.push_back(time);
    channel.values.insert(channel.values.end(), {q.x, q.y, q.z, q.w});
}

}  // namespace

bool retargetHumanoidMotion(const HumanoidMotion& motion, const CharacterData& avatar, Clip& clip, std::string& reason) {
    const int32_t sourceHips = motion.humanoid.joint(human_bone::kHips);
    const int32_t hips = avatar.humanoid.joint(human_bone::kHips);
    if (!motion.skeleton.rig.validJoint(sourceHips) || motion.skeleton.clips.empty()) {
        reason = "the motion has no hips or no clip";
        return false;
    }
    if (!avatar.rig.validJoint(hips)) {
        reason = "the avatar has no humanoid hips";
        return false;
    }
    const Rig& sourceRig = motion.skeleton.rig;
    const Clip& source = motion.skeleton.clips[0];
    const JointFrames sourceRest = restFrames(sourceRig);
    const JointFrames avatarRest = restFrames(avatar.rig);
    const std::vector<int32_t> bones = bonesOfJoints(avatar);
    const float sourceHeight = sourceRest.positions[static_cast<size_t>(sourceHips)].y;
    const float legScale = sourceHeight > 0.0f ? avatarRest.positions[static_cast<size_t>(hips)].y / sourceHeight : 1.0f;

    const float duration = source.duration > 0.0f && std::isfinite(source.duration) ? std::min(source.duration, 600.0f) : 0.0f;
    const size_t keys = std::max<size_t>(2, static_cast<size_t>(std::ceil(duration * kRetargetKeysPerSecond)) + 1);

    Clip out;
    out.name = motion.name;
    out.duration = duration;
    out.loop = 1;
    std::vector<int32_t> turned;  // avatar joints with a rotation channel
    for (int32_t bone = 0; bone < kHumanBoneCount; ++bone) {
        const int32_t joint = avatar.humanoid.joint(bone);
        if (!avatar.rig.validJoint(joint)) continue;
        turned.push_back(joint);
        out.channels.push_back(makeChannel(ChannelTarget::Rotation, joint, keys, 4));
    }
    out.channels.push_back(makeChannel(ChannelTarget::Translation, hips, keys, 3));
    std::vector<std::pair<int32_t, int32_t>> expressions;  // motion joint, avatar expression
    for (const auto& [name, joint] : motion.expressions) {
        const int32_t expression = findExpression(avatar.expressions, name);
        if (expression < 0 || !sourceRig.validJoint(joint)) continue;
        expressions.emplace_back(joint, expression);
        out.channels.push_back(makeChannel(ChannelTarget::Expression, expression, keys, 1));
    }

    CharacterPose pose;
    pose.reset(motion.skeleton);
    JointFrames posed;
    BoneTurns turns;
    for (size_t k = 0; k < keys; ++k) {
        const float phase = static_cast<float>(k) / static_cast<float>(keys - 1);
        const float time = phase * duration;
        pose.reset(motion.skeleton);
        sampleClip(sourceRig, source, phase, pose);
        composeFrames(sourceRig, pose.local.joints, posed);
        motionTurns(motion, sourceRest, posed, turns);
        size_t c = 0;
        for (int32_t joint : turned) {
            const size_t j = static_cast<size_t>(joint);
            const int32_t parent = avatar.rig.joints[j].parent;
            const Quaternion turn = turns[static_cast<size_t>(bones[j])];
            const Quaternion world = multiplyPrecise(turn, avatarRest.rotations[j]);
            Quaternion parentWorld;
            if (avatar.rig.validJoint(parent)) {
                parentWorld = multiplyPrecise(turnAbove(avatar.rig, bones, turns, parent), avatarRest.rotations[static_cast<size_t>(parent)]);
            }
            pushRotation(out.channels[c++], time, multiplyPrecise(parentWorld.conjugate(), world));
        }
        // The hips: the rest place plus the motion's movement at the avatar's size.
        const size_t h = static_cast<size_t>(hips);
        const Vec3 moved = posed.positions[static_cast<size_t>(sourceHips)] - sourceRest.positions[static_cast<size_t>(sourceHips)];
        const Vec3 place = avatarRest.positions[h] + moved * legScale;
        const int32_t parent = avatar.rig.joints[h].parent;
        Vec3 local = place;
        if (avatar.rig.validJoint(parent)) {
            const size_t p = static_cast<size_t>(parent);
            const float scale = avatarRest.scales[p] != 0.0f ? avatarRest.scales[p] : 1.0f;
            local = rotateByInverse(avatarRest.rotations[p], place - avatarRest.positions[p]) * (1.0f / scale);
        }
        Channel& translation = out.channels[c++];
        translation.times.push_back(time);
        translation.values.insert(translation.values.end(), {local.x, local.y, local.z});
        for (const auto& [joint, expression] : expressions) {
            (void)expression;
            Channel& weight = out.channels[c++];
            weight.times.push_back(time);
            weight.values.push_back(std::clamp(pose.local.joints[static_cast<size_t>(joint)].translation.x, 0.0f, 1.0f));
        }
    }
    clip = std::move(out);
    return true;
}

}  // namespace tavo
