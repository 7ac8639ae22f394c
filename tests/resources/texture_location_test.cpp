#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "resources/readable_path.h"
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

// メダカ.jpg in code page 932, as old Japanese models name their textures.
const char kMedaka[] = "\x83\x81\x83\x5F\x83\x4A.jpg";

void touch(const std::filesystem::path& path) { std::ofstream(path, std::ios::binary) << "x"; }

TEST(TextureLocation, CodePage932NamesFindTheirFileInUtf8ThenAsRawBytes) {
    test::TempDirectory folder;
    const std::string base = folder.path().string();
    const std::string utf8 = (folder.path() / "\xE3\x83\xA1\xE3\x83\x80\xE3\x82\xAB.JPG").string();
    const std::string raw = (folder.path() / kMedaka).string();
    EXPECT_EQ(locateTextureFile(base, kMedaka), (folder.path() / "メダカ.jpg").string())
        << "not found: the readable name is given";
    touch(raw);
    EXPECT_EQ(locateTextureFile(base, kMedaka), raw) << "an archive unpacked without conversion";
    touch(utf8);
    EXPECT_EQ(locateTextureFile(base, kMedaka), utf8) << "UTF-8 first, in any letter case";
    // A document that says its names are UTF-8 is taken as it is.
    EXPECT_EQ(locateTextureFile(base, "メダカ.JPG", TextEncoding::Utf8), utf8);
    // Its bytes are no code page 932: the emoji's 0x9F does not swallow the "\\".
    std::filesystem::create_directories(folder.path() / "sub \xF0\x9F\x90\x9F");
    touch(folder.path() / "sub \xF0\x9F\x90\x9F" / "f.png");
    EXPECT_EQ(locateTextureFile(base, "sub \xF0\x9F\x90\x9F\\f.png", TextEncoding::Utf8),
              (folder.path() / "sub \xF0\x9F\x90\x9F" / "f.png").string());
}

TEST(TextureLocation, NamesWithBytesOutsideTheCodePageOpenNoOtherFile) {
    test::TempDirectory folder;
    const std::string replaced = "\xEF\xBF\xBD.png";  // what the bad byte would convert to
    touch(folder.path() / replaced);
    EXPECT_EQ(locateTextureFile(folder.path().string(), "\xFF.png"), (folder.path() / "\xFF.png").string());

    std::string out = "x";
    EXPECT_FALSE(cp932NameInUtf8("a\x83", out)) << "a lead byte at the end";
    EXPECT_EQ(out, "");
    EXPECT_FALSE(cp932NameInUtf8("\xFF", out));
    EXPECT_TRUE(cp932NameInUtf8("", out));
    EXPECT_EQ(out, "") << "a name that converts to nothing";
    // Messages show every name readably: UTF-8 folders as they are, a raw
    // code-page-932 name converted, a byte that is neither replaced.
    EXPECT_EQ(readablePath("/t/\xE5\xA0\xB4 \xF0\x9F\x99\x82/" + std::string(kMedaka)), "/t/場 🙂/メダカ.jpg");
    EXPECT_EQ(readablePath("a/\xFF.png"), "a/" + replaced);
    EXPECT_EQ(readablePath(""), "");

    EXPECT_TRUE(cp932NameInUtf8("\x95\x5C", out));
    EXPECT_EQ(out, "表") << "its trail byte 0x5C is part of the character";
}

}  // namespace
}  // namespace tavo
