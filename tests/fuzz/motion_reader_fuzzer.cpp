// Arbitrary bytes as a Mikoto motion set, read against the skeleton of a
// small fixed rig (seeds/rig.mqo) and then played: every motion is applied
// at several phases and the character is skinned. Whatever the reader
// accepts must be consistent: only a wrong header is refused, key arrays are
// as long as their count, rotation keys are unit length and hemisphere
// aligned, tracks of two or more keys have control points, and bone indices
// name a bone.

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "animation/posing.h"
#include "formats/metasequoia/metasequoia_format.h"
#include "formats/metasequoia/mqo_reader.h"
#include "formats/metasequoia/motion_reader.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"
#include "skeleton/motion_binding.h"
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

bool finite(const tavo::Quaternion& q) {
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}

// Stored keys have unit length, and no two neighbours lie in opposite
// hemispheres (keys that overflowed to infinity are left out).
void checkKeys(const std::vector<tavo::Quaternion>& keys) {
    for (size_t k = 0; k < keys.size(); ++k) {
        const tavo::Quaternion& q = keys[k];
        if (!finite(q)) {
            continue;
        }
        const double length = std::sqrt(double(q.x) * q.x + double(q.y) * q.y +
                                        double(q.z) * q.z + double(q.w) * q.w);
        require(std::fabs(length - 1.0) < 1e-4);
        if (k > 0 && finite(keys[k - 1])) {
            const tavo::Quaternion& p = keys[k - 1];
            require(double(p.x) * q.x + double(p.y) * q.y + double(p.z) * q.z +
                        double(p.w) * q.w >= -1e-6);
        }
    }
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
        checkKeys(track.keys);
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
    // Only a wrong header is refused; a text that ends early keeps the
    // motions completed before its end.
    const bool headerMatches = size >= 19 && memcmp(data, "Mikoto Motion Ver 2", 19) == 0;
    std::vector<tavo::Motion> motions;
    const bool read = reader.readMotionSet(&stream, motions);
    tavo::attachMotions(skeleton, std::move(motions));
    require(read == headerMatches);
    if (!read) {
        require(skeleton.motions.empty());
        return 0;
    }

    static const float kPhases[] = {0.0f, 0.3f, 0.5f, 0.999f, 1.0f, -0.5f, 2.0f};
    const int32_t played = skeleton.motionCount() < 8 ? skeleton.motionCount() : 8;
    for (int32_t index = 0; index < skeleton.motionCount(); ++index) {
        checkMotion(skeleton.motions[index], skeleton);
    }
    tavo::CharacterData records;
    records.model = fixed.model;
    records.rig = tavo::rigOf(skeleton);
    for (int32_t index = 0; index < played; ++index) {
        records.clips.push_back(tavo::clipOf(skeleton.motions[index], skeleton));
    }
    tavo::CharacterPose pose;
    pose.reset(records);
    for (int32_t index = 0; index < played; ++index) {
        for (float phase : kPhases) {
            require(tavo::poseCharacter(records, index, phase, true, pose));
        }
    }
    return 0;
}
