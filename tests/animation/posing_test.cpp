#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "animation/clip_sampling.h"
#include "animation/model_pose.h"
#include "animation/posing.h"
#include "animation/skinning.h"
#include "character/character_data.h"
#include "support/vector_expectations.h"

namespace tavo {
namespace {

using test::expectQuat;
using test::expectVec;

const float kHalfSqrt2 = std::sqrt(0.5f);
const Quaternion kQuarterTurnZ(0, 0, kHalfSqrt2, kHalfSqrt2);
const Quaternion kQuarterTurnX(kHalfSqrt2, 0, 0, kHalfSqrt2);

// A joint at rest at its local transform, its skin bound where it rests when
// it is a root (origin and inverse rest rotation).
Joint makeJoint(int32_t parent, const Vec3& position, const Quaternion& rotation) {
    Joint joint;
    joint.name = "j";
    joint.parent = parent;
    joint.rest.translation = position;
    joint.rest.rotation = rotation;
    joint.inverseBind.origin = position;
    joint.inverseBind.rotation = rotation.inverse();
    return joint;
}

CharacterPose restPose(const CharacterData& data) {
    CharacterPose pose;
    pose.reset(data);
    return pose;
}

Channel keyframeRotation(int32_t joint, const Quaternion& key) {
    Channel channel;
    channel.target = ChannelTarget::Rotation;
    channel.interpolation = Interpolation::KeyframeSpline;
    channel.joint = joint;
    channel.rotationKeys.keyCount = 1;
    channel.rotationKeys.frames = {0};
    channel.rotationKeys.keys = {key};
    return channel;
}

Channel keyframePosition(int32_t joint, const Vec3& value) {
    Channel channel;
    channel.target = ChannelTarget::Translation;
    channel.interpolation = Interpolation::KeyframeSpline;
    channel.joint = joint;
    channel.positionKeys.keyCount = 1;
    channel.positionKeys.frames = {0};
    channel.positionKeys.values = {value};
    return channel;
}

Clip frameClip(std::vector<Channel> channels) {
    Clip clip;
    clip.frameBased = true;
    clip.endFrame = 10;
    clip.channels = std::move(channels);
    return clip;
}

TEST(PhaseToFrame, ClampsAndTruncates) {
    EXPECT_EQ(phaseToFrame(1.0f, 48), 48);
    EXPECT_EQ(phaseToFrame(3.5f, 48), 48);
    EXPECT_EQ(phaseToFrame(-0.5f, 48), 0);
    EXPECT_EQ(phaseToFrame(std::numeric_limits<float>::quiet_NaN(), 48), 0);
    EXPECT_EQ(phaseToFrame(0.999f, 48), 47);
    EXPECT_EQ(phaseToFrame(0.5f, 48), 24);
    EXPECT_EQ(phaseToFrame(0.5f, 0), 0);
    EXPECT_EQ(phaseToFrame(1.0f, INT32_MAX), INT32_MAX);
    EXPECT_EQ(phaseToFrame(1.0f, INT32_MIN), INT32_MIN);
}

// Parents after their children, and a chain far deeper than a call stack
// could follow joint by joint.
TEST(ModelPoseJob, ComposesThroughTheParentsInAnyOrderWithoutRecursion) {
    CharacterData data;
    data.rig.joints.push_back(makeJoint(2, {0, 1, 0}, Quaternion()));
    data.rig.joints.push_back(makeJoint(-1, {1, 2, 3}, kQuarterTurnZ));
    data.rig.joints.push_back(makeJoint(1, {1, 0, 0}, kQuarterTurnX));
    CharacterPose pose = restPose(data);
    ASSERT_TRUE(computeModelPose(data.rig, pose));
    expectVec(pose.model.positions[1], {1, 2, 3});
    expectVec(pose.model.positions[2], {1, 3, 3});
    expectQuat(pose.model.rotations[2], multiplyPrecise(kQuarterTurnZ, kQuarterTurnX));
    // (0, 1, 0) turns to +z about x, and z stays under the turn about z.
    expectVec(pose.model.positions[0], {1, 3, 4});

    const int32_t depth = 150000;
    CharacterData deep;
    deep.rig.joints.reserve(depth);
    deep.rig.joints.push_back(makeJoint(-1, {0, 0, 0}, Quaternion()));
    for (int32_t i = 1; i < depth; ++i) {
        deep.rig.joints.push_back(makeJoint(i - 1, {0, 0, 1}, Quaternion()));
    }
    CharacterPose deepPose = restPose(deep);
    ASSERT_TRUE(computeModelPose(deep.rig, deepPose));
    EXPECT_FLOAT_EQ(deepPose.model.positions[depth - 1].z, static_cast<float>(depth - 1));

    CharacterPose wrong;
    EXPECT_FALSE(computeModelPose(data.rig, wrong)) << "a pose made for another rig";
}

// A rig with a scale composes matrices: the child sits twice as far out.
TEST(ModelPoseJob, ScaledRigsComposeMatricesAndSkinWithThem) {
    CharacterData data;
    data.rig.rigid = false;
    data.rig.joints.push_back(makeJoint(-1, {1, 0, 0}, kQuarterTurnZ));
    data.rig.joints[0].rest.scale = {2, 2, 2};
    data.rig.joints.push_back(makeJoint(0, {1, 0, 0}, Quaternion()));
    for (Joint& joint : data.rig.joints) {
        joint.inverseBind.rigid = false;  // bound at the model's origin
    }
    CharacterPose pose = restPose(data);
    ASSERT_TRUE(computeModelPose(data.rig, pose));
    expectVec(pose.model.matrices[1].transformPoint({0, 0, 0}), {1, 2, 0});

    data.model.objects.resize(1);
    data.model.objects[0].vertices = {{1, 0, 0}};
    VertexInfluence influence;
    influence.boneIndices = {1};
    influence.weights = {1.0f};
    data.model.objects[0].vertexInfluences = {influence};
    data.model.skinnedObjects = {0};
    ASSERT_TRUE(skinObjects(data.model, data.rig, false, pose));
    expectVec(pose.skinned[0].vertices[0], {1, 4, 0});
}

// Joints: 0 and 1 are roots, 2 carries no meshes and hangs from 0.
CharacterData twoRoots() {
    CharacterData data;
    data.rig.joints.push_back(makeJoint(-1, {1, 1, 1}, Quaternion()));
    data.rig.joints.push_back(makeJoint(-1, {2, 2, 2}, Quaternion()));
    data.rig.joints.push_back(makeJoint(0, {3, 3, 3}, Quaternion()));
    data.rig.joints[2].carriesMeshes = false;
    data.rig.roots = {0, 1};
    return data;
}

TEST(SampleClipJob, ChannelsDriveTheirJointsAndLeaveTheOthers) {
    const CharacterData data = twoRoots();
    CharacterPose pose = restPose(data);
    const Clip clip = frameClip({
        keyframeRotation(0, kQuarterTurnX),
        keyframeRotation(0, kQuarterTurnZ),  // the later channel on a joint wins
        keyframeRotation(-1, kQuarterTurnX),
        keyframeRotation(2, kQuarterTurnX),  // joints without meshes take no rotation
        keyframeRotation(40, kQuarterTurnX),
        keyframePosition(0, {5, 6, 7}),
        keyframePosition(2, {5, 6, 7}),
    });
    ASSERT_TRUE(sampleClip(data.rig, clip, 0.3f, pose));
    expectQuat(pose.local.joints[0].rotation, kQuarterTurnZ);
    expectQuat(pose.local.joints[1].rotation, Quaternion());
    expectQuat(pose.local.joints[2].rotation, Quaternion());
    expectVec(pose.local.joints[0].translation, {5, 6, 7});
    expectVec(pose.local.joints[1].translation, {2, 2, 2});  // no channel: it keeps its rest
    expectVec(pose.local.joints[2].translation, {5, 6, 7});

    CharacterPose other;
    EXPECT_FALSE(sampleClip(data.rig, clip, 0.3f, other));
}

// Keys at 0 s (value 0), 1 s (value 10) and 2 s (value 0), sampled over a
// 2 s clip: step holds, linear blends, the cubic spline follows its tangents.
TEST(SampleClipJob, TimedKeysStepBlendAndFollowCubicSplines) {
    Channel channel;
    channel.target = ChannelTarget::Translation;
    channel.times = {0.0f, 1.0f, 2.0f};
    channel.interpolation = Interpolation::Linear;
    channel.values = {0, 0, 0, 10, 0, 0, 0, 0, 0};
    EXPECT_FLOAT_EQ(sampleVector(channel, 0.25f).x, 2.5f);
    EXPECT_FLOAT_EQ(sampleVector(channel, 1.5f).x, 5.0f);
    EXPECT_FLOAT_EQ(sampleVector(channel, -1.0f).x, 0.0f) << "before the first key";
    EXPECT_FLOAT_EQ(sampleVector(channel, 9.0f).x, 0.0f) << "after the last";
    channel.interpolation = Interpolation::Step;
    EXPECT_FLOAT_EQ(sampleVector(channel, 0.99f).x, 0.0f);
    EXPECT_FLOAT_EQ(sampleVector(channel, 1.0f).x, 10.0f);

    // Flat tangents: halfway between two keys a Hermite curve is at their mean.
    channel.interpolation = Interpolation::CubicSpline;
    channel.values.assign(27, 0.0f);
    channel.values[9 + 3] = 10.0f;  // key 1: in-tangent, value, out-tangent
    EXPECT_FLOAT_EQ(sampleVector(channel, 0.5f).x, 5.0f);
    channel.values[2] = 0.0f;
    channel.values[0 + 6] = 8.0f;  // key 0 leaves rising: the curve is above the mean
    EXPECT_GT(sampleVector(channel, 0.25f).x, 2.5f);
    channel.values.resize(20);  // fewer values than keys: only whole keys count
    EXPECT_FLOAT_EQ(sampleVector(channel, 1.5f).x, 10.0f);

    Channel turn;
    turn.target = ChannelTarget::Rotation;
    turn.times = {0.0f, 1.0f};
    turn.values = {0, 0, 0, 1, kQuarterTurnZ.x, kQuarterTurnZ.y, kQuarterTurnZ.z, kQuarterTurnZ.w};
    const Quaternion half = sampleRotation(turn, 0.5f);
    expectQuat(half, Quaternion(0, 0, std::sin(0.3926991f), std::cos(0.3926991f)), 1e-6f);
}

TEST(SampleClipJob, MorphWeightChannelsWriteTheWeightsOfTheirObject) {
    CharacterData data = twoRoots();
    data.model.objects.resize(2);
    data.model.objects[1].morphTargets.resize(2);
    data.model.objects[1].morphTargets[1].defaultWeight = 0.25f;
    CharacterPose pose = restPose(data);
    EXPECT_EQ(pose.morphWeights[1], (std::vector<float>{0.0f, 0.25f}));

    Clip clip;
    clip.duration = 1.0f;
    Channel weights;
    weights.target = ChannelTarget::MorphWeights;
    weights.joint = 1;
    weights.morphWeightCount = 2;
    weights.times = {0.0f, 1.0f};
    weights.values = {0, 0, 1, 1};
    clip.channels = {weights};
    weights.joint = 7;  // no such object
    clip.channels.push_back(weights);
    ASSERT_TRUE(sampleClip(data.rig, clip, 0.5f, pose));
    EXPECT_EQ(pose.morphWeights[1], (std::vector<float>{0.5f, 0.5f}));
}

TEST(SkinningJob, RestPoseLeavesVerticesInPlaceAndWeightsBlend) {
    CharacterData data;
    data.rig.joints.push_back(makeJoint(-1, {1, 2, 3}, kQuarterTurnZ));
    CharacterPose pose = restPose(data);
    ASSERT_TRUE(computeModelPose(data.rig, pose));
    VertexInfluence whole;
    whole.boneIndices = {0};
    whole.weights = {1.0f};
    expectVec(skinVertex(data.rig, pose.model, {4, -1, 2}, whole), {4, -1, 2});
    VertexInfluence halves;
    halves.boneIndices = {0, 0};
    halves.weights = {0.5f, 0.5f};
    expectVec(skinVertex(data.rig, pose.model, {4, -1, 2}, halves),
              skinVertex(data.rig, pose.model, {4, -1, 2}, whole));
    VertexInfluence strayJoint;
    strayJoint.boneIndices = {0, 5, -1};
    strayJoint.weights = {1.0f, 1.0f, 1.0f};
    expectVec(skinVertex(data.rig, pose.model, {4, -1, 2}, strayJoint), {4, -1, 2});
    expectVec(skinVertex(data.rig, pose.model, {4, -1, 2}, VertexInfluence()), {0, 0, 0});
}

// A rigid bind undoes the rest with the inverse rest rotation and applies
// the pose's rotation, each as two literal Hamilton products.
TEST(SkinningJob, RigidBindsMatchTheRotationsOfTheMathLibraryExactly) {
    CharacterData data;
    const Quaternion rest(0.1f, 0.7f, -0.2f, 0.68f);
    Joint joint = makeJoint(-1, {0.5f, -2.0f, 7.0f}, Quaternion(0.3f, -0.1f, 0.9f, 0.3f));
    joint.inverseBind.origin = {1.5f, 2.0f, -3.0f};
    joint.inverseBind.rotation = rest.inverse();
    data.rig.joints.push_back(joint);
    CharacterPose pose = restPose(data);
    ASSERT_TRUE(computeModelPose(data.rig, pose));
    VertexInfluence whole;
    whole.boneIndices = {0};
    whole.weights = {1.0f};
    const Vec3 v(4.25f, -1.5f, 2.0f);
    const Vec3 local = rotateByInverse(rest, v - joint.inverseBind.origin);
    const Vec3 expected = rotateByUnit(joint.rest.rotation, local) + joint.rest.translation;
    const Vec3 posed = skinVertex(data.rig, pose.model, v, whole);
    EXPECT_EQ(posed.x, expected.x);
    EXPECT_EQ(posed.y, expected.y);
    EXPECT_EQ(posed.z, expected.z);
}

// A root joint at (1, 0, 0) carries a skinned object; the clip turns it a
// quarter turn about model z and moves it to (1, 0, 5).
CharacterData turningCharacter() {
    CharacterData data;
    ModelObject skin;
    skin.name = "sdef:s";
    skin.vertices = {{2, 0, 0}, {1, 1, 0}, {9, 9, 9}};
    Face face;
    face.indices = {0, 1, 2};
    skin.faces = {face};
    skin.buildGroups();
    VertexInfluence influence;
    influence.boneIndices = {0};
    influence.weights = {1.0f};
    skin.vertexInfluences = {influence, influence};  // shorter than the vertices
    MorphTarget lift;
    lift.vertices = {1};
    lift.positionDeltas = {{0, 0, 2}};
    skin.morphTargets = {lift};
    ModelObject plain;
    plain.name = "plain";
    plain.vertices = {{1, 1, 1}};
    data.model.objects = {skin, plain};
    data.model.skinnedObjects = {0, 1, 12};

    data.rig.joints.push_back(makeJoint(-1, {1, 0, 0}, kQuarterTurnX));
    data.rig.roots = {0};
    data.clips.push_back(frameClip({keyframeRotation(0, multiplyPrecise(kQuarterTurnZ, kQuarterTurnX)),
                                    keyframePosition(0, {1, 0, 5})}));
    data.clips[0].endFrame = 48;
    return data;
}

TEST(PoseCharacter, SkinsTheSkinnedCopiesAfterTheMorphs) {
    CharacterData data = turningCharacter();
    CharacterPose pose = restPose(data);
    ASSERT_TRUE(poseCharacter(data, 0, 0.25f, true, pose));
    ASSERT_EQ(pose.skinned.size(), 3u);
    const ModelObject& skinned = pose.skinned[0];
    EXPECT_EQ(skinned.name, "sdef:s");
    ASSERT_EQ(skinned.vertices.size(), 3u);
    expectVec(skinned.vertices[0], {1, 1, 5});
    expectVec(skinned.vertices[1], {0, 0, 5});
    expectVec(skinned.vertices[2], {0, 0, 0});  // beyond the influences
    EXPECT_EQ(skinned.faces.size(), 1u);
    EXPECT_EQ(skinned.triangleGroups.size(), 1u);
    EXPECT_EQ(skinned.normals.size(), 3u);
    // Objects without influences (or outside the model) keep an empty copy.
    EXPECT_TRUE(pose.skinned[1].vertices.empty());
    EXPECT_TRUE(pose.skinned[2].vertices.empty());

    // The morph target lifts vertex 1 by 2 along z before it is skinned; the
    // pose turns the rest's turn back, so the lift stays along z.
    pose.morphWeights[0] = {1.0f};
    ASSERT_TRUE(poseCharacter(data, 0, 0.25f, false, pose));
    expectVec(pose.skinned[0].vertices[1], {0, 0, 7});
    EXPECT_EQ(pose.skinned[0].normals.size(), 3u) << "normals are left as they were";
}

TEST(PoseCharacter, DoesNothingWithoutRigClipOrFittingPose) {
    CharacterData data = turningCharacter();
    CharacterPose pose = restPose(data);
    EXPECT_FALSE(poseCharacter(data, 1, 0.25f, false, pose));
    EXPECT_FALSE(poseCharacter(data, -1, 0.25f, false, pose));
    EXPECT_TRUE(pose.skinned.empty());
    expectVec(pose.local.joints[0].translation, {1, 0, 0});
    CharacterPose other;
    EXPECT_FALSE(poseCharacter(data, 0, 0.25f, false, other));
    data.rig = Rig();
    EXPECT_FALSE(poseCharacter(data, 0, 0.25f, false, pose));
}

}  // namespace
}  // namespace tavo
