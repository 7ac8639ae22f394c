// The embedded character: the committed data files are exactly what the
// generator writes, and the program's own readers, skeleton builder and
// playback find in them everything the mascot relies on.

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "character_model.h"
#include "fuwari/fuwari.h"
#include "formats/metasequoia/mqo_reader.h"
#include "motion_set.h"
#include "png_encoder.h"
#include "resources/memory_stream.h"
#include "support/posed_document.h"
#include "resources/png_loader.h"
#include "resources/texture_manager.h"
#include "skeleton/anchors.h"
#include "skeleton/character.h"
#include "texture_painter.h"

namespace tavo {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string sourceFile(const char* folder, const std::string& name) {
    return readFile(std::string(TAVO_SOURCE_DIR) + "/" + folder + "/" + name);
}

std::string dataFile(const char* name) { return sourceFile("data", name); }

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Same rotation, whichever sign the quaternion carries.
float rotationGap(const Quaternion& a, const Quaternion& b) {
    const float same = std::max({std::abs(a.x - b.x), std::abs(a.y - b.y), std::abs(a.z - b.z),
                                 std::abs(a.w - b.w)});
    const float flipped = std::max({std::abs(a.x + b.x), std::abs(a.y + b.y), std::abs(a.z + b.z),
                                    std::abs(a.w + b.w)});
    return std::min(same, flipped);
}

// A generated character's committed files, and the generator's design of it.
struct CharacterCase {
    const char* folder;
    const char* stem;
    chara::CharacterModel (*design)();
    int32_t firstEndFrame;
};

// The committed character as the program loads it, without textures.
class GeneratedCharacter : public ::testing::TestWithParam<CharacterCase> {
protected:
    void SetUp() override {
        mqo_ = sourceFile(GetParam().folder, std::string(GetParam().stem) + ".mqo");
        mkm_ = sourceFile(GetParam().folder, std::string(GetParam().stem) + ".mkm");
        MemoryStream model;
        ASSERT_EQ(model.attach(mqo_.data(), static_cast<int32_t>(mqo_.size())), 1);
        ASSERT_TRUE(buildCharacter(character_, &model, textures_, 1.0f));
        MemoryStream motions;
        ASSERT_EQ(motions.attach(mkm_.data(), static_cast<int32_t>(mkm_.size())), 1);
        ASSERT_TRUE(loadCharacterMotions(character_.get(), &motions));
        posed_ = std::make_unique<test::PosedDocument>(*character_);
    }

    Model& model() { return *character_->model; }
    Skeleton& skeleton() { return *character_->skeleton; }

    int32_t boneNamed(const std::string& name) {
        for (int32_t b = 0; b < skeleton().boneCount(); ++b) {
            if (skeleton().bones[b].name == name) {
                return b;
            }
        }
        return -1;
    }

    struct PosedPoint {
        const std::string* part;
        Vec3 p;
    };

    // Every drawn vertex in model space for the current pose.
    std::vector<PosedPoint> posedPoints() {
        std::vector<PosedPoint> points;
        for (int32_t b = 0; b < skeleton().boneCount(); ++b) {
            const Bone& bone = skeleton().bones[b];
            if (bone.isLink()) {
                continue;
            }
            const Quaternion rotation = posed_->rotation(b);
            const Vec3 position = posed_->position(b);
            for (int32_t index : bone.rigidObjects) {
                const ModelObject& object = model().objects[index];
                for (const Vec3& v : object.vertices) {
                    points.push_back({&object.name, rotateByUnit(rotation, v) + position});
                }
            }
        }
        for (const ModelObject& posed : posed_->skinned()) {
            for (const Vec3& v : posed.vertices) {
                points.push_back({&posed.name, v});
            }
        }
        return points;
    }

