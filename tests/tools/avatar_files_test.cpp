#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

#include <nlohmann/json.hpp>

#include "animation/posing.h"
#include "animation/rest_frames.h"
#include "math/rotation.h"
#include "avatar/avatar.h"
#include "formats/gltf/gltf_format.h"
#include "render/frame_renderer.h"
#include "render/offscreen_gl_surface.h"
#include "render/program_objects.h"
#include "resources/texture_manager.h"
#include "support/temp_directory.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using chara::avatar::AvatarForm;

// The generated avatar in one form, written into a folder of its own.
class AvatarFilesTest : public ::testing::Test {
protected:
    static const chara::avatar::AvatarModel& avatar() {
        static const chara::avatar::AvatarModel model = chara::avatar::buildAvatar();
        return model;
    }
    fs::path write(AvatarForm form, const std::string& folder) {
        const fs::path dir = temp.path() / folder;
        fs::create_directories(dir);
        fs::path model;
        for (const auto& [name, bytes] : chara::avatar::writeAvatar(avatar(), form, "hinata")) {
            std::ofstream(dir / name, std::ios::binary) << bytes;
            if (model.empty()) model = dir / name;
        }
        return model;
    }
    // The plain glTF form with its JSON changed by edit.
    std::string writeEdited(const std::string& folder, const std::function<void(nlohmann::json&)>& edit) {
        const fs::path model = write(AvatarForm::Gltf, folder);
        nlohmann::json document = nlohmann::json::parse(std::ifstream(model));
        edit(document);
        std::ofstream(model, std::ios::binary | std::ios::trunc) << document.dump();
        return model.string();
    }
    static std::string readBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    LoadError failure(const std::string& path) {
        TextureManager textures;
        CharacterData data;
        GltfReport report;
        LoadError error;
        EXPECT_FALSE(readGltfCharacter(path, 1.0f, textures, data, report, error)) << path;
        return error;
    }

    test::TempDirectory temp{"avatar_files_test"};
};

TEST_F(AvatarFilesTest, EveryFormReadsAsTheSameSkinnedAvatarAndFacesTheViewer) {
    const struct {
        AvatarForm form;
        const char* flavour;
    } forms[] = {{AvatarForm::Vrm0, "vrm0"}, {AvatarForm::Vrm1, "vrm1"}, {AvatarForm::Gltf, "gltf"}};
    OffscreenGlSurface surface(400, 360);
    ASSERT_TRUE(surface.valid());
    std::vector<std::vector<uint8_t>> frames;
    for (const auto& [form, flavour] : forms) {
        const std::string path = write(form, flavour).string();
        TextureManager textures;
        textures.setLoaders(makeImageLoaders());
        CharacterData data;
        GltfReport report;
        LoadError error;
        ASSERT_TRUE(readGltfCharacter(path, 1.0f, textures, data, report, error)) << error.describe();
        EXPECT_STREQ(flavourName(report.avatar.flavour), flavour);
        EXPECT_EQ(report.joints, 27);
        EXPECT_EQ(report.morphTargets, 1);
        EXPECT_EQ(report.materials, 5);
        EXPECT_EQ(report.images, 5);
        EXPECT_GT(report.triangles, 3000);
        EXPECT_TRUE(report.problems.empty()) << report.problems.front();
        EXPECT_EQ(data.model.skinnedObjects.size(), 5u);
        EXPECT_EQ(textures.textureCount(), 5) << "JPEG and PNG pictures, embedded and beside the file";
        EXPECT_TRUE(textures.failures().empty());
        EXPECT_EQ(data.model.materials[4].alphaMode, AlphaMode::Blend);
        EXPECT_EQ(data.model.materials[1].alphaMode, AlphaMode::Mask);
        if (form != AvatarForm::Gltf) {
            EXPECT_EQ(report.avatar.title, "Hinata");
            EXPECT_TRUE(report.avatar.missingBones.empty());
            EXPECT_TRUE(data.model.materials[0].unlit) << "MToon is drawn as its lit colour";
        }

        ProgramObjects objects;
        FrameRenderer frame(objects);
        ASSERT_TRUE(frame.loadScene(400, 360, CharacterFiles{path, "", -1, 0.0f, ""}, error)) << error.describe();
        frame.holdExpressions({});  // still: no blink or glance
        MascotState state;
        state.motionIndex = frame.playedClip();
        state.phase = 0.3f;  // a step of the built-in walk
        frame.renderFrame(state);
        surface.finishFrame();
        std::vector<uint8_t> pixels(surface.pixels(), surface.pixels() + surface.byteCount());
        applyColorKey(pixels.data(), 400, 360);
        frames.push_back(pixels);
    }
    // VRM 0.x is turned round: its frame is the VRM 1.0 frame (the same
    // avatar mirrored in the file, so nearly every pixel agrees).
    size_t shown = 0;
    size_t differing = 0;
    for (size_t i = 3; i < frames[0].size(); i += 4) {
        shown += frames[1][i] != 0;
        differing += (frames[0][i] != 0) != (frames[1][i] != 0);
    }
    EXPECT_GT(shown, 8000u) << "the avatar fills its part of the window";
    EXPECT_LT(differing, shown / 50) << "and the VRM 0.x avatar faces the viewer too";
}

