#include "animation/playback.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "animation/curve_evaluation.h"
#include "model/model.h"
#include "motion/motion.h"
#include "skeleton/character.h"
#include "skeleton/skeleton.h"

// One frame of posing: sample the motion into the bones' local values,
// evaluate the bone tree into model space, then blend every skinned vertex
// over its bones (linear blend skinning).

namespace tavo {
namespace {

// The Hamilton product q p, with the same operations in the same order as
// Quaternion::multiply, so the results are the same to the bit; inline
// because skinning forms four of them per influence of every vertex.
inline Quaternion hamilton(const Quaternion& q, const Quaternion& p) {
    const Vec3 qv(q.x, q.y, q.z);
    const Vec3 pv(p.x, p.y, p.z);
    const Vec3 v = pv.scale(q.w).add(qv.scale(p.w)).add(qv.cross(pv));
    return {v.x, v.y, v.z, q.w * p.w - qv.dot(pv)};
}

// Vector part of r (v, 0) conjugate(r).
inline Vec3 conjugateRotate(const Quaternion& r, const Vec3& v) {
    const Quaternion product =
        hamilton(hamilton(r, Quaternion(v.x, v.y, v.z, 0.0f)), r.conjugate());
    return {product.x, product.y, product.z};
}

bool validBone(const Skeleton& skeleton, int32_t index) {
    return index >= 0 && index < skeleton.boneCount();
}

// The parent's world transform applied to a bone's local values.
WorldTransform compose(const WorldTransform& parent, const Bone& bone) {
    WorldTransform world;
    world.position = parent.position + rotateByUnit(parent.rotation, bone.localPosition);
    world.rotation = multiplyPrecise(parent.rotation, bone.localRotation);
    return world;
}

WorldTransform rootTransform(const Bone& bone) { return {bone.localPosition, bone.localRotation}; }

// The bone and its ancestors, root last. The walk stops after as many steps
// as there are bones, which only matters for a graph that is not a forest
// (buildSkeleton never makes one): the last bone reached counts as a root.
void collectChain(const Skeleton& skeleton, int32_t boneIndex, std::vector<int32_t>& chain) {
    chain.clear();
    for (int32_t index = boneIndex; validBone(skeleton, index) && chain.size() < skeleton.bones.size();
         index = skeleton.bones[index].parent) {
        chain.push_back(index);
    }
}

// The rest pose does not change once the skeleton is built: it is taken on
// the first frame (and again only if the number of bones changes).
void storeRestPose(const Skeleton& skeleton, SkinningPose& scratch) {
    const std::size_t count = skeleton.bones.size();
    if (scratch.restHeads.size() == count && scratch.restInverses.size() == count) {
        return;
    }
    scratch.restHeads.resize(count);
    scratch.restInverses.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        scratch.restHeads[i] = skeleton.bones[i].restHead;
        scratch.restInverses[i] = skeleton.bones[i].restRotation.inverse();
    }
}

// Every bone's world transform, each composed from its parent's exactly as
// computeWorldTransform composes it, but with every bone evaluated once: the
// ancestors not yet stored are walked up, then composed downwards.
void storeWorldTransforms(const Skeleton& skeleton, SkinningPose& scratch) {
    const std::size_t count = skeleton.bones.size();
    scratch.worldPositions.resize(count);
    scratch.worldRotations.resize(count);
    scratch.stored.assign(count, 0);
    std::vector<int32_t>& chain = scratch.chain;
    for (std::size_t i = 0; i < count; ++i) {
        chain.clear();
        for (int32_t index = static_cast<int32_t>(i);
             validBone(skeleton, index) && !scratch.stored[index] && chain.size() < count;
             index = skeleton.bones[index].parent) {
            chain.push_back(index);
        }
        if (chain.empty()) {
            continue;
        }
        const Bone& top = skeleton.bones[chain.back()];
        WorldTransform world = rootTransform(top);
        if (validBone(skeleton, top.parent) && scratch.stored[top.parent]) {
            world = compose({scratch.worldPositions[top.parent], scratch.worldRotations[top.parent]},
                            top);
        }
        for (std::size_t k = chain.size(); k-- > 0;) {
            const int32_t bone = chain[k];
            if (k + 1 < chain.size()) {
                world = compose(world, skeleton.bones[bone]);
            }
            scratch.worldPositions[bone] = world.position;
            scratch.worldRotations[bone] = world.rotation;
            scratch.stored[bone] = 1;
        }
    }
}

}  // namespace

int32_t phaseToFrame(float phase, int32_t endFrame) {
    if (phase > 1.0f) {
        phase = 1.0f;
    }
    if (!(phase >= 0.0f)) {
        phase = 0.0f;
    }
    const float frame = phase * static_cast<float>(endFrame);
    // An end frame near the top of the range rounds up to 2^31 as a float,
    // which no int32_t holds.
    if (frame >= 2147483648.0f) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(frame);
}