    std::string mqo_;
    std::string mkm_;
    TextureManager textures_;
    std::unique_ptr<Character> character_;
    std::unique_ptr<test::PosedDocument> posed_;
};

TEST(CharacterFiles, RegeneratedFilesEqualTheCommittedOnes) {
    struct Folder {
        const char* option;  // the program's options before the folder
        const char* committed;
        std::vector<const char*> files;
    };
    const Folder folders[] = {
        {"", "data", {"tavo.mqo", "tavo.mkm", "tavo.png"}},
        {"--character fuwari", "characters/fuwari", {"fuwari.mqo", "fuwari.mkm", "fuwari.png", "character.ini"}},
        {"--avatar vrm1", "characters/hinata", {"hinata.vrm"}}};
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tavo_character_" + std::to_string(::getpid()));
    for (const Folder& folder : folders) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string option = *folder.option ? std::string(" ") + folder.option : "";
        const std::string command =
            std::string("\"") + TAVO_MAKE_CHARACTER + "\"" + option + " \"" + dir.string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                    std::filesystem::directory_iterator())),
                  folder.files.size())
            << command;
        for (const char* name : folder.files) {
            const std::string fresh = readFile((dir / name).string());
            EXPECT_FALSE(fresh.empty()) << name;
            EXPECT_TRUE(fresh == sourceFile(folder.committed, name))
                << name << " differs: run tavo-make-character" << option << " " << folder.committed;
        }
    }
    // The humanoid motions compiled into the program.
    std::filesystem::create_directories(dir);
    for (const char* motion : {"walk", "idle"}) {
        const std::filesystem::path file = dir / (std::string(motion) + ".vrma");
        const std::string command = std::string("\"") + TAVO_MAKE_CHARACTER + "\" --motion " + motion + " \"" + file.string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_TRUE(readFile(file.string()) == sourceFile("data", file.filename().string().c_str()))
            << file.filename() << " differs: run tavo-make-character --motion " << motion << " data/" << file.filename().string();
    }
    std::filesystem::remove_all(dir);
}

TEST(CharacterFiles, TextFilesUseCrLfAndKeepShiftJisNamesWithABackslashByte) {
    for (const char* name : {"tavo.mqo", "tavo.mkm"}) {
        const std::string text = dataFile(name);
        ASSERT_FALSE(text.empty()) << name;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << name << " bare line feed at " << i;
            }
        }
        EXPECT_NE(text.find("\x83\x5c"), std::string::npos) << name;  // ソ
    }
    EXPECT_TRUE(startsWith(dataFile("tavo.mqo"), "Metasequoia Document\r\nFormat Text Ver 1.0\r\n"));
    EXPECT_TRUE(startsWith(dataFile("tavo.mkm"), "Mikoto Motion Ver 2\r\n"));
}

TEST(CharacterFiles, TextureDecodesToThePaintedPixelsWithNothingTheColourKeyWouldPunch) {
    const std::string png = dataFile("tavo.png");
    MemoryStream stream;
    ASSERT_EQ(stream.attach(png.data(), static_cast<int32_t>(png.size())), 1);
    PngLoader loader;
    ASSERT_EQ(loader.decode(&stream), 1);
    ImageDescription image;
    loader.describe(image);
    ASSERT_EQ(image.width, 512);
    ASSERT_EQ(image.height, 512);
    const std::vector<uint8_t> painted = chara::paintTexture();
    ASSERT_TRUE(std::equal(painted.begin(), painted.end(), image.pixels));
    for (size_t i = 0; i < painted.size(); i += 4) {
        ASSERT_LT(painted[i + 2], 255) << "blue 255 at texel " << i / 4;
        ASSERT_EQ(painted[i + 3], 255) << "translucent texel " << i / 4;
    }
}

TEST(CharacterFiles, CompressedStreamsInflateBackToTheirData) {
    std::vector<std::vector<uint8_t>> inputs = {{}, {7}, std::vector<uint8_t>(70000, 0xAB)};
    std::vector<uint8_t> mixed;
    uint32_t seed = 12345;
    for (int i = 0; i < 90000; ++i) {
        seed = seed * 1103515245u + 12345u;
        // Runs, short repeats far apart and noise, to reach every length and distance code.
        mixed.push_back(i % 5000 < 300 ? static_cast<uint8_t>(i % 7) : static_cast<uint8_t>(seed >> 24));
    }
    inputs.push_back(mixed);
    for (const auto& input : inputs) {
        const std::string packed = chara::deflateFixed(input);
        std::vector<uint8_t> out(input.size() + 1);
        uLongf outSize = static_cast<uLongf>(out.size());
        ASSERT_EQ(uncompress(out.data(), &outSize, reinterpret_cast<const Bytef*>(packed.data()),
                             static_cast<uLong>(packed.size())),
                  Z_OK)
            << "input of " << input.size() << " bytes";
        out.resize(outSize);
        EXPECT_EQ(out, input);
    }
}