// The file's own animation: rotation keys blended halfway, weights held by
// STEP, and a clip asked for by a name the file does not have refused.
TEST_F(AvatarFilesTest, TheFilesOwnAnimationPlaysAndMotionNamesAClip) {
    const std::string seed = std::string(TAVO_SOURCE_DIR) + "/tests/fuzz/seeds/skinned_triangle.gltf";
    TextureManager textures;
    CharacterData data;
    GltfReport report;
    LoadError error;
    ASSERT_TRUE(readGltfCharacter(seed, 1.0f, textures, data, report, error)) << error.describe();
    ASSERT_EQ(data.clipCount(), 1);
    CharacterPose pose;
    pose.reset(data);
    ASSERT_TRUE(poseCharacter(data, 0, 0.5f, false, pose));
    const Quaternion& turned = pose.local.joints[1].rotation;
    EXPECT_NEAR(turned.y, std::sin(0.25f * 3.14159265f / 2.0f), 1e-3f) << "a quarter turn halfway: an eighth";
    EXPECT_NEAR(turned.w, std::cos(0.25f * 3.14159265f / 2.0f), 1e-3f);
    EXPECT_EQ(pose.morphWeights[0][0], 0.0f) << "STEP holds the first key until the next";
    const float before = pose.skinned[0].vertices[0].z;
    ASSERT_TRUE(poseCharacter(data, 0, 1.0f, false, pose));
    EXPECT_EQ(pose.morphWeights[0][0], 1.0f);
    EXPECT_GT(pose.skinned[0].vertices[0].z - before, 0.04f) << "the morph moved the skinned vertex";

    OffscreenGlSurface surface(400, 360);
    ProgramObjects objects;
    FrameRenderer frame(objects);
    EXPECT_FALSE(frame.loadScene(400, 360, CharacterFiles{seed, "", -1, 0.0f, "dance"}, error));
    EXPECT_EQ(error.message, "there is no motion named \"dance\"");
}

// What an author reads: the kind, the counts, the terms of use, the humanoid.
TEST_F(AvatarFilesTest, TheInspectorReportsTheAvatarAsJson) {
    const std::string path = write(AvatarForm::Vrm0, "inspected").string();
    const std::string command = std::string(TAVO_BINARY_DIR) + "/tools/inspect/tavo-inspect --json '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    ASSERT_EQ(pclose(pipe), 0) << out;
    const nlohmann::json report = nlohmann::json::parse(out);
    EXPECT_EQ(report["format"], "vrm0");
    EXPECT_EQ(report["joints"], 27);
    EXPECT_EQ(report["morphTargets"], 1);
    EXPECT_EQ(report["images"], 5);
    EXPECT_EQ(report["meta"]["title"], "Hinata");
    EXPECT_EQ(report["meta"]["licenseName"], "CC_BY");
    EXPECT_EQ(report["humanoid"]["leftUpperArm"], "LeftUpperArm");
    EXPECT_TRUE(report["missingHumanoidBones"].empty());
    EXPECT_TRUE(report["problems"].empty());
}

