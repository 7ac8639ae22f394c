#include "animation/skinning.h"

#include <algorithm>
#include <cstddef>

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

// Into the joint's rest frame, then out along its current pose.
inline Vec3 skinRigid(const InverseBind& bind, const Vec3& position, const Quaternion& rotation,
                      const Vec3& v) {
    const Vec3 local = conjugateRotate(bind.rotation, v - bind.origin);
    return conjugateRotate(rotation, local) + position;
}

// Faces and groups are read-only once the model is loaded, so a skinned
// copy that already holds as many of each as its source holds the same.
bool sameTopology(const ModelObject& skinned, const ModelObject& source) {
    if (skinned.faces.size() != source.faces.size() ||
        skinned.triangleGroups.size() != source.triangleGroups.size()) {
        return false;
    }
    for (size_t g = 0; g < source.triangleGroups.size(); ++g) {
        if (skinned.triangleGroups[g].size() != source.triangleGroups[g].size()) {
            return false;
        }
    }
    return true;
}

void copyTopology(const ModelObject& source, ModelObject& skinned) {
    if (skinned.name != source.name || !sameTopology(skinned, source)) {
        skinned.name = source.name;
        skinned.faces = source.faces;
        skinned.triangleGroups = source.triangleGroups;
        skinned.indexedGroups = source.indexedGroups;
        skinned.vertexColors = source.vertexColors;
        skinned.visible = source.visible;
    }
}

// The source's vertices, moved by the morph targets at their weights.
void placeMorphed(const ModelObject& source, const std::vector<float>* weights, std::vector<Vec3>& out) {
    out.assign(source.vertices.begin(), source.vertices.end());
    if (weights == nullptr) {
        return;
    }
    const size_t targets = std::min(weights->size(), source.morphTargets.size());
    for (size_t t = 0; t < targets; ++t) {
        const float weight = (*weights)[t];
        if (weight == 0.0f) {
            continue;
        }
        const MorphTarget& target = source.morphTargets[t];
        const size_t moved = std::min(target.vertices.size(), target.positionDeltas.size());
        for (size_t i = 0; i < moved; ++i) {
            const size_t vertex = target.vertices[i];
            if (vertex < out.size()) {
                out[vertex] = out[vertex] + target.positionDeltas[i] * weight;
            }
        }
    }
}

void skinObject(const Model& model, const Rig& rig, int32_t objectIndex, bool withNormals,
                CharacterPose& pose, ModelObject& skinned) {
    if (objectIndex < 0 || static_cast<size_t>(objectIndex) >= model.objects.size()) {
        return;
    }
    const ModelObject& source = model.objects[static_cast<size_t>(objectIndex)];
    if (source.vertexInfluences.empty()) {
        return;
    }
    copyTopology(source, skinned);
    const std::vector<float>* weights =
        static_cast<size_t>(objectIndex) < pose.morphWeights.size() &&
                !source.morphTargets.empty()
            ? &pose.morphWeights[static_cast<size_t>(objectIndex)]
            : nullptr;
    placeMorphed(source, weights, skinned.vertices);
    const VertexInfluence none;
    for (size_t i = 0; i < skinned.vertices.size(); ++i) {
        const VertexInfluence& influence =
            i < source.vertexInfluences.size() ? source.vertexInfluences[i] : none;
        skinned.vertices[i] = skinVertex(rig, pose.model, skinned.vertices[i], influence);
    }
    if (withNormals) {
        skinned.computeNormals();
    }
}

}  // namespace

Vec3 skinVertex(const Rig& rig, const ModelPose& pose, const Vec3& v, const VertexInfluence& influence) {
    const size_t jointCount = rig.joints.size();
    const size_t count = std::min(influence.boneIndices.size(), influence.weights.size());
    Vec3 sum(0.0f, 0.0f, 0.0f);
    for (size_t j = 0; j < count; ++j) {
        const int32_t b = influence.boneIndices[j];
        if (b < 0 || static_cast<size_t>(b) >= jointCount) {
            continue;
        }
        const size_t joint = static_cast<size_t>(b);
        const InverseBind& bind = rig.joints[joint].inverseBind;
        Vec3 placed;
        if (rig.rigid) {
            placed = skinRigid(bind, pose.positions[joint], pose.rotations[joint], v);
        } else if (joint < pose.skinMatrices.size()) {
            placed = pose.skinMatrices[joint].transformPoint(v);
        }
        sum = sum + placed * influence.weights[j];
    }
    return sum;
}

bool skinObjects(const Model& model, const Rig& rig, bool withNormals, CharacterPose& pose) {
    if (!pose.fits(rig) || pose.model.positions.size() != rig.joints.size()) {
        return false;
    }
    if (!rig.rigid) {
        // Model matrix times inverse bind, once a joint, not once an influence.
        pose.model.skinMatrices.resize(rig.joints.size());
        for (size_t joint = 0; joint < rig.joints.size(); ++joint) {
            pose.model.skinMatrices[joint] =
                multiply(pose.model.matrices[joint], rig.joints[joint].inverseBind.matrix);
        }
    }
    pose.skinned.resize(model.skinnedObjects.size());
    for (size_t k = 0; k < model.skinnedObjects.size(); ++k) {
        skinObject(model, rig, model.skinnedObjects[k], withNormals, pose, pose.skinned[k]);
    }
    return true;
}

}  // namespace tavo
