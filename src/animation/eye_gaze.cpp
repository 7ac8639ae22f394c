#include "animation/eye_gaze.h"

#include <algorithm>
#include <cmath>

#include "animation/character_pose.h"
#include "animation/model_pose.h"
#include "character/character_data.h"
#include "math/rotation.h"

namespace tavo {

namespace {

constexpr float kDegree = 3.14159265f / 180.0f;
constexpr float kHeadShare = 0.2f;
constexpr float kHeadLimit = 12.0f;

// The joint's rotation in model space at rest (no allocation).
Quaternion restRotation(const Rig& rig, int32_t joint) {
    Quaternion rotation;
    for (size_t steps = 0; rig.validJoint(joint) && steps <= rig.joints.size(); ++steps) {
        rotation = multiplyPrecise(rig.joints[static_cast<size_t>(joint)].rest.rotation, rotation);
        joint = rig.joints[static_cast<size_t>(joint)].parent;
    }
    return rotation;
}

float mapped(const LookAtRange& range, float degrees) {
    return std::min(std::fabs(degrees), range.inputMaxDegrees) / range.inputMaxDegrees * range.outputScale;
}

// A turn by yaw (towards the avatar's left, +x) and pitch (up) in the axes
// of a figure facing +z.
Quaternion gazeTurn(float yaw, float pitch) {
    return multiplyPrecise(axisAngle(Vec3(0, 1, 0), yaw * kDegree), axisAngle(Vec3(1, 0, 0), -pitch * kDegree));
}

// Sets joint's local rotation so that it turns by turn (in model space,
// relative to the rest axes of the figure) on top of its rest.
void turnJoint(const Rig& rig, int32_t joint, const Quaternion& turn, CharacterPose& pose) {
    const int32_t parent = rig.joints[static_cast<size_t>(joint)].parent;
    const Quaternion parentWorld = rig.validJoint(parent) ? pose.model.rotations[static_cast<size_t>(parent)] : Quaternion();
    const Quaternion world = multiplyPrecise(turn, restRotation(rig, joint));
    pose.local.joints[static_cast<size_t>(joint)].rotation = multiplyPrecise(parentWorld.conjugate(), world);
}

void raiseExpression(const CharacterData& data, const char* name, float weight, CharacterPose& pose) {
    const int32_t e = findExpression(data.expressions, name);
    if (e < 0 || static_cast<size_t>(e) >= pose.expressionWeights.size() || weight <= 0.0f) return;
    float& current = pose.expressionWeights[static_cast<size_t>(e)];
    current = std::max(current, std::min(weight, 1.0f));
}

}  // namespace

void turnEyesTowards(const CharacterData& data, bool looking, const Vec3& target, float rate, CharacterPose& pose) {
    const Rig& rig = data.rig;
    const LookAt& look = data.lookAt;
    const int32_t head = data.humanoid.joint(human_bone::kHead);
    if (look.kind == LookAt::Kind::None || !rig.validJoint(head) || !rig.rigid || !pose.fits(rig)) return;
    const size_t h = static_cast<size_t>(head);
    Quaternion& headLocal = pose.local.joints[h].rotation;
    if (pose.gazeTurnedHead && headLocal.x == pose.headSetByGaze.x && headLocal.y == pose.headSetByGaze.y &&
        headLocal.z == pose.headSetByGaze.z && headLocal.w == pose.headSetByGaze.w) {
        headLocal = pose.headBeforeGaze;  // last frame's turn, not the clip's
        computeModelPose(rig, pose);
    }
    pose.gazeTurnedHead = false;
    const Quaternion headTurn = multiplyPrecise(pose.model.rotations[h], restRotation(rig, head).conjugate());
    float yaw = 0.0f;
    float pitch = 0.0f;
    if (looking) {
        const Vec3 eyes = pose.model.positions[h] + rotateByUnit(headTurn, look.offset);
        const Vec3 d = rotateByInverse(headTurn, target - eyes);
        if (d.z > 0.0f) {  // only what lies in front
            yaw = std::atan2(d.x, d.z) / kDegree;
            pitch = std::atan2(d.y, std::sqrt(d.x * d.x + d.z * d.z)) / kDegree;
        }
    }
    pose.gazeYaw += (yaw - pose.gazeYaw) * rate;
    pose.gazePitch += (pitch - pose.gazePitch) * rate;
    if (std::fabs(pose.gazeYaw) < 1e-3f && std::fabs(pose.gazePitch) < 1e-3f && !looking) return;

    const float headYaw = std::clamp(pose.gazeYaw * kHeadShare, -kHeadLimit, kHeadLimit);
    const float headPitch = std::clamp(pose.gazePitch * kHeadShare, -kHeadLimit, kHeadLimit);
    const Quaternion newHeadTurn = multiplyPrecise(headTurn, gazeTurn(headYaw, headPitch));
    pose.headBeforeGaze = headLocal;
    turnJoint(rig, head, newHeadTurn, pose);
    pose.headSetByGaze = headLocal;
    pose.gazeTurnedHead = true;
    computeModelPose(rig, pose);
    const float eyeYaw = pose.gazeYaw - headYaw;
    const float eyePitch = pose.gazePitch - headPitch;
    if (look.kind == LookAt::Kind::Expressions) {
        raiseExpression(data, eyeYaw > 0.0f ? "lookLeft" : "lookRight", mapped(look.horizontalOuter, eyeYaw), pose);
        raiseExpression(data, eyePitch > 0.0f ? "lookUp" : "lookDown",
                        mapped(eyePitch > 0.0f ? look.verticalUp : look.verticalDown, eyePitch), pose);
        return;
    }
    for (const int32_t bone : {human_bone::kLeftEye, human_bone::kRightEye}) {
        const int32_t eye = data.humanoid.joint(bone);
        if (!rig.validJoint(eye)) continue;
        // Towards the avatar's left the left eye turns outwards, the right inwards.
        const bool outward = (bone == human_bone::kLeftEye) == (eyeYaw > 0.0f);
        const float turnYaw = std::copysign(mapped(outward ? look.horizontalOuter : look.horizontalInner, eyeYaw), eyeYaw);
        const float turnPitch =
            std::copysign(mapped(eyePitch > 0.0f ? look.verticalUp : look.verticalDown, eyePitch), eyePitch);
        turnJoint(rig, eye, multiplyPrecise(newHeadTurn, gazeTurn(turnYaw, turnPitch)), pose);
    }
    computeModelPose(rig, pose);
}

}  // namespace tavo