TEST(CharacterFiles, VisibleSurfacesAreClosedAndWoundClockwiseFromOutside) {
    const std::string mqo = dataFile("tavo.mqo");
    MemoryStream stream;
    ASSERT_EQ(stream.attach(mqo.data(), static_cast<int32_t>(mqo.size())), 1);
    TextureManager textures;
    Model model;
    MqoReader reader;
    ASSERT_TRUE(reader.readModel(&stream, textures, model, 1.0f));
    int32_t checked = 0;
    for (const ModelObject& object : model.objects) {
        if (object.visible == 0) {
            continue;
        }
        // Right-hand normals of clockwise faces point inwards: the enclosed
        // volume comes out negative. An open surface would not close up.
        double volume = 0.0;
        for (const TriangleGroup& group : object.triangleGroups) {
            for (const Triangle& t : group) {
                const Vec3& a = object.vertices[t.indices[0]];
                const Vec3& b = object.vertices[t.indices[1]];
                const Vec3& c = object.vertices[t.indices[2]];
                volume += a.dot(b.cross(c)) / 6.0;
            }
        }
        EXPECT_LT(volume, -50.0) << object.name;
        ++checked;
    }
    EXPECT_GE(checked, 15);
}

TEST_P(GeneratedCharacter, SkeletonMatchesTheRigWithOneRootAndScaleneBones) {
    const chara::CharacterModel design = GetParam().design();
    ASSERT_EQ(skeleton().rootBones.size(), 1u);
    const Bone& root = skeleton().bones[skeleton().rootBones[0]];
    EXPECT_FALSE(root.isLink());
    const auto& rigBones = design.rig.bones();
    int32_t bones = 0;
    for (const Bone& bone : skeleton().bones) {
        bones += bone.isLink() ? 0 : 1;
    }
    EXPECT_EQ(bones, static_cast<int32_t>(rigBones.size()));
    const ModelObject* boneObject = nullptr;
    for (const ModelObject& object : model().objects) {
        if (startsWith(object.name, "bone")) {
            boneObject = &object;
            break;
        }
    }
    ASSERT_NE(boneObject, nullptr);
    EXPECT_EQ(boneObject->visible, 0);
    for (const chara::RigBone& expected : rigBones) {
        const int32_t index = boneNamed(expected.name);
        ASSERT_GE(index, 0) << expected.name;
        const Bone& bone = skeleton().bones[index];
        const std::string parent = bone.parent < 0 ? "" : skeleton().bones[bone.parent].name;
        const std::string expectedParent = expected.parent < 0 ? "" : rigBones[expected.parent].name;
        EXPECT_EQ(parent, expectedParent) << expected.name;
        EXPECT_LT(rotationGap(bone.localRotation, expected.restLocal), 2e-6f) << expected.name;
        const auto& v = boneObject->vertices;
        float edges[3] = {(v[bone.headVertex] - v[bone.sideVertex]).length(),
                          (v[bone.sideVertex] - v[bone.tipVertex]).length(),
                          (v[bone.tipVertex] - v[bone.headVertex]).length()};
        std::sort(edges, edges + 3);
        EXPECT_GT(edges[1], edges[0] * 1.5f) << expected.name;
        EXPECT_GT(edges[2], edges[1] * 1.03f) << expected.name;
    }
}

TEST_P(GeneratedCharacter, EveryVisiblePartIsBoundAndSideLettersPickOneSide) {
    std::vector<int32_t> bindings(model().objects.size(), 0);
    for (const Bone& bone : skeleton().bones) {
        for (int32_t index : bone.rigidObjects) {
            ++bindings[index];
            const std::string& name = model().objects[index].name;
            if (name[1] == 'L' || name[1] == 'R') {
                EXPECT_EQ(bone.name.substr(bone.name.size() - 3), std::string("[") + name[1] + "]")
                    << name;
            }
        }
    }
    for (int32_t index : model().skinnedObjects) {
        ++bindings[index];
    }
    for (size_t k = 0; k < model().objects.size(); ++k) {
        const ModelObject& object = model().objects[k];
        const bool helper = startsWith(object.name, "bone") || startsWith(object.name, "anchor");
        EXPECT_EQ(object.visible, helper ? 0 : 15) << object.name;
        EXPECT_EQ(bindings[k], helper ? 0 : 1) << object.name;
    }
}

