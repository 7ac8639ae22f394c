#include <gtest/gtest.h>

#include <string>

#include "resources/memory_stream.h"
#include "resources/texture_manager.h"
#include "skeleton/character.h"
#include "support/posed_document.h"

namespace tavo {
namespace {

// A chest bone from (0, 0, 0) up to (0, 5, 0), an object bound to it, a
// skinned band with one anchor box around the chest, and a hidden helper.
const char kRig[] =
    "Metasequoia Document\r\n"
    "Format Text Ver 1.0\r\n"
    "\r\n"
    "Scene {\r\n"
    "\tpos 0 0 1500\r\n"
    "}\r\n"
    "Material 2 {\r\n"
    "\t\"chest\" col(1.000 1.000 1.000 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00)\r\n"
    "\t\"skin\" col(1.000 0.800 0.700 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00)\r\n"
    "}\r\n"
    "Object \"bone\" {\r\n"
    "\tvisible 0\r\n"
    "\tvertex 3 {\r\n"
    "\t\t0.0000 0.0000 0.0000\r\n"
    "\t\t0.0000 5.0000 0.0000\r\n"
    "\t\t0.0000 0.0000 1.0000\r\n"
    "\t}\r\n"
    "\tface 1 {\r\n"
    "\t\t3 V(0 2 1) M(0)\r\n"
    "\t}\r\n"
    "}\r\n"
    "Object \"mbody-chest\" {\r\n"
    "\tvisible 15\r\n"
    "\tvertex 3 {\r\n"
    "\t\t0.0000 0.0000 0.0000\r\n"
    "\t\t0.0000 5.0000 0.0000\r\n"
    "\t\t1.0000 0.0000 0.0000\r\n"
    "\t}\r\n"
    "\tface 1 {\r\n"
    "\t\t3 V(0 1 2) M(1)\r\n"
    "\t}\r\n"
    "}\r\n"
    "Object \"sdef:band\" {\r\n"
    "\tvisible 15\r\n"
    "\tvertex 3 {\r\n"
    "\t\t1.0000 1.0000 0.5000\r\n"
    "\t\t-1.0000 1.5000 0.5000\r\n"
    "\t\t0.0000 2.0000 -0.5000\r\n"
    "\t}\r\n"
    "\tface 1 {\r\n"
    "\t\t3 V(0 1 2) M(1)\r\n"
    "\t}\r\n"
    "}\r\n"
    "Object \"anchor1|band\" {\r\n"
    "\tvisible 0\r\n"
    "\tvertex 8 {\r\n"
    "\t\t-3.0000 -1.0000 -2.0000\r\n"
    "\t\t3.0000 -1.0000 -2.0000\r\n"
    "\t\t-3.0000 4.0000 -2.0000\r\n"
    "\t\t3.0000 4.0000 -2.0000\r\n"
    "\t\t-3.0000 -1.0000 2.0000\r\n"
    "\t\t3.0000 -1.0000 2.0000\r\n"
    "\t\t-3.0000 4.0000 2.0000\r\n"
    "\t\t3.0000 4.0000 2.0000\r\n"
    "\t}\r\n"
    "\tface 6 {\r\n"
    "\t\t4 V(0 2 3 1) M(0)\r\n"
    "\t\t4 V(4 5 7 6) M(0)\r\n"
    "\t\t4 V(0 4 6 2) M(0)\r\n"
    "\t\t4 V(1 3 7 5) M(0)\r\n"
    "\t\t4 V(0 1 5 4) M(0)\r\n"
    "\t\t4 V(2 6 7 3) M(0)\r\n"
    "\t}\r\n"
    "}\r\n"
    "Eof\r\n";

const char kMotions[] =
    "Mikoto Motion Ver 2\r\n"
    "Motion {\r\n"
    "\tname = \"bow\"\r\n"
    "\tendframe = 48\r\n"
    "\tloop = 0\r\n"
    "\tVector {\r\n"
    "\t\tname = \"j_root\"\r\n"
    "\t\tclass = Locate\r\n"
    "\t\tmember = pos\r\n"
    "\t\tcurve = spline\r\n"
    "\t\t0 (0.000000 0.000000 0.000000)\r\n"
    "\t}\r\n"
    "\tQuaternion {\r\n"
    "\t\tname = \"chest\"\r\n"
    "\t\tclass = Bone\r\n"
    "\t\tmember = rot\r\n"
    "\t\tcurve = spline\r\n"
    "\t\t0 (0.000000 0.000000 0.000000 1.000000)\r\n"
    "\t}\r\n"
    "}\r\n"
    "Eof\r\n";

struct TextStream {
    explicit TextStream(const std::string& text) : bytes(text) {
        stream.attach(bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    std::string bytes;
    MemoryStream stream;
};

std::unique_ptr<Character> builtRig(TextureManager& textures) {
    std::unique_ptr<Character> slot;
    TextStream model(kRig);
    EXPECT_TRUE(buildCharacter(slot, &model.stream, textures, 1.0f));
    return slot;
}

TEST(BuildCharacter, ReadsTheModelAndSetsTheDrawingSwitches) {
    TextureManager textures;
    std::unique_ptr<Character> slot = builtRig(textures);
    ASSERT_TRUE(slot);
    ASSERT_TRUE(slot->model);
    EXPECT_FALSE(slot->skeleton);
    const Model& model = *slot->model;
    EXPECT_EQ(model.objects.size(), 4u);
    EXPECT_EQ(model.materials.size(), 2u);
    EXPECT_FALSE(model.outlineOnly);
    EXPECT_FALSE(model.useLighting);
    EXPECT_TRUE(model.useMaterials);
    EXPECT_TRUE(model.useTextures);
    EXPECT_EQ(model.outlineWidth, 0.0f);
    EXPECT_FLOAT_EQ(model.outlineColorScale[1], 0.43f);
    EXPECT_FLOAT_EQ(model.ambientLight[0], 0.2f);
}

TEST(BuildCharacter, RejectedModelLeavesTheSlotAlone) {
    TextureManager textures;
    std::unique_ptr<Character> slot = builtRig(textures);
    Character* before = slot.get();
    TextStream wrong("Metasequoia Document\r\nFormat Text Ver 2.0\r\nEof\r\n");
    EXPECT_FALSE(buildCharacter(slot, &wrong.stream, textures, 1.0f));
    EXPECT_FALSE(buildCharacter(slot, nullptr, textures, 1.0f));
    EXPECT_EQ(slot.get(), before);
}

TEST(LoadCharacterMotions, BuildsTheSkeletonAndBindsTheTracks) {
    TextureManager textures;
    std::unique_ptr<Character> slot = builtRig(textures);
    TextStream motions(kMotions);
    ASSERT_TRUE(loadCharacterMotions(slot.get(), &motions.stream));
    ASSERT_TRUE(slot->skeleton);
    const Skeleton& skeleton = *slot->skeleton;
    ASSERT_EQ(skeleton.boneCount(), 1);
    EXPECT_EQ(skeleton.bones[0].name, "chest");
    EXPECT_EQ(skeleton.bones[0].rigidObjects, std::vector<int32_t>{1});
    ASSERT_EQ(skeleton.motionCount(), 1);
    EXPECT_EQ(skeleton.motions[0].quaternionTracks[0].boneIndex, 0);
    EXPECT_EQ(slot->model->skinnedObjects, std::vector<int32_t>{2});
    for (const VertexInfluence& influence : slot->model->objects[2].vertexInfluences) {
        EXPECT_EQ(influence.boneIndices, std::vector<int32_t>{0});
    }

    // The identity key turns the chest from its rest pose onto the model
    // axes, and the band turns with it about the origin.
    test::PosedDocument posedCharacter(*slot);
    ASSERT_TRUE(posedCharacter.pose(0, 0.0f));
    ASSERT_EQ(posedCharacter.skinned().size(), 1u);
    const Vec3 posed = posedCharacter.skinned()[0].vertices[0];
    const Vec3 expected =
        rotateByInverse(skeleton.bones[0].restRotation, Vec3(1.0f, 1.0f, 0.5f));
    EXPECT_NEAR(posed.x, expected.x, 1e-5f);
    EXPECT_NEAR(posed.y, expected.y, 1e-5f);
    EXPECT_NEAR(posed.z, expected.z, 1e-5f);
}

TEST(LoadCharacterMotions, EmptyMotionSetStillGivesASkeleton) {
    TextureManager textures;
    std::unique_ptr<Character> slot = builtRig(textures);
    TextStream motions("Mikoto Motion Ver 2\r\nEof\r\n");
    ASSERT_TRUE(loadCharacterMotions(slot.get(), &motions.stream));
    EXPECT_EQ(slot->skeleton->boneCount(), 1);
    EXPECT_EQ(slot->skeleton->motionCount(), 0);
}

TEST(LoadCharacterMotions, FailuresLeaveNoSkeleton) {
    TextStream motions(kMotions);
    EXPECT_FALSE(loadCharacterMotions(nullptr, &motions.stream));

    TextureManager textures;
    std::unique_ptr<Character> slot = builtRig(textures);
    TextStream wrong("Mikoto Motion Ver 3\r\nEof\r\n");
    EXPECT_FALSE(loadCharacterMotions(slot.get(), &wrong.stream));
    EXPECT_FALSE(slot->skeleton);
    // The bone build has run: the bound object now holds bone-frame vertices.
    EXPECT_NEAR(slot->model->objects[1].vertices[1].z, 5.0f, 1e-5f);

    std::string withoutBones = kRig;
    withoutBones.replace(withoutBones.find("\"bone\""), 6, "\"bane\"");
    std::unique_ptr<Character> bare;
    TextStream model(withoutBones);
    ASSERT_TRUE(buildCharacter(bare, &model.stream, textures, 1.0f));
    TextStream more(kMotions);
    EXPECT_FALSE(loadCharacterMotions(bare.get(), &more.stream));
    EXPECT_FALSE(bare->skeleton);
}

TEST(ReleaseCharacter, ReleasesWhateverIsThere) {
    std::unique_ptr<Character> none;
    releaseCharacter(none);
    EXPECT_FALSE(none);

    TextureManager textures;
    std::unique_ptr<Character> slot = builtRig(textures);
    releaseCharacter(slot);
    EXPECT_FALSE(slot);
}

}  // namespace
}  // namespace tavo
