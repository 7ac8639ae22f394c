#include <gtest/gtest.h>

#include <cmath>

#include "animation/clip_sampling.h"
#include "animation/humanoid_retargeting.h"
#include "animation/rest_frames.h"
#include "character/humanoid_motion.h"
#include "math/rotation.h"
#include "support/vector_expectations.h"

namespace tavo {
namespace {

using test::expectVec;

constexpr float kDegree = 3.14159265f / 180.0f;

// The bones of a small humanoid in the normalised T-pose (facing +Z, its
// left towards +X) and where each rests in model space.
struct BonePlace {
    const char* bone;
    Vec3 position;
};
const BonePlace kBones[] = {
    {"hips", {0, 1.0f, 0}},           {"spine", {0, 1.1f, 0}},          {"chest", {0, 1.3f, 0}},
    {"neck", {0, 1.5f, 0}},           {"head", {0, 1.6f, 0}},           {"leftUpperLeg", {0.1f, 0.95f, 0}},
    {"leftLowerLeg", {0.1f, 0.5f, 0}}, {"leftFoot", {0.1f, 0.08f, 0}},  {"rightUpperLeg", {-0.1f, 0.95f, 0}},
    {"rightLowerLeg", {-0.1f, 0.5f, 0}}, {"rightFoot", {-0.1f, 0.08f, 0}}, {"leftShoulder", {0.05f, 1.45f, 0}},
    {"leftUpperArm", {0.15f, 1.45f, 0}}, {"leftLowerArm", {0.4f, 1.45f, 0}}, {"leftHand", {0.65f, 1.45f, 0}},
    {"rightShoulder", {-0.05f, 1.45f, 0}}, {"rightUpperArm", {-0.15f, 1.45f, 0}}, {"rightLowerArm", {-0.4f, 1.45f, 0}},
    {"rightHand", {-0.65f, 1.45f, 0}},
};
constexpr int32_t kBoneCount = sizeof kBones / sizeof kBones[0];

int32_t slotOf(const char* bone) {
    for (int32_t i = 0; i < kBoneCount; ++i) {
        if (std::string(kBones[i].bone) == bone) return i;
    }
    return -1;
}

// The humanoid as a rig. Joint i + first is bone i; above the hips may sit
// extra joints (an armature node, a facing turn). Each bone rests at
// rotations[i] in model space, its translations made to keep every bone at
// scale times its place; turned mirrors the places half round about Y (a
// VRM 0.x file) under a facing joint that turns it back.
CharacterData makeAvatar(const std::vector<Quaternion>& rotations, float scale, bool turned) {
    CharacterData data;
    Rig& rig = data.rig;
    int32_t top = -1;
    if (turned) {
        Joint facing;
        facing.name = "(facing)";
        facing.rest.rotation = Quaternion(0, 1, 0, 0);
        rig.joints.push_back(facing);
        top = 0;
    }
    Joint armature;
    armature.name = "armature";
    armature.parent = top;
    armature.rest.rotation = axisAngle(Vec3(1, 0, 0), 90.0f * kDegree);  // as some exporters leave it
    rig.joints.push_back(armature);
    const int32_t armatureIndex = static_cast<int32_t>(rig.joints.size()) - 1;
    const int32_t first = static_cast<int32_t>(rig.joints.size());
    for (int32_t i = 0; i < kBoneCount; ++i) {
        Joint joint;
        joint.name = kBones[i].bone;
        rig.joints.push_back(joint);
        data.humanoid.joints[static_cast<size_t>(humanBoneNamed(kBones[i].bone))] = first + i;
    }
    const auto placeOf = [&](int32_t i) {
        const Vec3 p = kBones[i].position * scale;
        return turned ? Vec3(-p.x, p.y, -p.z) : p;
    };
    // World rest rotations: the file's own (turned files have the facing
    // turn undone in the file), composed under the parents.
    const Quaternion facing = turned ? Quaternion(0, 1, 0, 0) : Quaternion();
    for (int32_t i = 0; i < kBoneCount; ++i) {
        Joint& joint = rig.joints[static_cast<size_t>(first + i)];
        const int32_t parentBone = humanBoneParent(humanBoneNamed(kBones[i].bone));
        int32_t parentSlot = -1;
        for (int32_t b = parentBone; b >= 0 && parentSlot < 0; b = humanBoneParent(b)) parentSlot = slotOf(humanBoneName(b));
        const Quaternion world = rotations[static_cast<size_t>(i)];
        if (parentSlot < 0) {
            joint.parent = armatureIndex;
            const Quaternion parentWorld = multiplyPrecise(facing, armature.rest.rotation);
            joint.rest.rotation = multiplyPrecise(parentWorld.conjugate(), multiplyPrecise(facing, world));
            joint.rest.translation = rotateByInverse(armature.rest.rotation, placeOf(i));
        } else {
            joint.parent = first + parentSlot;
            const Quaternion parentWorld = rotations[static_cast<size_t>(parentSlot)];
            joint.rest.rotation = multiplyPrecise(parentWorld.conjugate(), world);
            joint.rest.translation = rotateByInverse(parentWorld, placeOf(i) - placeOf(parentSlot));
        }
    }
    return data;
}

// A held pose on the normalised humanoid: arms lowered and bent, a leg
// forward, the spine twisted, the hips lowered and moved forward.
HumanoidMotion makeMotion() {
    HumanoidMotion motion;
    motion.name = "pose";
    motion.skeleton = makeAvatar(std::vector<Quaternion>(kBoneCount), 1.0f, false);
    motion.humanoid = motion.skeleton.humanoid;
    Clip clip;
    clip.duration = 1.0f;
    const auto turn = [&](const char* bone, const Quaternion& q) {
        Channel channel;
        channel.target = ChannelTarget::Rotation;
        channel.joint = motion.humanoid.joint(humanBoneNamed(bone));
        channel.times = {0.0f, 1.0f};
        channel.values = {q.x, q.y, q.z, q.w, q.x, q.y, q.z, q.w};
        clip.channels.push_back(channel);
    };
    turn("spine", axisAngle(Vec3(0, 1, 0), 20.0f * kDegree));
    turn("leftUpperArm", axisAngle(Vec3(0, 0, 1), -70.0f * kDegree));
    turn("leftLowerArm", axisAngle(Vec3(0, 1, 0), -40.0f * kDegree));
    turn("rightUpperArm", axisAngle(Vec3(1, 0, 0), -30.0f * kDegree));
    turn("rightUpperLeg", axisAngle(Vec3(1, 0, 0), -30.0f * kDegree));
    turn("rightLowerLeg", axisAngle(Vec3(1, 0, 0), 50.0f * kDegree));
    Channel hips;
    hips.target = ChannelTarget::Translation;
    hips.joint = motion.humanoid.joint(0);
    const Vec3 rest = motion.skeleton.rig.joints[static_cast<size_t>(hips.joint)].rest.translation;
    // The hips rest under the armature's quarter turn about X: down 5 cm and forward 10 cm.
    const Vec3 moved = rest + rotateByInverse(axisAngle(Vec3(1, 0, 0), 90.0f * kDegree), Vec3(0, -0.05f, 0.1f));
    hips.times = {0.0f, 1.0f};
    hips.values = {moved.x, moved.y, moved.z, moved.x, moved.y, moved.z};
    clip.channels.push_back(hips);
    motion.skeleton.clips = {clip};
    return motion;
}

JointFrames posedFrames(const CharacterData& data, const Clip& clip) {
    CharacterPose pose;
    pose.reset(data);
    EXPECT_TRUE(sampleClip(data.rig, clip, 0.5f, pose));
    JointFrames frames;
    composeFrames(data.rig, pose.local.joints, frames);
    return frames;
}

// Hands and feet of avatars whose bones rest at other rotations, with a
// facing turn (VRM 0.x) or without (1.0), twice the size or the same, end
// where the normalised pose puts them (scaled).
TEST(HumanoidRetargeting, HandsAndFeetLandWhereTheNormalisedPosePutsThemWhateverTheRestRotations) {
    const HumanoidMotion motion = makeMotion();
    const JointFrames expected = posedFrames(motion.skeleton, motion.skeleton.clips[0]);
    std::vector<Quaternion> twisted;
    for (int32_t i = 0; i < kBoneCount; ++i) {
        twisted.push_back(axisAngle(Vec3(0.3f, 0.8f, -0.52f).normalized(), (37.0f * static_cast<float>(i) + 11.0f) * kDegree));
    }
    const struct {
        bool turned;
        float scale;
    } avatars[] = {{false, 1.0f}, {true, 1.0f}, {false, 2.0f}, {true, 2.0f}};
    for (const auto& [turned, scale] : avatars) {
        SCOPED_TRACE(std::string(turned ? "VRM 0.x" : "VRM 1.0") + " at scale " + std::to_string(scale));
        const CharacterData avatar = makeAvatar(twisted, scale, turned);
        Clip clip;
        std::string reason;
        ASSERT_TRUE(retargetHumanoidMotion(motion, avatar, clip, reason)) << reason;
        EXPECT_EQ(clip.loop, 1);
        const JointFrames posed = posedFrames(avatar, clip);
        for (const char* bone : {"leftHand", "rightHand", "leftFoot", "rightFoot", "head"}) {
            SCOPED_TRACE(bone);
            const int32_t b = humanBoneNamed(bone);
            const Vec3 want = expected.positions[static_cast<size_t>(motion.humanoid.joint(b))] * scale;
            expectVec(posed.positions[static_cast<size_t>(avatar.humanoid.joint(b))], want, 2e-3f * scale);
        }
    }
    // The motion's blink (a joint whose translation x is the weight, 0 to 1
    // over the clip) goes to the avatar's blink and nowhere else.
    HumanoidMotion blinking = motion;
    Joint weight;
    weight.name = "blink";
    blinking.skeleton.rig.joints.push_back(weight);
    const int32_t weightJoint = static_cast<int32_t>(blinking.skeleton.rig.joints.size()) - 1;
    blinking.expressions = {{"blink", weightJoint}, {"happy", weightJoint}};
    Channel keys;
    keys.target = ChannelTarget::Translation;
    keys.joint = weightJoint;
    keys.times = {0.0f, 1.0f};
    keys.values = {0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    blinking.skeleton.clips[0].channels.push_back(keys);
    CharacterData avatar = makeAvatar(twisted, 1.0f, false);
    avatar.expressions = {{"surprised", {}, false}, {"Blink", {}, false}};
    Clip withBlink;
    std::string why;
    ASSERT_TRUE(retargetHumanoidMotion(blinking, avatar, withBlink, why)) << why;
    CharacterPose pose;
    pose.reset(avatar);
    ASSERT_TRUE(sampleClip(avatar.rig, withBlink, 0.25f, pose));
    EXPECT_NEAR(pose.expressionWeights[1], 0.25f, 1e-4f);
    EXPECT_EQ(pose.expressionWeights[0], 0.0f);

    // An avatar without hips takes no humanoid motion.
    CharacterData none;
    Clip clip;
    std::string reason;
    EXPECT_FALSE(retargetHumanoidMotion(motion, none, clip, reason));
    EXPECT_NE(reason.find("hips"), std::string::npos);
}

}  // namespace
}  // namespace tavo
