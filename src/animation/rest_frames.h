#pragma once

#include <vector>

#include "character/rig.h"
#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

// Every joint's place in model space for given local transforms, composed
// without matrices: position, rotation and the product of the scales (taken
// as uniform, their x). For the jobs that work at load time (retargeting)
// or on a few joints; parents may come after their children, and a chain
// that does not end within as many steps as there are joints stops there.
struct JointFrames {
    std::vector<Vec3> positions;
    std::vector<Quaternion> rotations;
    std::vector<float> scales;
};

void composeFrames(const Rig& rig, const std::vector<JointTransform>& locals, JointFrames& out);
// The rig's rest pose.
JointFrames restFrames(const Rig& rig);

}  // namespace tavo