void applyMotion(Skeleton& skeleton, int32_t motionIndex, float phase) {
    if (motionIndex < 0 || motionIndex >= skeleton.motionCount()) {
        return;
    }
    const Motion& motion = skeleton.motions[motionIndex];
    const int32_t frame = phaseToFrame(phase, motion.endFrame);
    for (const QuaternionTrack& track : motion.quaternionTracks) {
        if (!validBone(skeleton, track.boneIndex) || skeleton.bones[track.boneIndex].isLink()) {
            continue;
        }
        skeleton.bones[track.boneIndex].localRotation =
            sampleTrack(track, frame, motion.loop, motion.endFrame);
    }
    // Every root takes the first position track; without one they stay put.
    if (skeleton.rootBones.empty() || motion.vectorTracks.empty()) {
        return;
    }
    const VectorTrack& track = motion.vectorTracks.front();
    for (int32_t root : skeleton.rootBones) {
        if (validBone(skeleton, root)) {
            skeleton.bones[root].localPosition = sampleTrack(track, frame, motion.loop, motion.endFrame);
        }
    }
}

WorldTransform computeWorldTransform(const Skeleton& skeleton, int32_t boneIndex) {
    std::vector<int32_t> chain;
    collectChain(skeleton, boneIndex, chain);
    if (chain.empty()) {
        return {};
    }
    WorldTransform world = rootTransform(skeleton.bones[chain.back()]);
    for (std::size_t k = chain.size() - 1; k-- > 0;) {
        world = compose(world, skeleton.bones[chain[k]]);
    }
    return world;
}

Vec3 skinVertex(const SkinningPose& scratch, const Vec3& v, const VertexInfluence& influence) {
    const std::size_t boneCount = scratch.worldPositions.size();
    const std::size_t count = std::min(influence.boneIndices.size(), influence.weights.size());
    Vec3 sum(0.0f, 0.0f, 0.0f);
    for (std::size_t j = 0; j < count; ++j) {
        const int32_t b = influence.boneIndices[j];
        if (b < 0 || static_cast<std::size_t>(b) >= boneCount) {
            continue;
        }
        // Into the bone's rest frame, then out along its current pose.
        const Vec3 local = conjugateRotate(scratch.restInverses[b], v - scratch.restHeads[b]);
        const Vec3 rotated = conjugateRotate(scratch.worldRotations[b], local);
        sum = sum + (rotated + scratch.worldPositions[b]) * influence.weights[j];
    }
    return sum;
}

namespace {

// Faces and groups are read-only once the model is loaded, so a posed copy
// that already holds as many of each as its source holds the same.
bool sameTopology(const ModelObject& posed, const ModelObject& source) {
    if (posed.faces.size() != source.faces.size() ||
        posed.triangleGroups.size() != source.triangleGroups.size()) {
        return false;
    }
    for (std::size_t g = 0; g < source.triangleGroups.size(); ++g) {
        if (posed.triangleGroups[g].size() != source.triangleGroups[g].size()) {
            return false;
        }
    }
    return true;
}

}  // namespace

void skinObject(Model& model, const SkinningPose& pose, int32_t objectIndex, ModelObject& posed) {
    if (objectIndex < 0 || static_cast<std::size_t>(objectIndex) >= model.objects.size()) {
        return;
    }
    const ModelObject& source = model.objects[objectIndex];
    if (source.vertexInfluences.empty()) {
        return;
    }
    if (posed.name != source.name || !sameTopology(posed, source)) {
        posed.name = source.name;
        posed.faces = source.faces;
        posed.triangleGroups = source.triangleGroups;
        posed.indexedGroups = source.indexedGroups;
    }
    posed.vertices.resize(source.vertices.size());
    const VertexInfluence none;
    for (std::size_t i = 0; i < source.vertices.size(); ++i) {
        const VertexInfluence& influence =
            i < source.vertexInfluences.size() ? source.vertexInfluences[i] : none;
        posed.vertices[i] = skinVertex(pose, source.vertices[i], influence);
    }
    posed.computeNormals();
}

void skinCharacter(Model& model, Skeleton& skeleton) {
    storeRestPose(skeleton, skeleton.pose);
    storeWorldTransforms(skeleton, skeleton.pose);
    model.posedObjects.resize(model.skinnedObjects.size());
    for (std::size_t k = 0; k < model.skinnedObjects.size(); ++k) {
        skinObject(model, skeleton.pose, model.skinnedObjects[k], model.posedObjects[k]);
    }
}

void animateCharacter(Character* character, int32_t motionIndex, float phase) {
    if (character == nullptr || !character->model || !character->skeleton) {
        return;
    }
    Skeleton& skeleton = *character->skeleton;
    if (motionIndex < 0 || motionIndex >= skeleton.motionCount()) {
        return;
    }
    applyMotion(skeleton, motionIndex, phase);
    skinCharacter(*character->model, skeleton);
}

}  // namespace tavo