TEST_P(GeneratedCharacter, SkinnedVerticesAllHaveInfluencesBlendedByDepthAtTheJoints) {
    ASSERT_GE(model().skinnedObjects.size(), 4u);
    for (int32_t index : model().skinnedObjects) {
        const ModelObject& object = model().objects[index];
        const std::vector<AnchorPiece> pieces = anchorPiecesOf(model(), index, skeleton());
        ASSERT_GE(pieces.size(), 2u) << object.name;
        for (const AnchorPiece& piece : pieces) {
            EXPECT_GE(piece.boneIndex, 0) << object.name << " piece " << piece.name;
        }
        ASSERT_EQ(object.vertexInfluences.size(), object.vertices.size());
        int32_t shared = 0;
        for (size_t v = 0; v < object.vertices.size(); ++v) {
            const VertexInfluence& influence = object.vertexInfluences[v];
            ASSERT_FALSE(influence.weights.empty()) << object.name << " vertex " << v;
            float sum = 0.0f;
            for (float w : influence.weights) {
                sum += w;
            }
            EXPECT_NEAR(sum, 1.0f, 1e-5f);
            shared += influence.weights.size() > 1 ? 1 : 0;
            // Vertices sit well inside their deepest box, never on a face
            // where the vertical containment ray would graze it.
            float deepest = 0.0f;
            for (const AnchorPiece& piece : pieces) {
                if (containsPoint(piece, object.vertices[v])) {
                    deepest = std::max(deepest, surfaceDistance(piece, object.vertices[v]));
                }
            }
            EXPECT_GT(deepest, 0.5f) << object.name << " vertex " << v;
            // A weight is the depth inside a box, its distance to the
            // nearest face plane. With the faces turned inwards it would be
            // the distance to some triangle edge instead.
            for (const AnchorPiece& piece : pieces) {
                const Vec3& p = object.vertices[v];
                if (!containsPoint(piece, p)) {
                    continue;
                }
                float depth = 1e9f;
                for (const Triangle& t : piece.triangles) {
                    const Vec3& a = piece.vertices[t.indices[0]];
                    const Vec3 normal = (piece.vertices[t.indices[1]] - a)
                                            .cross(piece.vertices[t.indices[2]] - a)
                                            .normalized();
                    depth = std::min(depth, std::abs(normal.dot(p - a)));
                }
                EXPECT_NEAR(surfaceDistance(piece, p), depth, 1e-3f) << object.name << " vertex " << v;
            }
        }
        EXPECT_GT(shared, 0) << object.name << " has no joint shared by two bones";
        EXPECT_LT(shared, static_cast<int32_t>(object.vertices.size())) << object.name;
    }
}

TEST_P(GeneratedCharacter, FiveMotionsWithEveryTrackOnABoneAndASeamlessPlayedLoop) {
    ASSERT_EQ(skeleton().motionCount(), 5);
    EXPECT_EQ(skeleton().motions[0].endFrame, GetParam().firstEndFrame);
    EXPECT_EQ(skeleton().motions[2].loop, 1);
    int32_t bones = 0;
    for (const Bone& bone : skeleton().bones) {
        bones += bone.isLink() ? 0 : 1;
    }
    for (const Motion& motion : skeleton().motions) {
        EXPECT_EQ(motion.vectorTracks.size(), 1u) << motion.name;
        EXPECT_EQ(static_cast<int32_t>(motion.quaternionTracks.size()), bones) << motion.name;
        std::vector<int32_t> seen(skeleton().bones.size(), 0);
        for (const QuaternionTrack& track : motion.quaternionTracks) {
            ASSERT_GE(track.boneIndex, 0) << track.name;
            EXPECT_EQ(++seen[track.boneIndex], 1) << track.name;
        }
    }
    const Motion& played = skeleton().motions[3];
    EXPECT_EQ(played.endFrame, 48);
    for (const QuaternionTrack& track : played.quaternionTracks) {
        ASSERT_GE(track.keyCount, 2);
        EXPECT_EQ(track.frames.front(), 0);
        EXPECT_EQ(track.frames.back(), 48);
        EXPECT_EQ(rotationGap(track.keys.front(), track.keys.back()), 0.0f) << track.name;
    }
    const VectorTrack& lift = played.vectorTracks[0];
    EXPECT_EQ(lift.values.front().y, lift.values.back().y);
}

