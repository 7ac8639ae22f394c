#pragma once

#include <string>
#include <vector>

#include "character_rig.h"

namespace tavo::chara {

// One key of a motion: how far the figure is lifted or shifted, and for each
// bone a turn expressed in the model's rest axes (identity where unchanged).
struct MotionKey {
    int32_t frame = 0;
    Vec3 offset;
    std::vector<Quaternion> turns;  // indexed like the rig's bones
};

struct MotionDesign {
    std::string name;
    int32_t endFrame = 0;
    int32_t loop = 0;
    std::vector<MotionKey> keys;
};

// The five motions: a hop, a lantern twirl, a looping dance, the lantern sway
// that the program plays, and a pose.
std::vector<MotionDesign> buildMotions(const Rig& rig);

// The rotation key that a bone's track stores for a turn: the bone's whole
// rotation relative to its parent, rest rotation included.
Quaternion boneKey(const RigBone& bone, const Quaternion& turn);

// The motion set as "Mikoto Motion Ver 2" text with CR LF line ends.
std::string writeMkm(const Rig& rig, const std::vector<MotionDesign>& motions);

}  // namespace tavo::chara
