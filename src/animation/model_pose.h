#pragma once

#include "animation/character_pose.h"
#include "character/rig.h"

namespace tavo {

// Turns pose.local into pose.model: each joint's transform composed with its
// parent's, every joint once (a joint whose parent chain does not end within
// as many steps as there are joints counts as a root where the walk stops).
// A rigid rig composes positions and rotations:
//   position = parent position + parent rotation (local translation)
//   rotation = parent rotation * local rotation (in double precision)
// any other composes matrices. False, and nothing written, when the pose was
// not made for this rig. Allocates nothing once the pose has been sized.
bool computeModelPose(const Rig& rig, CharacterPose& pose);

}  // namespace tavo
