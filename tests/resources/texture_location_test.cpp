#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "resources/texture_location.h"
#include "support/temp_directory.h"

namespace tavo {
namespace {

TEST(TextureLocation, ModelFolderAndNamesThatAreNotFound) {
    EXPECT_EQ(modelFolderOf("chars/bob/bob.mqo"), "chars/bob");
    EXPECT_EQ(modelFolderOf("bob.mqo"), ".");
    EXPECT_EQ(modelFolderOf("/bob.mqo"), "/");
    // No folder (the embedded model): a missing name stays as written.
    EXPECT_EQ(locateTextureFile("", "tavo.png"), "tavo.png");
    EXPECT_EQ(locateTextureFile("/no/such", "sub\\x.png"), "/no/such/sub/x.png");
}

// "表" is 0x95 0x5C in code page 932: its trail byte is no separator.
TEST(TextureLocation, DoubleByteNamesKeepTheirTrailByte) {
    test::TempDirectory folder;
    const std::string name = "\x95\x5C.bmp";
    std::filesystem::create_directories(folder.path() / "Sub");
    std::ofstream(folder.path() / "Sub" / name) << "x";
    EXPECT_EQ(locateTextureFile(folder.path().string(), ("sub\\" + name).c_str()),
              (folder.path() / "Sub" / name).string());
}

}  // namespace
}  // namespace tavo