TEST_F(AvatarFilesTest, BrokenAndHostileFilesFailWithTheirElementNamed) {
    const fs::path good = write(AvatarForm::Vrm1, "truncated");
    std::string bytes;
    {
        std::ifstream in(good, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(good, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 2);
    const LoadError cut = failure(good.string());
    EXPECT_NE(cut.message.find("the binary container says"), std::string::npos) << cut.describe();

    const struct {
        const char* name;
        std::function<void(nlohmann::json&)> edit;
        const char* element;
        const char* reason;
    } cases[] = {
        {"accessor", [](nlohmann::json& d) { d["accessors"][0]["byteOffset"] = 1 << 20; }, "accessors[0]", "run past the end"},
        {"index", [](nlohmann::json& d) { d["meshes"][4]["primitives"][0]["indices"] = d["meshes"][0]["primitives"][0]["indices"]; },
         "meshes[4].primitives[0].indices", "past the vertex count"},
        {"cycle", [](nlohmann::json& d) { d["nodes"][4]["children"] = {1}; }, "nodes[4].children", "already has a parent"},
        {"uri", [](nlohmann::json& d) { d["buffers"][0]["uri"] = "../../secret.bin"; }, "buffers[0].uri", "leaves the model's folder"},
        {"absolute", [](nlohmann::json& d) { d["images"][0]["uri"] = "/etc/passwd"; }, "images[0].uri", "not a file beside the model"},
        {"required", [](nlohmann::json& d) { d["extensionsRequired"] = {"KHR_draco_mesh_compression"}; }, "extensionsRequired[0]",
         "KHR_draco_mesh_compression is required but not supported"},
        {"sparse", [](nlohmann::json& d) {
             d["accessors"][0]["sparse"] = {{"count", 1}, {"indices", {{"bufferView", 0}, {"componentType", 5125}}},
                                            {"values", {{"bufferView", 0}}}};
         }, "skins[0].inverseBindMatrices", "sparse index"},
    };
    for (const auto& c : cases) {
        const LoadError error = failure(writeEdited(c.name, c.edit));
        EXPECT_EQ(error.element, c.element) << c.name << ": " << error.describe();
        EXPECT_NE(error.message.find(c.reason), std::string::npos) << c.name << ": " << error.describe();
    }
}

// A VRM Animation played on the avatar in both VRM forms: a quarter of the
// way through the shipped walk the left thigh has swung 24 degrees forward
// about the model's x axis (the hips' sway undone by the leg). A .vrma
// without hips, or one named for a plain glTF, is refused with its place.
TEST_F(AvatarFilesTest, AVrmAnimationPlaysOnEveryVrmForm) {
    const std::string walk = std::string(TAVO_SOURCE_DIR) + "/data/walk.vrma";
    for (AvatarForm form : {AvatarForm::Vrm0, AvatarForm::Vrm1}) {
        const std::string path = write(form, form == AvatarForm::Vrm0 ? "vrm0" : "vrm1").string();
        TextureManager textures;
        CharacterData data;
        LoadError error;
        ASSERT_TRUE(readCharacter(CharacterSource{path, walk, 1.0f}, textures, data, error)) << error.describe();
        ASSERT_EQ(data.clipCount(), 1);
        EXPECT_EQ(data.clips[0].name, "walk");
        CharacterPose pose;
        pose.reset(data);
        ASSERT_TRUE(poseCharacter(data, 0, 0.25f, false, pose));
        const int32_t thigh = data.humanoid.joint(humanBoneNamed("leftUpperLeg"));
        ASSERT_GE(thigh, 0);
        const JointFrames rest = restFrames(data.rig);
        const Quaternion turn = multiplyPrecise(pose.model.rotations[static_cast<size_t>(thigh)],
                                                rest.rotations[static_cast<size_t>(thigh)].conjugate());
        const Quaternion expected = axisAngle(Vec3(1, 0, 0), -24.0f * 3.14159265f / 180.0f);
        EXPECT_NEAR(std::fabs(turn.dot(expected)), 1.0f, 1e-4f) << "turn " << turn.x << " " << turn.y << " " << turn.z << " " << turn.w;
    }

    const fs::path noHips = temp.path() / "nohips.vrma";
    {
        std::string bytes = readBytes(walk);
        const size_t at = bytes.find("\"hips\"");
        ASSERT_NE(at, std::string::npos);
        bytes.replace(at, 6, "\"hipz\"");
        std::ofstream(noHips, std::ios::binary) << bytes;
    }
    TextureManager textures;
    CharacterData data;
    LoadError error;
    const std::string vrm = write(AvatarForm::Vrm1, "bad").string();
    EXPECT_FALSE(readCharacter(CharacterSource{vrm, noHips.string(), 1.0f}, textures, data, error));
    EXPECT_EQ(error.file, noHips.string());
    EXPECT_EQ(error.element, "extensions.VRMC_vrm_animation.humanoid.humanBones.hipz");
    const std::string plain = write(AvatarForm::Gltf, "plain").string();
    EXPECT_FALSE(readCharacter(CharacterSource{plain, walk, 1.0f}, textures, data, error));
    EXPECT_NE(error.message.find("no VRM avatar"), std::string::npos) << error.describe();
}

// The avatar comes alive: its blink shuts the eyes of the drawn frame (and
// only there), and its twin tails, swung through a stall of seconds and at
// 10 frames a second while the window runs, stay on their bones and trail
// behind the run.
TEST_F(AvatarFilesTest, BlinkShutsTheEyesAndTheSpringBonesSwingBoundedBehindTheRun) {
    const std::string path = write(AvatarForm::Vrm1, "alive").string();
    OffscreenGlSurface surface(400, 360);
    ASSERT_TRUE(surface.valid());
    ProgramObjects objects;
    FrameRenderer frame(objects);
    LoadError error;
    ASSERT_TRUE(frame.loadScene(400, 360, CharacterFiles{path, "", -1, 0.0f, ""}, error)) << error.describe();
    const int32_t blink = findExpression(frame.character()->expressions, "blink");
    ASSERT_GE(blink, 0);
    const auto draw = [&](float weight) {
        frame.holdExpressions({{blink, weight}});
        MascotState state;
        state.motionIndex = frame.playedClip();
        frame.renderFrame(state);
        surface.finishFrame();
        return std::vector<uint8_t>(surface.pixels(), surface.pixels() + surface.byteCount());
    };
    const std::vector<uint8_t> open = draw(0.0f);
    const std::vector<uint8_t> shut = draw(1.0f);
    size_t inEyes = 0;
    size_t elsewhere = 0;
    for (size_t i = 0; i < open.size(); i += 4) {
        const size_t x = (i / 4) % 400;
        const size_t rowFromTop = 359 - (i / 4) / 400;
        const bool differs = open[i] != shut[i] || open[i + 1] != shut[i + 1] || open[i + 2] != shut[i + 2];
        const bool eyeRegion = x >= 160 && x < 240 && rowFromTop >= 40 && rowFromTop < 90;
        (eyeRegion ? inEyes : elsewhere) += differs ? 1 : 0;
    }
    EXPECT_GT(inEyes, 100u) << "the eyes close";
    EXPECT_EQ(elsewhere, 0u) << "and nothing else changes";

    // The spring bones, driven as the mascot drives them.
    CharacterData data;
    TextureManager textures;
    ASSERT_TRUE(readCharacter(CharacterSource{path, "", 100.0f}, textures, data, error)) << error.describe();
    ASSERT_EQ(data.springs.chains.size(), 2u);
    const int32_t tip = data.springs.chains[0].joints[1].joint;
    CharacterPose still;
    CharacterPose running;
    still.reset(data);
    running.reset(data);
    AvatarInputs inputs;
    ASSERT_TRUE(poseCharacter(data, 0, 0.0f, false, running, &inputs));  // the ends start where the bones rest
    ASSERT_TRUE(poseCharacter(data, 0, 0.0f, false, still, &inputs));
    const auto expectOnTheirBones = [&](const char* when) {
        for (const SpringState::Bone& bone : running.springs.bones) {
            const Vec3 root = running.model.positions[static_cast<size_t>(bone.joint)];
            EXPECT_NEAR((bone.tail - root).length(), bone.length, bone.length * 1e-3f) << when;
            EXPECT_TRUE(std::isfinite(bone.tail.x) && std::isfinite(bone.tail.y) && std::isfinite(bone.tail.z)) << when;
        }
    };
    inputs.seconds = 5.0f;  // a stall, while the window moved far
    inputs.carried.shift = Vec3(-300.0f, 0.0f, 0.0f);
    ASSERT_TRUE(poseCharacter(data, 0, 0.0f, false, running, &inputs));
    expectOnTheirBones("after a stall");
    // Walking at 10 frames a second, once standing and once carried right
    // (a point still on the screen goes left): the running tail trails left.
    for (int f = 0; f < 30; ++f) {
        const float phase = 0.1f * static_cast<float>(f % 10);
        inputs.seconds = 0.1f;
        inputs.carried.shift = Vec3();
        ASSERT_TRUE(poseCharacter(data, 0, phase, false, still, &inputs));
        inputs.carried.shift = Vec3(-12.0f, 0.0f, 0.0f);
        ASSERT_TRUE(poseCharacter(data, 0, phase, false, running, &inputs));
    }
    expectOnTheirBones("while running");
    const float trail = running.model.positions[static_cast<size_t>(tip)].x - still.model.positions[static_cast<size_t>(tip)].x;
    EXPECT_LT(trail, -1.0f) << "the hair trails behind the run";
    // Stopped, it comes back to where the standing one is.
    for (int f = 0; f < 60; ++f) {
        inputs.seconds = 1.0f / 30.0f;
        inputs.carried = CarriedMotion();
        ASSERT_TRUE(poseCharacter(data, 1, 0.0f, false, running, &inputs));
        ASSERT_TRUE(poseCharacter(data, 1, 0.0f, false, still, &inputs));
    }
    EXPECT_LT((running.model.positions[static_cast<size_t>(tip)] - still.model.positions[static_cast<size_t>(tip)]).length(), 0.5f);
}

}  // namespace
}  // namespace tavo
