// Prints what an avatar the size of a VRoid Studio export costs against the
// embedded character, in one run: about 40,000 triangles, 150 joints, 50
// morph targets and ten 2048 x 2048 JPEG textures, generated here. Load time
// (wall clock), resident memory above the embedded character's, and CPU time
// per frame with the software GL at 400 x 360, posed, drawn, finished and
// colour keyed as the mascot's frame step does. Run by
// scripts/measure-avatar.sh.

#include <time.h>
#include <unistd.h>

#include <malloc.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "avatar/avatar.h"
#include "animation/posing.h"
#include "avatar/gltf_writer.h"
#include "character/character_data.h"
#include "render/frame_renderer.h"
#include "render/offscreen_gl_surface.h"
#include "render/program_objects.h"

namespace {

using tavo::chara::GltfWriter;

constexpr int kJoints = 150;
constexpr int kSegments = 12;  // corners round each tube
constexpr int kRings = 12;     // rings along each tube: 11 bands of 24 triangles, 264 a joint
constexpr int kMorphs = 50;
constexpr int kTextures = 10;
constexpr int kTextureSide = 2048;

double seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

// A chain of kJoints joints, 1 cm apart upwards, each wrapped in a short
// tube skinned to it and its parent; ten materials, each with a texture.
std::string writeLargeAvatar() {
    GltfWriter writer;
    nlohmann::json& json = writer.json();
    std::vector<float> positions, normals, uvs, weights, binds;
    std::vector<uint16_t> joints;
    std::vector<std::vector<uint32_t>> indices(kTextures);
    for (int j = 0; j < kJoints; ++j) {
        const float base = 0.01f * static_cast<float>(j);
        nlohmann::json node = {{"name", "joint" + std::to_string(j)}, {"translation", {0.0, j == 0 ? 0.0 : 0.01, 0.0}}};
        if (j + 1 < kJoints) node["children"] = {j + 1};
        json["nodes"].push_back(node);
        binds.insert(binds.end(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -base, 0, 1});
        const uint32_t first = static_cast<uint32_t>(positions.size() / 3);
        for (int r = 0; r < kRings; ++r) {
            for (int s = 0; s < kSegments; ++s) {
                const float a = 6.2831853f * static_cast<float>(s) / kSegments;
                const float radius = 0.1f + 0.02f * std::sin(static_cast<float>(j) * 0.3f);
                positions.insert(positions.end(), {radius * std::sin(a), base + 0.01f * static_cast<float>(r) / kRings, radius * std::cos(a)});
                normals.insert(normals.end(), {std::sin(a), 0.0f, std::cos(a)});
                uvs.insert(uvs.end(), {static_cast<float>(s) / kSegments, static_cast<float>(r) / kRings});
                const float w = static_cast<float>(r) / kRings;
                joints.insert(joints.end(), {static_cast<uint16_t>(j), static_cast<uint16_t>(j > 0 ? j - 1 : 0), 0, 0});
                weights.insert(weights.end(), {j > 0 ? 0.5f + 0.5f * w : 1.0f, j > 0 ? 0.5f - 0.5f * w : 0.0f, 0.0f, 0.0f});
            }
        }
        std::vector<uint32_t>& list = indices[static_cast<size_t>(j % kTextures)];
        for (int r = 0; r + 1 < kRings; ++r) {
            for (int s = 0; s < kSegments; ++s) {
                const uint32_t a = first + static_cast<uint32_t>(r * kSegments + s);
                const uint32_t b = first + static_cast<uint32_t>(r * kSegments + (s + 1) % kSegments);
                list.insert(list.end(), {a, b, b + kSegments, a, b + kSegments, a + kSegments});
            }
        }
    }
    // Positions and the rest are one set of vertices shared by ten primitives.
    const nlohmann::json attributes = {{"POSITION", writer.addFloats(positions, "VEC3", true)},
                                       {"NORMAL", writer.addFloats(normals, "VEC3")},
                                       {"TEXCOORD_0", writer.addFloats(uvs, "VEC2")},
                                       {"JOINTS_0", writer.addJoints(joints)},
                                       {"WEIGHTS_0", writer.addFloats(weights, "VEC4")}};
    nlohmann::json targets = nlohmann::json::array();
    const size_t vertexCount = positions.size() / 3;
    for (int m = 0; m < kMorphs; ++m) {
        std::vector<float> deltas(positions.size(), 0.0f);
        for (size_t v = static_cast<size_t>(m) * 400; v < vertexCount && v < static_cast<size_t>(m) * 400 + 400; ++v) deltas[v * 3 + 2] = 0.01f;
        targets.push_back({{"POSITION", writer.addFloats(deltas, "VEC3", true)}});
    }
    nlohmann::json mesh = {{"name", "body"}, {"primitives", nlohmann::json::array()}, {"weights", std::vector<double>(kMorphs, 0.0)}};
    std::vector<uint8_t> rgba(static_cast<size_t>(kTextureSide) * kTextureSide * 4);
    for (int t = 0; t < kTextures; ++t) {
        for (size_t i = 0; i < rgba.size(); i += 4) {
            const size_t pixel = i / 4;
            rgba[i] = static_cast<uint8_t>((pixel % kTextureSide) * 200 / kTextureSide + 20);
            rgba[i + 1] = static_cast<uint8_t>((pixel / kTextureSide) * 200 / kTextureSide + 20);
            rgba[i + 2] = static_cast<uint8_t>(40 + 20 * t);
            rgba[i + 3] = 255;
        }
        writer.addImage(tavo::chara::avatar::encodeJpeg(kTextureSide, kTextureSide, rgba, 85), "image/jpeg", "texture" + std::to_string(t));
        json["textures"].push_back({{"source", t}});
        json["materials"].push_back({{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", t}}}}}});
        mesh["primitives"].push_back({{"attributes", attributes}, {"indices", writer.addIndices(indices[static_cast<size_t>(t)])},
                                      {"material", t}, {"targets", targets}});
    }
    json["meshes"] = {mesh};
    std::vector<int> jointNodes;
    for (int j = 0; j < kJoints; ++j) jointNodes.push_back(j);
    json["skins"] = {{{"joints", jointNodes}, {"inverseBindMatrices", writer.addFloats(binds, "MAT4", false, 0)}}};
    json["nodes"].push_back({{"mesh", 0}, {"skin", 0}});
    // A VRM 1.0 avatar: the chain's first joints are its humanoid bones,
    // the mesh's first target its blink, and its last fifty joints hang in
    // five swinging chains of ten.
    const char* const bones[] = {"hips", "spine", "chest", "neck", "head", "leftUpperLeg", "leftLowerLeg", "leftFoot",
                                 "rightUpperLeg", "rightLowerLeg", "rightFoot", "leftUpperArm", "leftLowerArm",
                                 "leftHand", "rightUpperArm", "rightLowerArm", "rightHand", "leftEye", "rightEye"};
    nlohmann::json humanBones = nlohmann::json::object();
    for (size_t b = 0; b < sizeof bones / sizeof bones[0]; ++b) humanBones[bones[b]] = {{"node", b}};
    nlohmann::json springs = nlohmann::json::array();
    for (int chain = 0; chain < 5; ++chain) {
        nlohmann::json joints = nlohmann::json::array();
        for (int j = 0; j < 10; ++j) joints.push_back({{"node", kJoints - 50 + chain * 10 + j}, {"stiffness", 1.0}, {"dragForce", 0.4}, {"gravityPower", 0.2}});
        springs.push_back({{"joints", joints}});
    }
    json["extensionsUsed"] = {"VRMC_vrm", "VRMC_springBone"};
    nlohmann::json blink;
    blink["morphTargetBinds"] = nlohmann::json::array({{{"node", kJoints}, {"index", 0}, {"weight", 1.0}}});
    nlohmann::json vrm;
    vrm["specVersion"] = "1.0";
    vrm["meta"]["name"] = "VRoid-size";
    vrm["humanoid"]["humanBones"] = humanBones;
    vrm["expressions"]["preset"]["blink"] = blink;
    vrm["lookAt"]["type"] = "bone";
    json["extensions"]["VRMC_vrm"] = vrm;
    json["extensions"]["VRMC_springBone"] = {{"specVersion", "1.0"}, {"springs", springs}};
    json["scenes"] = {{{"nodes", {0, kJoints}}}};
    json["scene"] = 0;
    const std::string path = "/tmp/tavo_vroid_size_" + std::to_string(::getpid()) + ".glb";
    std::ofstream(path, std::ios::binary) << writer.glb();
    return path;
}

// CPU seconds per frame over count frames of the mascot's frame work, at
// 30 frames a second: walking and turning, the window moving, the cursor
// coming near and going (moving false: turning, the pose held).
double cpuPerFrame(tavo::FrameRenderer& frame, tavo::OffscreenGlSurface& surface, int count, bool moving = true) {
    tavo::MascotState state;
    state.motionIndex = frame.playedClip();
    state.frameElapsedMs = 33;
    const double start = seconds(CLOCK_PROCESS_CPUTIME_ID);
    for (int i = 0; i < count && moving; ++i) {
        state.phase = static_cast<float>(i % 60) / 60.0f;
        state.yaw = static_cast<float>(i) * 1.7f;
        state.posX = static_cast<float>(i * 2);
        state.cursor = {static_cast<int32_t>(state.posX) + (i % 90 < 45 ? 250 : 2000), 150};
        state.fleeing = i % 90 < 20 ? 1 : 0;
        frame.renderFrame(state);
        surface.finishFrame();
        tavo::applyColorKey(surface.pixels(), surface.width(), surface.height());
    }
    for (int i = 0; i < count && !moving; ++i) {
        state.yaw = static_cast<float>(i) * 1.7f;  // turning as the window does, the pose held
        frame.renderFrame(state);
        surface.finishFrame();
        tavo::applyColorKey(surface.pixels(), surface.width(), surface.height());
    }
    return (seconds(CLOCK_PROCESS_CPUTIME_ID) - start) / count;
}

// CPU seconds per frame of the posing and skinning alone (no drawing).
double posingPerFrame(const tavo::CharacterData& character, int32_t clip, int count) {
    tavo::CharacterPose pose;
    pose.reset(character);
    const double start = seconds(CLOCK_PROCESS_CPUTIME_ID);
    for (int i = 0; i < count; ++i) {
        tavo::poseCharacter(character, clip, static_cast<float>(i % 60) / 60.0f, true, pose);
    }
    return (seconds(CLOCK_PROCESS_CPUTIME_ID) - start) / count;
}

}  // namespace

int main() {
    const int frames = 90;  // three seconds at 30 fps
    const std::string path = writeLargeAvatar();
    tavo::OffscreenGlSurface surface(400, 360, tavo::GlChoice::Osmesa);
    if (!surface.valid()) {
        std::fprintf(stderr, "no OSMesa context\n");
        return 1;
    }
    tavo::ProgramObjects objects;
    tavo::FrameRenderer frame(objects);
    const double embeddedStart = seconds(CLOCK_MONOTONIC);
    frame.loadScene(400, 360);
    const double embeddedLoad = seconds(CLOCK_MONOTONIC) - embeddedStart;
    const double embeddedFrame = cpuPerFrame(frame, surface, frames);
    const double embeddedPosing = posingPerFrame(*frame.character(), frame.playedClip(), frames);
    const long embeddedKb = residentKb();

    tavo::LoadError error;
    const double avatarStart = seconds(CLOCK_MONOTONIC);
    const bool loaded = frame.switchCharacter(tavo::CharacterFiles{path, "", -1, 0.0f, ""}, error);
    const double avatarLoad = seconds(CLOCK_MONOTONIC) - avatarStart;
    std::remove(path.c_str());
    if (!loaded) {
        std::fprintf(stderr, "the avatar did not load: %s\n", error.describe().c_str());
        return 1;
    }
    malloc_trim(0);
    const long loadedKb = residentKb();
    const double avatarFrame = cpuPerFrame(frame, surface, frames);
    const double avatarPosing = posingPerFrame(*frame.character(), frame.playedClip(), frames);
    frame.holdExpressions({});  // from here on drawn still: no blink, gaze or swing
    const double stillFrame = cpuPerFrame(frame, surface, frames, false);
    const long avatarKb = residentKb();
    malloc_trim(0);
    const long trimmedKb = residentKb();

    std::printf("VRoid-size avatar: %d joints, %d triangles, %d morph targets, %d textures of %d x %d (OSMesa, 400 x 360)\n",
                kJoints, kJoints * (kRings - 1) * kSegments * 2, kMorphs, kTextures, kTextureSide, kTextureSide);
    std::printf("load:         embedded %.3f s, avatar %.3f s (goal: under 2 s)\n", embeddedLoad, avatarLoad);
    std::printf("resident:     embedded %ld KB, avatar %ld KB, %+.1f MB (goal: at most 60 MB more)\n", embeddedKb, avatarKb,
                static_cast<double>(avatarKb - embeddedKb) / 1024.0);
    std::printf("              of which %+.1f MB before the first frame (the records and decoded pictures)\n",
                static_cast<double>(loadedKb - embeddedKb) / 1024.0);
    std::printf("              after the allocator returns what is free: %+.1f MB (what the avatar keeps)\n",
                static_cast<double>(trimmedKb - embeddedKb) / 1024.0);
    std::printf("CPU a frame:  embedded %.2f ms, avatar %.2f ms, %.2f times (goal: at most 2 times)\n", embeddedFrame * 1e3,
                avatarFrame * 1e3, avatarFrame / embeddedFrame);
    std::printf("              of which posing and skinning: embedded %.2f ms, avatar %.2f ms; the rest is the drawing\n",
                embeddedPosing * 1e3, avatarPosing * 1e3);
    std::printf("alive:        everything on (walk retargeted, spring bones, blink, gaze) %.2f ms, standing still %.2f ms, "
                "%.2f times (goal: at most 1.3 times)\n",
                avatarFrame * 1e3, stillFrame * 1e3, avatarFrame / stillFrame);
    return 0;
}
