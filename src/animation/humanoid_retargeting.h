#pragma once

#include <string>

#include "character/character_data.h"
#include "character/humanoid_motion.h"

namespace tavo {

// Keys a second of a retargeted clip.
constexpr float kRetargetKeysPerSecond = 30.0f;

// Makes a humanoid motion a clip of an avatar's own rig, whatever rest
// rotations either skeleton's bones carry:
// - each humanoid bone of the motion turns, in model space, by its turn
//   from its rest (the normalised pose's rotation: rest rotations are the
//   identity in world axes); a bone the motion lacks turns with its
//   humanoid parent;
// - the avatar's bone takes that turn on top of its own rest, so
//   local = (parent's world)^-1 * turn * (its rest world);
// - the hips move from their rest by the motion's movement, scaled by the
//   ratio of the avatar's hips height to the motion's;
// - expression weights go to the avatar's expressions of the same names.
// The clip is keyed kRetargetKeysPerSecond times a second, linearly, and
// loops. False with the reason when the avatar or the motion has no hips.
bool retargetHumanoidMotion(const HumanoidMotion& motion, const CharacterData& avatar, Clip& clip, std::string& reason);

}  // namespace tavo
