#include "formats/metasequoia/metasequoia_format.h"

#include <gtest/gtest.h>

#include <memory>

#include "formats/character_format.h"
#include "skeleton/skeleton.h"

namespace tavo {
namespace {

// Two roots and a link; one rotation track bound to a bone, one to nothing,
// and two position tracks, of which only the first plays.
Character documentWithTwoRoots() {
    Character document;
    document.model = std::make_unique<Model>();
    document.model->objects.resize(1);
    document.skeleton = std::make_unique<Skeleton>();
    Skeleton& skeleton = *document.skeleton;
    skeleton.bones.resize(3);
    skeleton.bones[0].sideVertex = 1;
    skeleton.bones[0].restHead = {1, 2, 3};
    skeleton.bones[0].rigidObjects = {0};
    skeleton.bones[1].sideVertex = 1;
    skeleton.bones[2].parent = 0;  // a link
    skeleton.bones[0].children = {2};
    skeleton.rootBones = {0, 1};
    Motion motion;
    motion.endFrame = 30;
    motion.loop = 1;
    motion.quaternionTracks.resize(2);
    motion.quaternionTracks[0].boneIndex = 1;
    motion.quaternionTracks[1].boneIndex = -1;
    motion.vectorTracks.resize(2);
    motion.vectorTracks[0].name = "first";
    motion.vectorTracks[1].name = "second";
    skeleton.motions.push_back(motion);
    return document;
}

TEST(MetasequoiaRecords, BonesBecomeJointsAndMotionsClipsOnWholeFrames) {
    const CharacterData data = characterDataOf(documentWithTwoRoots());
    ASSERT_EQ(data.rig.jointCount(), 3);
    EXPECT_TRUE(data.rig.rigid);
    EXPECT_EQ(data.rig.roots, (std::vector<int32_t>{0, 1}));
    EXPECT_TRUE(data.rig.joints[0].carriesMeshes);
    EXPECT_FALSE(data.rig.joints[2].carriesMeshes) << "a link only shapes the skin";
    EXPECT_EQ(data.rig.joints[0].rigidObjects, std::vector<int32_t>{0});
    EXPECT_EQ(data.rig.joints[0].inverseBind.origin.z, 3.0f);
    EXPECT_EQ(data.rig.joints[0].inverseBind.matrix.transformPoint({1, 2, 3}).z, 0.0f)
        << "the bind matrix takes the rest head to the origin";

    ASSERT_EQ(data.clipCount(), 1);
    const Clip& clip = data.clips[0];
    EXPECT_TRUE(clip.frameBased);
    EXPECT_EQ(clip.endFrame, 30);
    EXPECT_EQ(clip.loop, 1);
    EXPECT_FLOAT_EQ(clip.cyclesPerSecond(), 2.0f);
    ASSERT_EQ(clip.channels.size(), 3u) << "the unbound track is left out, every root moves";
    EXPECT_EQ(clip.channels[0].target, ChannelTarget::Rotation);
    EXPECT_EQ(clip.channels[0].joint, 1);
    for (size_t c = 1; c < 3; ++c) {
        EXPECT_EQ(clip.channels[c].target, ChannelTarget::Translation);
        EXPECT_EQ(clip.channels[c].joint, static_cast<int32_t>(c - 1));
        EXPECT_EQ(clip.channels[c].positionKeys.name, "first");
    }
}

TEST(CharacterFormats, TheMetasequoiaFormatIsFoundByContentOrEnding) {
    const uint8_t document[] = "Metasequoia Document\r\n";
    const uint8_t other[] = "glTF";
    ASSERT_FALSE(characterFormats().empty());
    const CharacterFormat& format = *characterFormats().front();
    EXPECT_TRUE(format.recognizes(document, sizeof document - 1));
    EXPECT_FALSE(format.recognizes(other, sizeof other - 1));
    EXPECT_FALSE(format.recognizes(document, 5)) << "too few bytes to tell";
    EXPECT_TRUE(isCharacterModelName("Tavo.MQO"));
    EXPECT_TRUE(isCharacterMotionName("walk.mkm"));
    EXPECT_FALSE(isCharacterModelName(".mqo")) << "an ending alone names no file";
    EXPECT_TRUE(isCharacterModelName("avatar.vrm"));
    EXPECT_FALSE(isCharacterModelName("notes.txt"));
}

}  // namespace
}  // namespace tavo