TEST_P(GeneratedCharacter, KeysAreWholeLocalRotationsSoTheRestKeysAreTheRestPose) {
    // The hop, the twirl and the pose start from the rest pose: their first
    // keys must equal each bone's rest rotation relative to its parent.
    std::vector<Quaternion> rest;
    for (const Bone& bone : skeleton().bones) {
        rest.push_back(bone.localRotation);
    }
    const Bone& root = skeleton().bones[skeleton().rootBones[0]];
    for (int32_t m : {0, 1, 4}) {
        const Motion& motion = skeleton().motions[m];
        for (const QuaternionTrack& track : motion.quaternionTracks) {
            EXPECT_LT(rotationGap(track.keys[0], rest[track.boneIndex]), 2e-6f)
                << motion.name << " " << track.name;
        }
        const Vec3 start = motion.vectorTracks[0].values[0];
        EXPECT_LT((start - root.restHead).length(), 1e-4f) << motion.name;
    }
}

TEST_P(GeneratedCharacter, EveryPoseStaysInsideTheWindowAndStandsOnTheGround) {
    ASSERT_TRUE(posed_->pose(4, 0.0f));
    float lowest = 1e9f;
    float highest = -1e9f;
    for (const auto& [part, p] : posedPoints()) {
        lowest = std::min(lowest, p.y);
        highest = std::max(highest, p.y);
    }
    EXPECT_NEAR(lowest, 0.0f, 0.5f);
    EXPECT_GT(highest, 250.0f);
    EXPECT_LT(highest, 300.0f);

    for (int32_t m = 0; m < skeleton().motionCount(); ++m) {
        for (int32_t step = 0; step <= 16; ++step) {
            ASSERT_TRUE(posed_->pose(m, step / 16.0f));
            for (const auto& [part, p] : posedPoints()) {
                SCOPED_TRACE(::testing::Message() << "point " << p.x << " " << p.y << " " << p.z
                                                  << " of " << *part);
                // The camera sees about -80..320 in height and the figure
                // turns and tips about the point 140 above its feet.
                ASSERT_LT(std::hypot(p.x, p.z), 150.0f) << "motion " << m << " step " << step;
                ASSERT_GT(p.y, -20.0f) << "motion " << m << " step " << step;
                ASSERT_LT(p.y, 300.0f) << "motion " << m << " step " << step;
                ASSERT_LT((p - Vec3(0.0f, 140.0f, 0.0f)).length(), 175.0f)
                    << "motion " << m << " step " << step;
            }
        }
    }
}

TEST_P(GeneratedCharacter, MaterialsAreNeverWhiteOrFullBlueAndOnlyTheFirstIsTextured) {
    const chara::CharacterModel model = GetParam().design();
    ASSERT_FALSE(model.materials.empty());
    EXPECT_EQ(model.materials[0].texture, std::string(GetParam().stem) + ".png");
    for (size_t m = 0; m < model.materials.size(); ++m) {
        const chara::MaterialDesign& material = model.materials[m];
        EXPECT_LT(material.color[2], 1.0f) << material.name;
        EXPECT_LT(std::min({material.color[0], material.color[1], material.color[2]}), 0.99f);
        if (m > 0) {
            EXPECT_TRUE(material.texture.empty()) << material.name;
        }
    }
    for (const chara::Mesh& mesh : model.meshes) {
        if (mesh.visible || startsWith(mesh.name, "anchor")) {
            EXPECT_GT(mesh.signedVolume(), 0.0) << mesh.name << " is not built outward";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Characters, GeneratedCharacter,
    ::testing::Values(CharacterCase{"data", "tavo", chara::buildCharacterModel, 15},
                      CharacterCase{"characters/fuwari", "fuwari", chara::fuwari::buildModel, 40}),
    [](const ::testing::TestParamInfo<CharacterCase>& info) { return std::string(info.param.stem); });

}  // namespace
}  // namespace tavo
