#include "animation/rest_frames.h"

#include <cstdint>

namespace tavo {

void composeFrames(const Rig& rig, const std::vector<JointTransform>& locals, JointFrames& out) {
    const size_t count = rig.joints.size();
    out.positions.assign(count, Vec3());
    out.rotations.assign(count, Quaternion());
    out.scales.assign(count, 1.0f);
    std::vector<uint8_t> done(count, 0);
    std::vector<int32_t> chain;
    for (size_t j = 0; j < count && j < locals.size(); ++j) {
        chain.clear();
        for (int32_t at = static_cast<int32_t>(j); rig.validJoint(at) && done[static_cast<size_t>(at)] == 0 && chain.size() <= count;
             at = rig.joints[static_cast<size_t>(at)].parent) {
            chain.push_back(at);
        }
        for (size_t k = chain.size(); k-- > 0;) {
            const size_t joint = static_cast<size_t>(chain[k]);
            const JointTransform& local = locals[joint];
            const int32_t parent = rig.joints[joint].parent;
            if (rig.validJoint(parent) && done[static_cast<size_t>(parent)] != 0) {
                const size_t p = static_cast<size_t>(parent);
                out.positions[joint] = out.positions[p] + rotateByUnit(out.rotations[p], local.translation * out.scales[p]);
                out.rotations[joint] = multiplyPrecise(out.rotations[p], local.rotation);
                out.scales[joint] = out.scales[p] * local.scale.x;
            } else {
                out.positions[joint] = local.translation;
                out.rotations[joint] = local.rotation;
                out.scales[joint] = local.scale.x;
            }
            done[joint] = 1;
        }
    }
}

JointFrames restFrames(const Rig& rig) {
    std::vector<JointTransform> locals;
    locals.reserve(rig.joints.size());
    for (const Joint& joint : rig.joints) locals.push_back(joint.rest);
    JointFrames frames;
    composeFrames(rig, locals, frames);
    return frames;
}

}  // namespace tavo
