// Arbitrary bytes as a Mikoto motion set, read against the skeleton of a
// small fixed rig (seeds/rig.mqo) and then played: every motion is applied
// at several phases and the character is skinned. Whatever the reader
// accepts must be consistent: key arrays as long as their count, control
// points for every track of two or more keys, bone indices that name a bone.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "animation/playback.h"
#include "model/mqo_reader.h"
#include "motion/motion_reader.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"
#include "skeleton/skeleton.h"

namespace {

void require(bool condition) {
    if (!condition) {
        abort();
    }
}

struct FixedRig {
    tavo::TextureManager textures;
    tavo::Model model;
    tavo::Skeleton skeleton;

    FixedRig() {
        tavo::MemoryStream stream;
        tavo::MqoReader reader;
        if (stream.loadFile(TAVO_FUZZ_SEEDS "/rig.mqo") != 1 ||
            !reader.readModel(&stream, textures, model, 1.0f) ||
            tavo::buildSkeleton(model, skeleton) != 0 || skeleton.boneCount() == 0) {
            fprintf(stderr, "cannot build the rig from %s\n", TAVO_FUZZ_SEEDS "/rig.mqo");
            abort();
        }
    }
};

FixedRig& rig() {
    static FixedRig* instance = new FixedRig;
    return *instance;
}

void checkMotion(const tavo::Motion& motion, const tavo::Skeleton& skeleton) {
    for (const tavo::VectorTrack& track : motion.vectorTracks) {
        require(track.keyCount >= 0);
        require(track.frames.size() == static_cast<size_t>(track.keyCount));
        require(track.values.size() == static_cast<size_t>(track.keyCount));
    }
    for (const tavo::QuaternionTrack& track : motion.quaternionTracks) {
        require(track.keyCount >= 0);
        require(track.frames.size() == static_cast<size_t>(track.keyCount));
        require(track.keys.size() == static_cast<size_t>(track.keyCount));
        if (track.keyCount >= 2) {
            require(track.controlPoints.size() == static_cast<size_t>(track.keyCount));
        }
        require(track.boneIndex >= -1 && track.boneIndex < skeleton.boneCount());
        if (track.boneIndex >= 0) {
            require(skeleton.bones[track.boneIndex].name == track.name);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    rig();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) {
        return 0;
    }
    FixedRig& fixed = rig();
    tavo::Skeleton skeleton = fixed.skeleton;  // fresh bones, no motions
    tavo::MemoryStream stream;
    stream.attach(data, static_cast<int32_t>(size));
    tavo::MotionReader reader;
    if (!reader.readMotionSet(&stream, skeleton)) {
        require(skeleton.motions.empty());
        return 0;
    }

    static const float kPhases[] = {0.0f, 0.3f, 0.5f, 0.999f, 1.0f, -0.5f, 2.0f};
    const int32_t played = skeleton.motionCount() < 8 ? skeleton.motionCount() : 8;
    for (int32_t index = 0; index < skeleton.motionCount(); ++index) {
        checkMotion(skeleton.motions[index], skeleton);
    }
    for (int32_t index = 0; index < played; ++index) {
        for (float phase : kPhases) {
            tavo::applyMotion(skeleton, index, phase);
        }
        tavo::skinCharacter(fixed.model, skeleton);
    }
    fixed.model.posedObjects.clear();
    return 0;
}
