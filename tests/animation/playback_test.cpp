#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "animation/playback.h"
#include "model/model.h"
#include "motion/motion.h"
#include "skeleton/character.h"
#include "skeleton/skeleton.h"
#include "support/vector_expectations.h"

namespace tavo {
namespace {

using test::expectQuat;
using test::expectVec;

const float kHalfSqrt2 = std::sqrt(0.5f);
const Quaternion kQuarterTurnZ(0, 0, kHalfSqrt2, kHalfSqrt2);
const Quaternion kQuarterTurnX(kHalfSqrt2, 0, 0, kHalfSqrt2);

Bone makeBone(int32_t parent, const Vec3& position, const Quaternion& rotation) {
    Bone bone;
    bone.name = "b";
    bone.parent = parent;
    bone.sideVertex = 0;
    bone.localPosition = position;
    bone.localRotation = rotation;
    bone.restHead = position;
    bone.restRotation = rotation;
    return bone;
}

QuaternionTrack constantRotation(int32_t boneIndex, const Quaternion& key) {
    QuaternionTrack track;
    track.boneIndex = boneIndex;
    track.keyCount = 1;
    track.frames = {0};
    track.keys = {key};
    return track;
}

VectorTrack constantPosition(const Vec3& value) {
    VectorTrack track;
    track.keyCount = 1;
    track.frames = {0};
    track.values = {value};
    return track;
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

TEST(WorldTransform, ComposesThroughTheParents) {
    Skeleton skeleton;
    skeleton.bones.push_back(makeBone(-1, {1, 2, 3}, kQuarterTurnZ));
    skeleton.bones.push_back(makeBone(0, {1, 0, 0}, kQuarterTurnX));
    skeleton.bones.push_back(makeBone(1, {0, 1, 0}, Quaternion()));
    const WorldTransform root = computeWorldTransform(skeleton, 0);
    expectVec(root.position, {1, 2, 3});
    const WorldTransform child = computeWorldTransform(skeleton, 1);
    expectVec(child.position, {1, 3, 3});
    expectQuat(child.rotation, multiplyPrecise(kQuarterTurnZ, kQuarterTurnX));
    // (0, 1, 0) turns to +z about x, and z stays under the turn about z.
    const WorldTransform grandchild = computeWorldTransform(skeleton, 2);
    expectVec(grandchild.position, {1, 3, 4});
    const WorldTransform outside = computeWorldTransform(skeleton, 7);
    expectVec(outside.position, {0, 0, 0});
}

// A chain far deeper than a call stack could follow bone by bone.
TEST(WorldTransform, DeepChainsAreEvaluatedWithoutRecursion) {
    const int32_t depth = 150000;
    Skeleton skeleton;
    skeleton.bones.reserve(depth);
    skeleton.bones.push_back(makeBone(-1, {0, 0, 0}, Quaternion()));
    for (int32_t i = 1; i < depth; ++i) {
        skeleton.bones.push_back(makeBone(i - 1, {0, 0, 1}, Quaternion()));
        skeleton.bones[i - 1].children.push_back(i);
    }
    skeleton.rootBones = {0};
    const WorldTransform deepest = computeWorldTransform(skeleton, depth - 1);
    EXPECT_FLOAT_EQ(deepest.position.z, static_cast<float>(depth - 1));

    // skinCharacter stores the same transforms; a vertex carried by the
    // deepest bone at rest stays where it is.
    Model model;
    VertexInfluence deep;
    deep.boneIndices = {depth - 1};
    deep.weights = {1.0f};
    skeleton.bones[depth - 1].restHead = deepest.position;
    skinCharacter(model, skeleton);
    expectVec(skinVertex(skeleton.pose, {1, 2, 3}, deep), {1, 2, 3});

    makeBonesLocal(skeleton, 0);
    EXPECT_FLOAT_EQ(skeleton.bones[depth - 1].localPosition.z, 0.0f);
}

// World transforms stored for skinning equal those of computeWorldTransform,
// whatever order parents and children come in.
TEST(WorldTransform, SkinningUsesTheSameTransformsAsTheTreeWalk) {
    Skeleton skeleton;
    skeleton.bones.push_back(makeBone(2, {0.5f, 1, 0}, kQuarterTurnX));
    skeleton.bones.push_back(makeBone(0, {0, 2, 0.25f}, kQuarterTurnZ));
    skeleton.bones.push_back(makeBone(-1, {3, 0, 1}, multiplyPrecise(kQuarterTurnZ, kQuarterTurnX)));
    Model model;
    for (int32_t i = 0; i < 3; ++i) {
        skeleton.bones[i].restHead = {0, 0, 0};
        skeleton.bones[i].restRotation = Quaternion();
    }
    skinCharacter(model, skeleton);
    VertexInfluence influence;
    influence.weights = {1.0f};
    for (int32_t i = 0; i < 3; ++i) {
        influence.boneIndices = {i};
        const Vec3 posed = skinVertex(skeleton.pose, {0, 0, 0}, influence);
        const WorldTransform world = computeWorldTransform(skeleton, i);
        EXPECT_EQ(posed.x, world.position.x) << i;
        EXPECT_EQ(posed.y, world.position.y) << i;
        EXPECT_EQ(posed.z, world.position.z) << i;
    }
}

// Bones: 0 and 1 are roots, 2 a link hanging from 0.
Skeleton twoRoots() {
    Skeleton skeleton;
    skeleton.bones.push_back(makeBone(-1, {1, 1, 1}, Quaternion()));
    skeleton.bones.push_back(makeBone(-1, {2, 2, 2}, Quaternion()));
    Bone link = makeBone(0, {3, 3, 3}, Quaternion());
    link.sideVertex = -1;
    skeleton.bones.push_back(link);
    skeleton.rootBones = {0, 1};
    return skeleton;
}

TEST(ApplyMotion, RotationTracksDriveTheirBonesAndRootsTakeTheFirstPosition) {
    Skeleton skeleton = twoRoots();
    Motion motion;
    motion.endFrame = 10;
    motion.vectorTracks = {constantPosition({5, 6, 7}), constantPosition({9, 9, 9})};
    motion.quaternionTracks = {
        constantRotation(0, kQuarterTurnX),
        constantRotation(0, kQuarterTurnZ),  // the later track on a bone wins
        constantRotation(-1, kQuarterTurnX),
        constantRotation(2, kQuarterTurnX),  // links take no rotation
        constantRotation(40, kQuarterTurnX),
    };
    skeleton.motions.push_back(motion);
    applyMotion(skeleton, 0, 0.3f);
    expectQuat(skeleton.bones[0].localRotation, kQuarterTurnZ);
    expectQuat(skeleton.bones[1].localRotation, Quaternion());
    expectQuat(skeleton.bones[2].localRotation, Quaternion());
    expectVec(skeleton.bones[0].localPosition, {5, 6, 7});
    expectVec(skeleton.bones[1].localPosition, {5, 6, 7});
    expectVec(skeleton.bones[2].localPosition, {3, 3, 3});
}

TEST(ApplyMotion, MissingMotionOrPositionTrackChangesNothing) {
    Skeleton skeleton = twoRoots();
    Motion still;
    still.endFrame = 10;
    still.quaternionTracks = {constantRotation(1, kQuarterTurnX)};
    skeleton.motions.push_back(still);
    applyMotion(skeleton, 0, 0.5f);
    expectVec(skeleton.bones[0].localPosition, {1, 1, 1});
    expectVec(skeleton.bones[1].localPosition, {2, 2, 2});
    expectQuat(skeleton.bones[1].localRotation, kQuarterTurnX);

    skeleton.motions[0].quaternionTracks = {constantRotation(1, kQuarterTurnZ)};
    applyMotion(skeleton, 1, 0.5f);
    applyMotion(skeleton, -1, 0.5f);
    expectQuat(skeleton.bones[1].localRotation, kQuarterTurnX);
}

TEST(SkinVertex, RestPoseLeavesVerticesInPlaceAndWeightsBlend) {
    Model model;
    Skeleton skeleton;
    skeleton.bones.push_back(makeBone(-1, {1, 2, 3}, kQuarterTurnZ));
    skinCharacter(model, skeleton);
    VertexInfluence whole;
    whole.boneIndices = {0};
    whole.weights = {1.0f};
    expectVec(skinVertex(skeleton.pose, {4, -1, 2}, whole), {4, -1, 2});
    VertexInfluence halves;
    halves.boneIndices = {0, 0};
    halves.weights = {0.5f, 0.5f};
    expectVec(skinVertex(skeleton.pose, {4, -1, 2}, halves), skinVertex(skeleton.pose, {4, -1, 2}, whole));
    VertexInfluence strayBone;
    strayBone.boneIndices = {0, 5, -1};
    strayBone.weights = {1.0f, 1.0f, 1.0f};
    expectVec(skinVertex(skeleton.pose, {4, -1, 2}, strayBone), {4, -1, 2});
    expectVec(skinVertex(skeleton.pose, {4, -1, 2}, VertexInfluence()), {0, 0, 0});
}

// Skinning undoes the rest pose with the inverse of the rest rotation and
// applies the world rotation, each as two literal Hamilton products.
TEST(SkinVertex, MatchesTheRotationsOfTheMathLibraryExactly) {
    Model model;
    Skeleton skeleton;
    const Quaternion rest(0.1f, 0.7f, -0.2f, 0.68f);
    Bone bone = makeBone(-1, {0.5f, -2.0f, 7.0f}, Quaternion(0.3f, -0.1f, 0.9f, 0.3f));
    bone.restHead = {1.5f, 2.0f, -3.0f};
    bone.restRotation = rest;
    skeleton.bones.push_back(bone);
    skinCharacter(model, skeleton);
    VertexInfluence whole;
    whole.boneIndices = {0};
    whole.weights = {1.0f};
    const Vec3 v(4.25f, -1.5f, 2.0f);
    const Vec3 local = rotateByInverse(rest, v - bone.restHead);
    const Vec3 expected = rotateByUnit(bone.localRotation, local) + bone.localPosition;
    const Vec3 posed = skinVertex(skeleton.pose, v, whole);
    EXPECT_EQ(posed.x, expected.x);
    EXPECT_EQ(posed.y, expected.y);
    EXPECT_EQ(posed.z, expected.z);
}

// A root bone at (1, 0, 0) carries a skinned object; the motion turns it a
// quarter turn about model z and moves it to (1, 0, 5).
Character turningCharacter() {
    Character character;
    character.model = std::make_unique<Model>();
    Model& model = *character.model;
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
    ModelObject plain;
    plain.name = "plain";
    plain.vertices = {{1, 1, 1}};
    model.objects = {skin, plain};
    model.skinnedObjects = {0, 1, 12};

    character.skeleton = std::make_unique<Skeleton>();
    Skeleton& skeleton = *character.skeleton;
    skeleton.bones.push_back(makeBone(-1, {1, 0, 0}, kQuarterTurnX));
    skeleton.rootBones = {0};
    Motion motion;
    motion.endFrame = 48;
    motion.vectorTracks = {constantPosition({1, 0, 5})};
    motion.quaternionTracks = {constantRotation(0, multiplyPrecise(kQuarterTurnZ, kQuarterTurnX))};
    skeleton.motions.push_back(motion);
    return character;
}

TEST(AnimateCharacter, PosesTheSkinnedCopies) {
    Character character = turningCharacter();
    animateCharacter(&character, 0, 0.25f);
    const Model& model = *character.model;
    ASSERT_EQ(model.posedObjects.size(), 3u);
    const ModelObject& posed = model.posedObjects[0];
    EXPECT_EQ(posed.name, "sdef:s");
    ASSERT_EQ(posed.vertices.size(), 3u);
    expectVec(posed.vertices[0], {1, 1, 5});
    expectVec(posed.vertices[1], {0, 0, 5});
    expectVec(posed.vertices[2], {0, 0, 0});  // beyond the influences
    EXPECT_EQ(posed.faces.size(), 1u);
    EXPECT_EQ(posed.triangleGroups.size(), 1u);
    EXPECT_EQ(posed.normals.size(), 3u);
    // Objects without influences (or outside the model) keep an empty copy.
    EXPECT_TRUE(model.posedObjects[1].vertices.empty());
    EXPECT_TRUE(model.posedObjects[2].vertices.empty());

    character.model->skinnedObjects = {0};
    animateCharacter(&character, 0, 0.5f);
    EXPECT_EQ(character.model->posedObjects.size(), 1u);
}

TEST(AnimateCharacter, DoesNothingWithoutSkeletonOrMotion) {
    animateCharacter(nullptr, 0, 0.0f);
    Character character = turningCharacter();
    animateCharacter(&character, 1, 0.25f);
    animateCharacter(&character, -1, 0.25f);
    EXPECT_TRUE(character.model->posedObjects.empty());
    expectVec(character.skeleton->bones[0].localPosition, {1, 0, 0});
    character.skeleton.reset();
    animateCharacter(&character, 0, 0.25f);
    EXPECT_TRUE(character.model->posedObjects.empty());
}

}  // namespace
}  // namespace tavo
