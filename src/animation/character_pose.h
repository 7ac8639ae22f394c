#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "animation/spring_simulation.h"
#include "character/rig.h"
#include "math/matrix4.h"
#include "math/quaternion.h"
#include "math/vec3.h"
#include "model/model.h"

namespace tavo {

struct CharacterData;

// Every joint's transform relative to its parent, indexed like the rig.
struct LocalPose {
    std::vector<JointTransform> joints;
};

// Every joint's transform in model space, indexed like the rig: position and
// rotation for a rigid rig, the matrix (position and rotation left at rest)
// for one with scales or general binds.
struct ModelPose {
    std::vector<Vec3> positions;
    std::vector<Quaternion> rotations;
    std::vector<Matrix4> matrices;
    // Model matrix times inverse bind, for skinning with general binds.
    std::vector<Matrix4> skinMatrices;
};

// The pose of one running character: what the per-frame jobs read and
// write. Made for one character's data by reset(), it keeps its storage from
// frame to frame, so steady frames allocate nothing.
struct CharacterPose {
    LocalPose local;
    ModelPose model;
    // The current weight of every morph target, object by object.
    std::vector<std::vector<float>> morphWeights;
    // The weight of each of the character's expressions (0 to 1), blended
    // into the morph weights before skinning.
    std::vector<float> expressionWeights;
    // The spring bones' swing, kept from frame to frame.
    SpringState springs;
    // Where the eyes look, eased from frame to frame (degrees: towards the
    // figure's left, up).
    float gazeYaw = 0.0f;
    float gazePitch = 0.0f;
    // The head's local rotation before the gaze turned it last frame, and
    // what the gaze set: a clip that does not drive the head leaves the
    // latter, and the gaze then starts from the former again.
    Quaternion headBeforeGaze;
    Quaternion headSetByGaze;
    bool gazeTurnedHead = false;
    // The skinned objects in this pose, parallel to model.skinnedObjects.
    std::vector<ModelObject> skinned;
    // Scratch of the model-space job: joints already composed, and the
    // ancestors that wait for theirs.
    std::vector<uint8_t> composed;
    std::vector<int32_t> chain;

    // The rest pose of data's rig, its morph targets at their default
    // weights, no skinned objects yet.
    void reset(const CharacterData& data);
    // True when the pose was made for a rig of this many joints.
    bool fits(const Rig& rig) const { return local.joints.size() == rig.joints.size(); }
};

}  // namespace tavo
