#include <gtest/gtest.h>

#include <cmath>

#include "animation/eye_gaze.h"
#include "animation/model_pose.h"
#include "animation/posing.h"
#include "character/character_data.h"
#include "math/rotation.h"

namespace tavo {
namespace {

// A head with two eyes, its rest turned a quarter about y in the file (the
// eyes' rests undo it), looking with its eye bones: at most 8 degrees
// outwards, 12 inwards, 6 up and 9 down.
CharacterData makeHead() {
    CharacterData data;
    Joint head;
    head.name = "head";
    head.rest.translation = Vec3(0, 1.5f, 0);
    head.rest.rotation = axisAngle(Vec3(0, 1, 0), 1.5707963f);
    data.rig.joints.push_back(head);
    for (const float side : {1.0f, -1.0f}) {
        Joint eye;
        eye.name = side > 0 ? "leftEye" : "rightEye";
        eye.parent = 0;
        eye.rest.translation = rotateByInverse(head.rest.rotation, Vec3(0.03f * side, 0.05f, 0.08f));
        eye.rest.rotation = head.rest.rotation.conjugate();
        data.rig.joints.push_back(eye);
    }
    data.rig.joints[0].children = {1, 2};
    data.rig.roots = {0};
    data.humanoid.joints[human_bone::kHead] = 0;
    data.humanoid.joints[human_bone::kLeftEye] = 1;
    data.humanoid.joints[human_bone::kRightEye] = 2;
    data.lookAt.kind = LookAt::Kind::Bones;
    data.lookAt.offset = Vec3(0, 0.05f, 0.08f);
    data.lookAt.horizontalOuter = {90.0f, 8.0f};
    data.lookAt.horizontalInner = {90.0f, 12.0f};
    data.lookAt.verticalUp = {90.0f, 6.0f};
    data.lookAt.verticalDown = {90.0f, 9.0f};
    return data;
}

// Degrees the eye's forward (+z at rest in model space) turns towards +x and up.
void eyeTurn(const CharacterPose& pose, int32_t joint, float& yaw, float& pitch) {
    const Vec3 forward = rotateByUnit(pose.model.rotations[static_cast<size_t>(joint)], Vec3(0, 0, 1));
    yaw = std::atan2(forward.x, forward.z) * 57.29578f;
    pitch = std::asin(std::fmax(-1.0f, std::fmin(1.0f, forward.y))) * 57.29578f;
}

// Far to the avatar's left and a little up: both eyes turn left (the left
// one outwards, the right inwards) and up, each within its range, the head
// a little; in front and level, nothing turns; the turn eases in.
TEST(EyeGaze, EyesTurnTowardsTheTargetWithinTheirRangesAndTheHeadALittle) {
    const CharacterData data = makeHead();
    CharacterPose pose;
    pose.reset(data);
    ASSERT_TRUE(computeModelPose(data.rig, pose));
    const Vec3 eyes(0, 1.55f, 0.08f);
    const Vec3 leftAndUp = eyes + Vec3(std::sin(1.0f), 0.2f, std::cos(1.0f)) * 2.0f;  // 57 degrees left
    turnEyesTowards(data, true, leftAndUp, 0.5f, pose);
    EXPECT_NEAR(pose.gazeYaw, 0.5f * 57.3f, 0.5f) << "half way in one frame at rate 0.5";
    for (int frame = 0; frame < 40; ++frame) turnEyesTowards(data, true, leftAndUp, 0.5f, pose);
    float leftYaw = 0, leftPitch = 0, rightYaw = 0, rightPitch = 0;
    eyeTurn(pose, 1, leftYaw, leftPitch);
    eyeTurn(pose, 2, rightYaw, rightPitch);
    const Vec3 headForward = rotateByUnit(multiplyPrecise(pose.model.rotations[0], data.rig.joints[0].rest.rotation.conjugate()), Vec3(0, 0, 1));
    const float headYaw = std::atan2(headForward.x, headForward.z) * 57.29578f;
    EXPECT_NEAR(headYaw, 11.4f, 0.6f) << "a fifth of the way, the head";
    // The eyes turn on top of the head: the rest of the angle, mapped into their ranges.
    const float rest = 57.3f - headYaw;
    EXPECT_NEAR(leftYaw - headYaw, rest / 90.0f * 8.0f, 0.5f) << "outwards";
    EXPECT_NEAR(rightYaw - headYaw, rest / 90.0f * 12.0f, 0.5f) << "inwards";
    EXPECT_GT(leftPitch, 0.5f);
    EXPECT_LT(leftPitch, 6.0f);

    for (int frame = 0; frame < 60; ++frame) turnEyesTowards(data, false, leftAndUp, 0.5f, pose);
    EXPECT_NEAR(pose.gazeYaw, 0.0f, 0.01f) << "back to the front when nothing is near";
    turnEyesTowards(data, true, eyes + Vec3(0, 0, 2), 1.0f, pose);
    eyeTurn(pose, 1, leftYaw, leftPitch);
    EXPECT_NEAR(leftYaw, 0.0f, 0.05f);
    EXPECT_NEAR(leftPitch, 0.0f, 0.05f);
}

}  // namespace
}  // namespace tavo
