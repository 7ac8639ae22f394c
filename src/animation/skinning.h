#pragma once

#include <vector>

#include "animation/character_pose.h"
#include "character/rig.h"
#include "model/model.h"

namespace tavo {

// Skins every object of model.skinnedObjects into pose.skinned, from
// pose.model (computeModelPose): each vertex is first moved by the object's
// morph targets at pose.morphWeights, then blended over its joints (linear
// blend skinning, its weights as given). A vertex whose influences name no
// joint of the rig stays at the origin, as its blend of nothing. Normals are
// made afresh from the skinned faces only when withNormals is set (lighting
// or an outline reads them). Faces and groups are copied into a skinned
// object once; steady frames allocate nothing. False, and nothing written,
// when the pose was not made for this rig.
bool skinObjects(const Model& model, const Rig& rig, bool withNormals, CharacterPose& pose);

// One vertex blended over its joints (exposed for tests).
Vec3 skinVertex(const Rig& rig, const ModelPose& pose, const Vec3& v, const VertexInfluence& influence);

}  // namespace tavo
