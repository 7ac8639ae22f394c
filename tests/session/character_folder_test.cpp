#include "session/character_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "session/character_catalog.h"
#include "support/temp_directory.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(CharacterFolder, DescribesAFolderOrItsModelAndSaysWhatIsWrong) {
    test::TempDirectory temp("character_folder_test");
    const fs::path pip = temp.path() / "pip";
    writeFile(pip / "Pip.MQO", "model");
    writeFile(pip / "pip.mkm", "motions");
    writeFile(pip / "Character.ini", "\xEF\xBB\xBF[Character]\nName=\xE3\x83\x94\xE3\x83\x83\xE3\x83\x97\nMotion=2\nScale=0.5\n");

    CharacterFolder character;
    LoadError error;
    ASSERT_TRUE(describeCharacterFolder((pip / "." / "Pip.MQO").string(), character, error))
        << error.describe();
    EXPECT_EQ(character.folder, fs::canonical(pip).string());
    EXPECT_EQ(character.files.modelPath, fs::canonical(pip / "Pip.MQO").string());
    EXPECT_EQ(character.files.motionPath, character.folder + "/pip.mkm");
    EXPECT_EQ(character.name, "\xE3\x83\x94\xE3\x83\x83\xE3\x83\x97");  // ピップ
    EXPECT_EQ(character.files.motion, 2);
    EXPECT_EQ(character.files.scale, 0.5f);

    // Without character.ini: the folder's name, the default motion, fitted.
    fs::remove(pip / "Character.ini");
    ASSERT_TRUE(describeCharacterFolder(pip.string() + "/", character, error)) << error.describe();
    EXPECT_EQ(character.name, "pip");
    EXPECT_EQ(character.files.motion, -1);
    EXPECT_EQ(character.files.scale, 0.0f);

    const auto reason = [&](const std::string& path) {
        error = LoadError();
        EXPECT_FALSE(describeCharacterFolder(path, character, error)) << path;
        return error.describe();
    };
    EXPECT_EQ(reason((temp.path() / "nobody").string()), "there is no such file or folder");
    EXPECT_EQ(reason((pip / "pip.mkm").string()), "not a character folder or a model file (.mqo, .vrm, .glb or .gltf)");
    writeFile(pip / "character.ini", "[Character]\nScale=big\n");
    EXPECT_EQ(reason(pip.string()), "character.ini: Scale=big is not a positive number");
    writeFile(pip / "character.ini", "[Character]\nMotion=-1\n");
    EXPECT_EQ(reason(pip.string()), "character.ini: Motion=-1 is not a motion number (0, 1, 2, ...)");
    writeFile(pip / "other.mqo", "model");
    EXPECT_NE(reason(pip.string()).find("more than one .mqo"), std::string::npos);
    EXPECT_EQ(reason(temp.path().string()), "the folder holds no .mqo, .vrm, .glb or .gltf model");
}

// A VRM Animation for an avatar: named by Motion= among several in its
// folder, or beside a bare .vrm under the same name.
TEST(CharacterFolder, AVrmAnimationIsNamedByMotionOrSitsBesideABareAvatar) {
    test::TempDirectory temp("character_folder_vrma_test");
    const fs::path folder = temp.path() / "dancer";
    writeFile(folder / "dancer.vrm", "glTF");
    writeFile(folder / "walk.vrma", "glTF");
    writeFile(folder / "spin.vrma", "glTF");
    writeFile(folder / "character.ini", "[Character]\nMotion=spin.vrma\n");
    CharacterFolder character;
    LoadError error;
    ASSERT_TRUE(describeCharacterFolder(folder.string(), character, error)) << error.describe();
    EXPECT_EQ(character.files.motionPath, fs::canonical(folder).string() + "/spin.vrma");
    EXPECT_TRUE(character.files.motionName.empty());
    fs::remove(folder / "character.ini");
    EXPECT_FALSE(describeCharacterFolder(folder.string(), character, error)) << "two motions and none named";

    const fs::path bare = temp.path() / "pip.vrm";
    writeFile(bare, "glTF");
    CharacterFolder alone;
    ASSERT_TRUE(describeCharacterFolder(bare.string(), alone, error)) << error.describe();
    EXPECT_TRUE(alone.files.motionPath.empty());
    writeFile(temp.path() / "pip.vrma", "glTF");
    ASSERT_TRUE(describeCharacterFolder(bare.string(), alone, error)) << error.describe();
    EXPECT_EQ(alone.files.motionPath, fs::canonical(temp.path()).string() + "/pip.vrma");
}

TEST(CharacterCatalog, ListsModelFoldersByNameAndAnEarlierFolderHidesTheSameName) {
    test::TempDirectory temp("character_catalog_test");
    const fs::path mine = temp.path() / "mine";
    const fs::path installed = temp.path() / "installed";
    writeFile(mine / "zed" / "z.mqo", "");
    writeFile(mine / "Bob" / "b.mqo", "");
    writeFile(mine / "empty" / "readme.txt", "");
    writeFile(installed / "alice" / "a.mqo", "");
    writeFile(installed / "alice" / "character.ini", "[Character]\nName=Alice the First\n");
    writeFile(installed / "zed" / "other.mqo", "");

    const std::vector<FoundCharacter> found =
        findCharacters({mine.string(), (temp.path() / "missing").string(), installed.string()});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].label, "Alice the First");
    EXPECT_EQ(found[1].label, "Bob");
    EXPECT_EQ(found[2].label, "zed");
    EXPECT_EQ(found[2].folder, (mine / "zed").string());
    EXPECT_TRUE(sameFolder(found[2].folder + "/", (mine / "zed").string()));
}

}  // namespace
}  // namespace tavo
