// Posing cost per frame (sample, world transforms, skinning, normals) and
// skeleton build cost at load time, on a rig about the size of the mascot:
// a chain of 20 bones carrying a skinned tube of 1,600 vertices whose anchor
// boxes overlap, so that a third of the vertices blend two bones.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "animation/curve_evaluation.h"
#include "animation/posing.h"
#include "formats/metasequoia/metasequoia_format.h"
#include "model/model.h"
#include "formats/metasequoia/mqo_reader.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"
#include "skeleton/character.h"
#include "skeleton/skeleton.h"

namespace tavo {
namespace {

constexpr int32_t kBones = 20;
constexpr float kBoneLength = 10.0f;
constexpr int32_t kRings = 80;
constexpr int32_t kSegments = 20;

void addQuad(ModelObject& object, int32_t a, int32_t b, int32_t c, int32_t d, int32_t material) {
    Face face;
    face.indices = {a, b, c, d};
    face.material = material;
    object.faces.push_back(face);
}

ModelObject boneObject() {
    ModelObject bone;
    bone.name = "bone";
    for (int32_t k = 0; k <= kBones; ++k) {
        bone.vertices.push_back({0.0f, kBoneLength * static_cast<float>(k), 0.0f});
    }
    for (int32_t k = 0; k < kBones; ++k) {
        bone.vertices.push_back({0.0f, kBoneLength * static_cast<float>(k), 1.0f});
        Face face;
        face.indices = {k, kBones + 1 + k, k + 1};
        face.material = k;
        bone.faces.push_back(face);
    }
    bone.buildGroups();
    bone.computeNormals();
    return bone;
}

ModelObject skinnedTube() {
    ModelObject tube;
    tube.name = "sdef:tube";
    tube.visible = 15;
    for (int32_t ring = 0; ring < kRings; ++ring) {
        const float y = 0.3f + 2.5f * static_cast<float>(ring);
        for (int32_t s = 0; s < kSegments; ++s) {
            const float angle = 6.2831853f * static_cast<float>(s) / kSegments;
            tube.vertices.push_back({3.0f * std::cos(angle), y, 3.0f * std::sin(angle)});
        }
    }
    for (int32_t ring = 0; ring + 1 < kRings; ++ring) {
        for (int32_t s = 0; s < kSegments; ++s) {
            const int32_t a = ring * kSegments + s;
            const int32_t b = ring * kSegments + (s + 1) % kSegments;
            addQuad(tube, a, b, b + kSegments, a + kSegments, kBones);
        }
    }
    tube.buildGroups();
    tube.computeNormals();
    return tube;
}

// One box per bone, reaching 2 units below its head and 2 above its tip.
ModelObject anchorBoxes() {
    ModelObject anchor;
    anchor.name = "anchor|tube";
    const int32_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 4, 6, 2},
                                 {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    for (int32_t k = 0; k < kBones; ++k) {
        const int32_t base = static_cast<int32_t>(anchor.vertices.size());
        const float low = kBoneLength * static_cast<float>(k) - 2.0f;
        const float high = kBoneLength * static_cast<float>(k + 1) + 2.0f;
        for (int32_t c = 0; c < 8; ++c) {
            anchor.vertices.push_back(
                {(c & 1) ? 5.0f : -5.0f, (c & 2) ? high : low, (c & 4) ? 5.0f : -5.0f});
        }
        for (const auto& q : quads) {
            addQuad(anchor, base + q[0], base + q[1], base + q[2], base + q[3], k);
        }
    }
    anchor.buildGroups();
    anchor.computeNormals();
    return anchor;
}

Model rigModel() {
    Model model;
    for (int32_t k = 0; k <= kBones; ++k) {
        Material material;
        material.name = "b" + std::to_string(k);
        model.materials.push_back(material);
    }
    model.objects = {boneObject(), skinnedTube(), anchorBoxes()};
    return model;
}

// Every bone swings about its own x axis over five keys; the root bobs.
Motion swingMotion(const Skeleton& skeleton) {
    Motion motion;
    motion.endFrame = 48;
    motion.loop = 1;
    VectorTrack root;
    root.frames = {0, 12, 24, 36};
    root.values = {{0, 0, 0}, {0, 1, 0}, {0, 0, 0}, {0, -1, 0}};
    root.keyCount = 4;
    motion.vectorTracks.push_back(root);
    for (int32_t i = 0; i < skeleton.boneCount(); ++i) {
        QuaternionTrack track;
        track.name = skeleton.bones[i].name;
        track.boneIndex = i;
        for (int32_t key = 0; key < 5; ++key) {
            const float angle = 0.2f * std::sin(static_cast<float>(key) * 1.3f);
            const Quaternion swing(std::sin(angle), 0.0f, 0.0f, std::cos(angle));
            track.frames.push_back(key * 12);
            track.keys.push_back(multiplyPrecise(skeleton.bones[i].localRotation, swing));
        }
        track.keyCount = 5;
        computeControlPoints(track);
        motion.quaternionTracks.push_back(track);
    }
    return motion;
}

Character rigCharacter() {
    Character character;
    character.model = std::make_unique<Model>(rigModel());
    character.skeleton = std::make_unique<Skeleton>();
    buildSkeleton(*character.model, *character.skeleton);
    character.skeleton->motions.push_back(swingMotion(*character.skeleton));
    return character;
}

// Argument 1: the normals are made afresh too, as lighting and outlines need.
void BM_AnimateCharacter(benchmark::State& state) {
    const CharacterData character = characterDataOf(rigCharacter());
    const bool withNormals = state.range(0) != 0;
    CharacterPose pose;
    pose.reset(character);
    float phase = 0.0f;
    for (auto _ : state) {
        poseCharacter(character, 0, phase, withNormals, pose);
        benchmark::DoNotOptimize(pose.skinned.data());
        phase += 0.013f;
        if (phase >= 1.0f) {
            phase -= 1.0f;
        }
    }
    const ModelObject& tube = character.model.objects[1];
    int64_t blended = 0;
    for (const VertexInfluence& influence : tube.vertexInfluences) {
        blended += influence.weights.size() > 1 ? 1 : 0;
    }
    state.counters["vertices"] = static_cast<double>(tube.vertices.size());
    state.counters["twoBoneVertices"] = static_cast<double>(blended);
}
BENCHMARK(BM_AnimateCharacter)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_BuildSkeletonWithWeights(benchmark::State& state) {
    const Model source = rigModel();
    for (auto _ : state) {
        state.PauseTiming();
        Model model = source;
        Skeleton skeleton;
        state.ResumeTiming();
        buildSkeleton(model, skeleton);
        benchmark::DoNotOptimize(model.objects[1].vertexInfluences.data());
    }
}
BENCHMARK(BM_BuildSkeletonWithWeights)->Unit(benchmark::kMillisecond);

// The same build on the embedded character (data/tavo.mqo), read once
// without textures.
void BM_BuildEmbeddedSkeleton(benchmark::State& state) {
    MemoryStream stream;
    TextureManager textures;
    Model source;
    const std::string path = std::string(TAVO_SOURCE_DIR) + "/data/tavo.mqo";
    if (!stream.loadFile(path.c_str()) || !MqoReader().readModel(&stream, textures, source, 1.0f)) {
        state.SkipWithError("data/tavo.mqo could not be read");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        Model model = source;
        Skeleton skeleton;
        state.ResumeTiming();
        buildSkeleton(model, skeleton);
        benchmark::DoNotOptimize(skeleton.bones.data());
    }
}
BENCHMARK(BM_BuildEmbeddedSkeleton)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavo
