#pragma once

#include <string>
#include <vector>

#include "character_rig.h"
#include "motion_pose.h"

namespace tavo::chara {

// The five motions: a hop, a lantern twirl, a looping dance, the lantern sway
// that the program plays, and a pose.
std::vector<MotionDesign> buildMotions(const Rig& rig);

// The rotation key that a bone's track stores for a turn: the bone's whole
// rotation relative to its parent, rest rotation included.
Quaternion boneKey(const RigBone& bone, const Quaternion& turn);

// The motion set as "Mikoto Motion Ver 2" text with CR LF line ends.
std::string writeMkm(const Rig& rig, const std::vector<MotionDesign>& motions);

}  // namespace tavo::chara
