#include <gtest/gtest.h>

#include <algorithm>

#include "skeleton/skeleton.h"
#include "rig_fixtures.h"
#include "support/posed_document.h"
#include "support/vector_expectations.h"

namespace tavo {
namespace {

using test::addBoneTriangle;
using test::addFace;
using test::addMaterial;
using test::addObject;
using test::addVertex;
using test::expectQuat;
using test::expectVec;
using test::findBone;

bool lists(const std::vector<int32_t>& list, int32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The world transform of each listed bone, composed from the local values,
// is its rest pose.
void expectRestPose(const Skeleton& skeleton, const std::vector<int32_t>& bones,
                    float positionTolerance = 1e-4f, float rotationTolerance = 1e-5f) {
    for (int32_t i : bones) {
        const test::BoneWorld world = test::restWorldOf(skeleton, i);
        expectVec(world.position, skeleton.bones[i].restHead, positionTolerance);
        expectQuat(world.rotation, skeleton.bones[i].restRotation, rotationTolerance);
    }
}

// Every bone's parent lists it exactly once, no other bone lists it, and the
// parent chain ends.
void expectForest(const Skeleton& skeleton) {
    for (int32_t j = 0; j < skeleton.boneCount(); ++j) {
        const Bone& bone = skeleton.bones[j];
        int32_t index = bone.parent;
        for (int32_t steps = 0; index >= 0; ++steps) {
            ASSERT_LT(steps, skeleton.boneCount()) << "parent chain of " << j << " loops";
            index = skeleton.bones[index].parent;
        }
        if (bone.isLink()) {
            continue;
        }
        for (int32_t p = 0; p < skeleton.boneCount(); ++p) {
            const auto& children = skeleton.bones[p].children;
            const auto count = std::count(children.begin(), children.end(), j);
            EXPECT_EQ(count, p == bone.parent ? 1 : 0) << "bone " << j << " under " << p;
        }
    }
}

// Builds the skeleton of a bone object holding the one triangle a, b, c.
void buildOneTriangle(const Vec3& a, const Vec3& b, const Vec3& c, Skeleton& skeleton) {
    Model model;
    ModelObject& bone = addObject(model, "bone");
    addVertex(bone, a);
    addVertex(bone, b);
    addVertex(bone, c);
    addFace(bone, {0, 1, 2});
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
}

TEST(BoneCorners, EquilateralTriangleTakesHeadFromTheThirdCorner) {
    Skeleton skeleton;
    ASSERT_NO_FATAL_FAILURE(buildOneTriangle({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, skeleton));
    ASSERT_EQ(skeleton.boneCount(), 1);
    EXPECT_EQ(skeleton.bones[0].headVertex, 2);
    EXPECT_EQ(skeleton.bones[0].sideVertex, 1);
    EXPECT_EQ(skeleton.bones[0].tipVertex, 0);
}

TEST(BoneCorners, HeadOppositeLongestTipOppositeShortestAndRestFrame) {
    Skeleton skeleton;
    ASSERT_NO_FATAL_FAILURE(buildOneTriangle({0, 0, 0}, {0, 4, 0}, {1, 0, 0}, skeleton));
    const Bone& b = skeleton.bones[0];
    EXPECT_EQ(b.headVertex, 0);
    EXPECT_EQ(b.sideVertex, 2);
    EXPECT_EQ(b.tipVertex, 1);
    // z runs from head to tip, x stands on the triangle's plane.
    expectVec(rotateByUnit(b.restRotation, {0, 0, 1}), {0, 1, 0});
    expectVec(rotateByUnit(b.restRotation, {1, 0, 0}), {0, 0, 1});
    expectVec(rotateByUnit(b.restRotation, {0, 1, 0}), {1, 0, 0});
    // The only bone is the root and keeps its model-space values.
    EXPECT_EQ(skeleton.rootBones, std::vector<int32_t>{0});
    expectVec(b.localPosition, b.restHead);
    expectQuat(b.localRotation, b.restRotation);
}

// A spine standing up the y axis, leaning back slightly, its side corner
// in front: the rest rotation takes z up the spine and x to -x.
TEST(BoneCorners, RestRotationOfAnUprightSpine) {
    Skeleton skeleton;
    ASSERT_NO_FATAL_FAILURE(buildOneTriangle({0, 0, 0}, {0, 95.5054f, -2.699f}, {0, 0, 10}, skeleton));
    expectQuat(skeleton.bones[0].restRotation, {0, -0.717f, -0.697f, 0}, 1e-3f);
    expectVec(rotateByUnit(skeleton.bones[0].restRotation, {1, 0, 0}), {-1, 0, 0});
}

TEST(BuildSkeleton, NeedsAnObjectNamedBoneAndIgnoresUnusableFaces) {
    Model none;
    addObject(none, "Bone").vertices.push_back({0, 0, 0});
    Skeleton empty;
    EXPECT_EQ(buildSkeleton(none, empty), -1);
    EXPECT_TRUE(empty.bones.empty());

    Model model;
    ModelObject& bone = addObject(model, "bones of the rig");
    for (int32_t i = 0; i < 5; ++i) {
        addVertex(bone, {static_cast<float>(i), 0, 0});
    }
    addFace(bone, {0});
    addFace(bone, {0, 1, 2, 3});
    addFace(bone, {0, 1, 9});  // an index past the vertices: skipped
    addFace(bone, {-1, 2});
    ModelObject& second = addObject(model, "bone2");
    addVertex(second, {0, 0, 0});
    addVertex(second, {0, 4, 0});
    addVertex(second, {1, 0, 0});
    addFace(second, {0, 1, 2});
    Skeleton skeleton;
    EXPECT_EQ(buildSkeleton(model, skeleton), 0);
    EXPECT_TRUE(skeleton.bones.empty());
    EXPECT_TRUE(skeleton.rootBones.empty());
}

TEST(BoneNames, MirroredMaterialsTakeTheSideOfTheHead) {
    Model model;
    const int32_t arm = addMaterial(model, "arm[]");
    const int32_t bare = addMaterial(model, "[]");
    const int32_t shortName = addMaterial(model, "]");
    ModelObject& bone = addObject(model, "bone");
    const int32_t left = addVertex(bone, {2, 0, 0});
    const int32_t leftTip = addVertex(bone, {2, 5, 0});
    const int32_t middle = addVertex(bone, {0, 0, 0});
    const int32_t middleTip = addVertex(bone, {0, 5, 0});
    const int32_t right = addVertex(bone, {-0.5f, 0, 0});
    const int32_t rightTip = addVertex(bone, {-0.5f, 5, 0});
    addBoneTriangle(bone, left, leftTip, {0, 0, 1}, arm);
    addBoneTriangle(bone, middle, middleTip, {0, 0, 1}, arm);
    addBoneTriangle(bone, left, leftTip, {0, 0, 1}, bare);
    addBoneTriangle(bone, right, rightTip, {0, 0, 1}, bare);
    addBoneTriangle(bone, right, rightTip, {0, 0, 1}, shortName);
    addBoneTriangle(bone, right, rightTip, {0, 0, 1}, -1);
    addBoneTriangle(bone, right, rightTip, {0, 0, 1}, 7);  // names no material
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    ASSERT_EQ(skeleton.boneCount(), 7);
    EXPECT_EQ(skeleton.bones[0].name, "arm[L]");
    EXPECT_EQ(skeleton.bones[1].name, "arm[R]");  // x = 0 counts as right
    EXPECT_EQ(skeleton.bones[2].name, "[L]");
    EXPECT_EQ(skeleton.bones[3].name, "[R]");
    EXPECT_EQ(skeleton.bones[4].name, "]");
    EXPECT_EQ(skeleton.bones[5].name, "");
    EXPECT_EQ(skeleton.bones[6].name, "");
}

TEST(RigidBinding, ObjectsMoveIntoTheFrameOfTheBoneTheyAreNamedAfter) {
    Model model;
    const int32_t head = addMaterial(model, "head");
    ModelObject& bone = addObject(model, "bone");
    addVertex(bone, {0, 0, 0});
    addVertex(bone, {0, 4, 0});
    addVertex(bone, {1, 0, 0});
    addFace(bone, {0, 1, 2}, head);
    ModelObject& bound = addObject(model, "mhead-head");
    for (const Vec3& v : {Vec3(0, 0, 0), Vec3(0, 4, 0), Vec3(1, 0, 0), Vec3(2, 3, 5)}) {
        addVertex(bound, v);
    }
    addFace(bound, {0, 1, 2});
    bound.buildGroups();
    addObject(model, "mhead-headx").vertices.push_back({2, 3, 5});
    addObject(model, "head").vertices.push_back({2, 3, 5});  // no "-" before the name
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    EXPECT_EQ(skeleton.bones[0].rigidObjects, std::vector<int32_t>{1});
    const ModelObject& moved = model.objects[1];
    expectVec(moved.vertices[0], {0, 0, 0});
    expectVec(moved.vertices[1], {0, 0, 4});
    expectVec(moved.vertices[2], {0, 1, 0});
    expectVec(moved.vertices[3], {5, 2, 3});
    // Normals follow the moved vertices: the triangle now faces -x.
    ASSERT_EQ(moved.normals.size(), 4u);
    expectVec(moved.normals[0], {-1, 0, 0});
    expectVec(model.objects[2].vertices[0], {2, 3, 5});
    expectVec(model.objects[3].vertices[0], {2, 3, 5});
}

TEST(RigidBinding, SideLetterAndObjectsMatchingSeveralBones) {
    Model model;
    const int32_t arm = addMaterial(model, "arm[]");
    const int32_t twin = addMaterial(model, "twin");
    ModelObject& bone = addObject(model, "bone");
    const int32_t left = addVertex(bone, {2, 0, 0});
    const int32_t leftTip = addVertex(bone, {2, 5, 0});
    const int32_t right = addVertex(bone, {-2, 0, 0});
    const int32_t rightTip = addVertex(bone, {-2, 5, 0});
    addBoneTriangle(bone, left, leftTip, {0, 0, 1}, arm);
    addBoneTriangle(bone, right, rightTip, {0, 0, 1}, arm);
    addBoneTriangle(bone, left, leftTip, {0, 0, 1}, twin);
    addBoneTriangle(bone, right, rightTip, {0, 0, 1}, twin);
    addObject(model, "mL-arm").vertices.push_back({2, 1, 0});
    addObject(model, "mR-arm").vertices.push_back({-2, 1, 0});
    addObject(model, "m-arm").vertices.push_back({0, 1, 0});  // second byte is no side letter
    addObject(model, "mtwin-twin").vertices.push_back({3, 0, 0});
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    EXPECT_EQ(skeleton.bones[0].rigidObjects, std::vector<int32_t>{1});
    EXPECT_EQ(skeleton.bones[1].rigidObjects, std::vector<int32_t>{2});
    EXPECT_EQ(skeleton.bones[2].rigidObjects, std::vector<int32_t>{4});
    EXPECT_EQ(skeleton.bones[3].rigidObjects, std::vector<int32_t>{4});
    expectVec(model.objects[1].vertices[0], {0, 0, 1});
    expectVec(model.objects[2].vertices[0], {0, 0, 1});
    expectVec(model.objects[3].vertices[0], {0, 1, 0});
    // Moved into the frame of bone 2, then from there into the frame of bone 3.
    const Vec3 once = rotateByInverse(skeleton.bones[2].restRotation,
                                      Vec3(3, 0, 0) - skeleton.bones[2].restHead);
    const Vec3 twice =
        rotateByInverse(skeleton.bones[3].restRotation, once - skeleton.bones[3].restHead);
    expectVec(model.objects[4].vertices[0], twice);
}

TEST(RigidBinding, UnnamedBoneBindsEveryObjectEndingInADash) {
    Model model;
    ModelObject& bone = addObject(model, "bone");
    addVertex(bone, {0, 0, 0});
    addVertex(bone, {0, 4, 0});
    addVertex(bone, {1, 0, 0});
    addFace(bone, {0, 1, 2});
    addObject(model, "loose-").vertices.push_back({1, 0, 0});
    addObject(model, "loose").vertices.push_back({1, 0, 0});
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    EXPECT_EQ(skeleton.bones[0].rigidObjects, std::vector<int32_t>{1});
}

// Two bones end at one vertex t; a link runs from t to the head of a third.
TEST(Hierarchy, LinkHangsFromTheLaterBoneAndIsListedUnderBoth) {
    Model model;
    ModelObject& bone = addObject(model, "bone");
    const int32_t a = addVertex(bone, {-3, 0, 0});
    const int32_t b = addVertex(bone, {3, 0, 0});
    const int32_t t = addVertex(bone, {0, 6, 0});
    const int32_t c = addVertex(bone, {0, 9, 0});
    const int32_t cTip = addVertex(bone, {0, 15, 0});
    const int32_t lone = addVertex(bone, {20, 0, 0});
    const int32_t loneEnd = addVertex(bone, {21, 0, 0});
    addBoneTriangle(bone, a, t, {0, 0, 1}, -1);      // 0
    addBoneTriangle(bone, b, t, {0, 0, 1}, -1);      // 1
    addFace(bone, {c, t});                           // 2: touches t with its far end
    addBoneTriangle(bone, c, cTip, {0, 0, 1}, -1);  // 3
    addFace(bone, {lone, loneEnd});                  // 4: touches nothing
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    const Bone& link = skeleton.bones[2];
    EXPECT_TRUE(link.isLink());
    EXPECT_EQ(link.parent, 1);
    EXPECT_EQ(link.headVertex, t);  // turned round
    EXPECT_EQ(link.tipVertex, c);
    EXPECT_TRUE(lists(skeleton.bones[0].children, 2));
    EXPECT_TRUE(lists(skeleton.bones[1].children, 2));
    // The third bone hangs from the bone above the link.
    EXPECT_EQ(skeleton.bones[3].parent, 1);
    EXPECT_EQ(skeleton.rootBones, (std::vector<int32_t>{0, 1, 4}));
    expectForest(skeleton);
}

TEST(Hierarchy, LocalValuesComposeBackToTheRestPose) {
    Model model;
    ModelObject& bone = addObject(model, "bone");
    const int32_t root = addVertex(bone, {0, 0, 0});
    const int32_t rootTip = addVertex(bone, {0, 5, 1});
    const int32_t arm = addVertex(bone, {2, 6, 1});
    const int32_t armTip = addVertex(bone, {6, 7, -2});
    const int32_t hand = addVertex(bone, {7, 4, -3});
    addBoneTriangle(bone, root, rootTip, {0.3f, -0.2f, 0.9f}, -1);
    addFace(bone, {rootTip, arm});
    addBoneTriangle(bone, arm, armTip, {0, 0.8f, 0.4f}, -1);
    addBoneTriangle(bone, armTip, hand, {0.5f, 0.5f, 0.6f}, -1);
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    EXPECT_EQ(skeleton.bones[2].parent, 0);
    EXPECT_EQ(skeleton.bones[3].parent, 2);
    expectVec(skeleton.bones[3].localPosition,
              {0, 0, (Vec3(6, 7, -2) - Vec3(2, 6, 1)).length()}, 1e-4f);
    expectRestPose(skeleton, {0, 2, 3});
}

// Malformed: each bone's tip is the other's head.
TEST(Hierarchy, CycleOfBonesIsBrokenAtTheFirstBone) {
    Model model;
    ModelObject& bone = addObject(model, "bone");
    const int32_t p = addVertex(bone, {0, 0, 0});
    const int32_t q = addVertex(bone, {0, 10, 0});
    addBoneTriangle(bone, p, q, {0, 0, 1}, -1);
    addBoneTriangle(bone, q, p, {0, 0, 1}, -1);
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    EXPECT_EQ(skeleton.bones[0].parent, -1);
    EXPECT_EQ(skeleton.bones[1].parent, 0);
    EXPECT_EQ(skeleton.rootBones, std::vector<int32_t>{0});
    expectForest(skeleton);
    const test::BoneWorld world = test::restWorldOf(skeleton, 1);
    expectVec(world.position, skeleton.bones[1].restHead, 1e-4f);
}

// Three bones in a ring, and a fourth hanging from it that is met first.
TEST(Hierarchy, LongerCycleIsBrokenAtItsLowestBone) {
    Model model;
    ModelObject& bone = addObject(model, "bone");
    const int32_t a = addVertex(bone, {0, 0, 0});
    const int32_t b = addVertex(bone, {0, 10, 0});
    const int32_t c = addVertex(bone, {8, 5, 0});
    const int32_t d = addVertex(bone, {-6, 14, 0});
    addBoneTriangle(bone, b, d, {0, 0, 1}, -1);  // 0
    addBoneTriangle(bone, a, b, {0, 0, 1}, -1);  // 1
    addBoneTriangle(bone, b, c, {0, 0, 1}, -1);  // 2
    addBoneTriangle(bone, c, a, {0, 0, 1}, -1);  // 3
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    EXPECT_EQ(skeleton.bones[1].parent, -1);
    EXPECT_EQ(skeleton.bones[0].parent, 1);
    EXPECT_EQ(skeleton.bones[2].parent, 1);
    EXPECT_EQ(skeleton.bones[3].parent, 2);
    EXPECT_EQ(skeleton.rootBones, std::vector<int32_t>{1});
    expectForest(skeleton);
    expectRestPose(skeleton, {0, 1, 2, 3});
}

// A bone that several records lead to is listed once, under its parent;
// without that the descent would convert it twice (or forever, with a loop
// through a bone listed under its own child).
TEST(Hierarchy, BoneReachedFromSeveralRecordsIsListedOnceUnderItsParent) {
    Model model;
    ModelObject& bone = addObject(model, "bone");
    const int32_t a = addVertex(bone, {0, 0, 0});
    const int32_t t = addVertex(bone, {0, 5, 0});
    const int32_t b = addVertex(bone, {3, 0, 0});
    const int32_t end = addVertex(bone, {0, 9, 0});
    addBoneTriangle(bone, a, t, {0, 0, 1}, -1);    // 0
    addBoneTriangle(bone, b, t, {0, 0, 1}, -1);    // 1
    addBoneTriangle(bone, t, end, {0, 0, 1}, -1);  // 2 starts where 0 and 1 end
    addFace(bone, {t, end});                       // 3, 4: two links from t to the
    addFace(bone, {end, t});                       //       end of bone 2
    addBoneTriangle(bone, t, a, {1, 0, 0}, -1);    // 5 ends at the head of bone 0
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    expectForest(skeleton);
    std::vector<int32_t> bones;
    for (int32_t i = 0; i < skeleton.boneCount(); ++i) {
        if (!skeleton.bones[i].isLink()) {
            bones.push_back(i);
        }
    }
    expectRestPose(skeleton, bones, 1e-3f, 1e-4f);
}

TEST(Hierarchy, NamedBonesAreFoundByName) {
    Model model;
    const int32_t chest = addMaterial(model, "chest");
    const int32_t neck = addMaterial(model, "neck");
    ModelObject& bone = addObject(model, "bone");
    const int32_t a = addVertex(bone, {0, 0, 0});
    const int32_t t = addVertex(bone, {0, 5, 0});
    const int32_t top = addVertex(bone, {0, 7, 0});
    addBoneTriangle(bone, t, top, {0, 0, 1}, neck);
    addBoneTriangle(bone, a, t, {0, 0, 1}, chest);
    Skeleton skeleton;
    ASSERT_EQ(buildSkeleton(model, skeleton), 0);
    EXPECT_EQ(skeleton.bones[findBone(skeleton, "neck")].parent, findBone(skeleton, "chest"));
    expectVec(skeleton.bones[0].localPosition, {0, 0, 5});
}

}  // namespace
}  // namespace tavo
