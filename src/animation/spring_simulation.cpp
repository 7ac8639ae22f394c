#include "animation/spring_simulation.h"

#include <algorithm>
#include <cmath>

#include "animation/character_pose.h"
#include "animation/model_pose.h"
#include "character/character_data.h"
#include "math/rotation.h"

namespace tavo {

namespace {

// A bone's end past the last joint of a chain lies on along the way the
// joint hangs from its parent, this share of that distance.
constexpr float kVirtualTailShare = 0.7f;

Vec3 worldPoint(const CharacterPose& pose, int32_t joint, const Vec3& local) {
    const size_t j = static_cast<size_t>(joint);
    return pose.model.positions[j] + rotateByUnit(pose.model.rotations[j], local);
}

Vec3 pointOf(const CarriedMotion& motion, const Vec3& p) { return rotateByUnit(motion.rotation, p) + motion.shift; }

void pushOutOfColliders(const CharacterData& data, const SpringChain& chain, const CharacterPose& pose, float hitRadius,
                        const Vec3& root, float length, Vec3& tail) {
    for (int32_t c : chain.colliders) {
        if (c < 0 || static_cast<size_t>(c) >= data.springs.colliders.size()) continue;
        const SpringCollider& collider = data.springs.colliders[static_cast<size_t>(c)];
        if (!data.rig.validJoint(collider.joint)) continue;
        Vec3 centre = worldPoint(pose, collider.joint, collider.offset);
        if (collider.capsule) {
            // The nearest point of the segment from offset to tail.
            const Vec3 end = worldPoint(pose, collider.joint, collider.tail);
            const Vec3 along = end - centre;
            const float squared = along.dot(along);
            const float t = squared > 0.0f ? std::clamp((tail - centre).dot(along) / squared, 0.0f, 1.0f) : 0.0f;
            centre = centre + along * t;
        }
        const Vec3 away = tail - centre;
        const float reach = collider.radius + hitRadius;
        const float distance = away.length();
        if (distance >= reach || distance <= 0.0f) continue;
        tail = centre + away * (reach / distance);
        tail = root + (tail - root).normalized() * length;
    }
}

void stepChain(const CharacterData& data, const SpringChain& chain, SpringState& state, size_t first, size_t end,
               float dt, CharacterPose& pose) {
    for (size_t b = first; b < end; ++b) {
        SpringState::Bone& bone = state.bones[b];
        const SpringJoint& settings = chain.joints[b - first];
        const size_t j = static_cast<size_t>(bone.joint);
        const int32_t parent = data.rig.joints[j].parent;
        const Quaternion parentRotation = data.rig.validJoint(parent) ? pose.model.rotations[static_cast<size_t>(parent)] : Quaternion();
        const Quaternion restRotation = multiplyPrecise(parentRotation, data.rig.joints[j].rest.rotation);
        const Vec3 root = pose.model.positions[j];
        const Vec3 inertia = (bone.tail - bone.previousTail) * (1.0f - settings.dragForce);
        const float metre = data.springs.metre;
        const Vec3 pull = rotateByUnit(restRotation, bone.axis) * (settings.stiffness * dt * metre);
        const Vec3 fall = settings.gravityDir * (settings.gravityPower * dt * metre);
        Vec3 next = bone.tail + inertia + pull + fall;
        const Vec3 reach = next - root;
        next = reach.length() > 0.0f ? root + reach.normalized() * bone.length : root + rotateByUnit(restRotation, bone.axis) * bone.length;
        pushOutOfColliders(data, chain, pose, settings.hitRadius, root, bone.length, next);
        if (!std::isfinite(next.x) || !std::isfinite(next.y) || !std::isfinite(next.z)) {
            next = root + rotateByUnit(restRotation, bone.axis) * bone.length;  // never carry a fault on
        }
        bone.previousTail = bone.tail;
        bone.tail = next;
        // Turn the bone towards its end, and carry the joints below along.
        const Vec3 wanted = rotateByInverse(restRotation, (next - root).normalized());
        const Quaternion local = multiplyPrecise(data.rig.joints[j].rest.rotation, rotationBetween(bone.axis, wanted));
        pose.local.joints[j].rotation = local;
        pose.model.rotations[j] = multiplyPrecise(parentRotation, local);
        if (bone.child >= 0) {
            const size_t c = static_cast<size_t>(bone.child);
            pose.model.positions[c] = root + rotateByUnit(pose.model.rotations[j], pose.local.joints[c].translation);
            pose.model.rotations[c] = multiplyPrecise(pose.model.rotations[j], pose.local.joints[c].rotation);
        }
    }
}

// Each bone's end where the posed joints put it.
void placeTails(const CharacterData& data, SpringState& state, const CharacterPose& pose) {
    for (SpringState::Bone& bone : state.bones) {
        const size_t j = static_cast<size_t>(bone.joint);
        const int32_t parent = data.rig.joints[j].parent;
        const Quaternion restRotation = multiplyPrecise(
            data.rig.validJoint(parent) ? pose.model.rotations[static_cast<size_t>(parent)] : Quaternion(), data.rig.joints[j].rest.rotation);
        bone.tail = pose.model.positions[j] + rotateByUnit(restRotation, bone.axis) * bone.length;
        bone.previousTail = bone.tail;
    }
}

}  // namespace

void SpringState::reset(const CharacterData& data) {
    bones.clear();
    chainEnds.clear();
    pending = 0.0f;
    carried = CarriedMotion();
    started = false;
    const Rig& rig = data.rig;
    for (const SpringChain& chain : data.springs.chains) {
        for (size_t k = 0; k < chain.joints.size(); ++k) {
            const int32_t joint = chain.joints[k].joint;
            if (!rig.validJoint(joint)) break;
            Bone bone;
            bone.joint = joint;
            const Joint& record = rig.joints[static_cast<size_t>(joint)];
            const int32_t next = k + 1 < chain.joints.size() ? chain.joints[k + 1].joint : (record.children.empty() ? -1 : record.children[0]);
            Vec3 toEnd;
            if (rig.validJoint(next) && rig.joints[static_cast<size_t>(next)].parent == joint) {
                bone.child = next;
                toEnd = rig.joints[static_cast<size_t>(next)].rest.translation;
            } else {
                // Past the last joint: on along the way it hangs from its parent.
                const Vec3 fromParent = rotateByInverse(record.rest.rotation, record.rest.translation);
                toEnd = fromParent * kVirtualTailShare;
            }
            bone.length = toEnd.length();
            if (!(bone.length > 0.0f)) break;
            bone.axis = toEnd.normalized();
            bones.push_back(bone);
        }
        chainEnds.push_back(static_cast<int32_t>(bones.size()));
    }
}

void stepSpringBones(const CharacterData& data, float seconds, const CarriedMotion& carried, CharacterPose& pose) {
    SpringState& state = pose.springs;
    if (state.bones.empty() || !data.rig.rigid || !pose.fits(data.rig)) return;
    if (!state.started) {
        placeTails(data, state, pose);
        state.started = true;
        return;
    }
    state.carried.rotation = multiplyPrecise(carried.rotation, state.carried.rotation);
    state.carried.shift = rotateByUnit(carried.rotation, state.carried.shift) + carried.shift;
    state.pending = std::min(state.pending + (std::isfinite(seconds) && seconds > 0.0f ? seconds : 0.0f),
                             kSpringStepSeconds * static_cast<float>(kMostSpringStepsAFrame));
    const int32_t steps = static_cast<int32_t>(state.pending / kSpringStepSeconds);
    if (steps == 0) return;
    state.pending -= static_cast<float>(steps) * kSpringStepSeconds;
    // The screen's motion is shared out over the steps: the ends stay where
    // they were on the screen and so trail behind.
    CarriedMotion share;
    share.rotation = slerp(Quaternion(), state.carried.rotation, 1.0f / static_cast<float>(steps));
    share.shift = state.carried.shift * (1.0f / static_cast<float>(steps));
    state.carried = CarriedMotion();
    for (int32_t step = 0; step < steps; ++step) {
        for (SpringState::Bone& bone : state.bones) {
            bone.tail = pointOf(share, bone.tail);
            bone.previousTail = pointOf(share, bone.previousTail);
        }
        size_t first = 0;
        for (size_t c = 0; c < state.chainEnds.size(); ++c) {
            const size_t end = static_cast<size_t>(state.chainEnds[c]);
            stepChain(data, data.springs.chains[c], state, first, end, kSpringStepSeconds, pose);
            first = end;
        }
    }
    computeModelPose(data.rig, pose);
}

}  // namespace tavo
