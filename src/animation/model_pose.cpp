#include "animation/model_pose.h"

#include <cstddef>
#include <cstdint>

namespace tavo {
namespace {

struct RigidTransform {
    Vec3 position;
    Quaternion rotation;
};

RigidTransform compose(const RigidTransform& parent, const JointTransform& local) {
    return {parent.position + rotateByUnit(parent.rotation, local.translation),
            multiplyPrecise(parent.rotation, local.rotation)};
}

Matrix4 localMatrix(const JointTransform& local) {
    return composeTransform(local.translation, local.rotation, local.scale);
}

// The joint and the ancestors not yet composed, the highest last.
void collectUncomposed(const Rig& rig, size_t joint, CharacterPose& pose) {
    std::vector<int32_t>& chain = pose.chain;
    chain.clear();
    const size_t count = rig.joints.size();
    for (int32_t index = static_cast<int32_t>(joint);
         rig.validJoint(index) && pose.composed[static_cast<size_t>(index)] == 0 && chain.size() < count;
         index = rig.joints[static_cast<size_t>(index)].parent) {
        chain.push_back(index);
    }
}

// Composes every joint once, walking up from each joint to the first
// ancestor already composed and back down. Composer gives a root's value
// (root), a joint's value under its parent's (under), and the value stored
// for a joint (load, store).
template <typename Composer>
void composeTree(const Rig& rig, CharacterPose& pose, Composer& composer) {
    for (size_t i = 0; i < rig.joints.size(); ++i) {
        collectUncomposed(rig, i, pose);
        if (pose.chain.empty()) {
            continue;
        }
        const int32_t topIndex = pose.chain.back();
        const Joint& top = rig.joints[static_cast<size_t>(topIndex)];
        const JointTransform& topLocal = pose.local.joints[static_cast<size_t>(topIndex)];
        auto world = composer.root(topLocal);
        if (rig.validJoint(top.parent) && pose.composed[static_cast<size_t>(top.parent)] != 0) {
            world = composer.under(composer.load(static_cast<size_t>(top.parent)), topLocal);
        }
        for (size_t k = pose.chain.size(); k-- > 0;) {
            const size_t joint = static_cast<size_t>(pose.chain[k]);
            if (k + 1 < pose.chain.size()) {
                world = composer.under(world, pose.local.joints[joint]);
            }
            composer.store(joint, world);
            pose.composed[joint] = 1;
        }
    }
}

// Positions and rotations, for rigid rigs.
struct RigidComposer {
    ModelPose& model;
    RigidTransform root(const JointTransform& local) const { return {local.translation, local.rotation}; }
    RigidTransform under(const RigidTransform& parent, const JointTransform& local) const {
        return compose(parent, local);
    }
    RigidTransform load(size_t joint) const { return {model.positions[joint], model.rotations[joint]}; }
    void store(size_t joint, const RigidTransform& world) {
        model.positions[joint] = world.position;
        model.rotations[joint] = world.rotation;
    }
};

// Matrices, for rigs with scales or general binds.
struct MatrixComposer {
    ModelPose& model;
    Matrix4 root(const JointTransform& local) const { return localMatrix(local); }
    Matrix4 under(const Matrix4& parent, const JointTransform& local) const {
        return multiply(parent, localMatrix(local));
    }
    Matrix4 load(size_t joint) const { return model.matrices[joint]; }
    void store(size_t joint, const Matrix4& world) { model.matrices[joint] = world; }
};

}  // namespace

bool computeModelPose(const Rig& rig, CharacterPose& pose) {
    if (!pose.fits(rig)) {
        return false;
    }
    const size_t count = rig.joints.size();
    pose.model.positions.resize(count);
    pose.model.rotations.resize(count);
    pose.model.matrices.resize(rig.rigid ? 0 : count);
    pose.composed.assign(count, 0);
    if (pose.chain.capacity() < count) {
        pose.chain.reserve(count);
    }
    if (rig.rigid) {
        RigidComposer composer{pose.model};
        composeTree(rig, pose, composer);
    } else {
        MatrixComposer composer{pose.model};
        composeTree(rig, pose, composer);
    }
    return true;
}

}  // namespace tavo
