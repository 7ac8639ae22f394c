#include "skeleton/motion_binding.h"

#include "animation/curve_evaluation.h"
#include "skeleton/skeleton.h"

namespace tavo {

void bindTracks(Motion& motion, const Skeleton& skeleton) {
    for (QuaternionTrack& track : motion.quaternionTracks) {
        track.boneIndex = -1;
        for (size_t b = 0; b < skeleton.bones.size(); ++b) {
            if (skeleton.bones[b].name == track.name) {
                track.boneIndex = static_cast<int32_t>(b);
                break;
            }
        }
    }
}

void attachMotions(Skeleton& skeleton, std::vector<Motion>&& motions) {
    computeControlPoints(motions);
    for (Motion& motion : motions) {
        bindTracks(motion, skeleton);
        skeleton.motions.push_back(std::move(motion));
    }
    motions.clear();
}

}  // namespace tavo
