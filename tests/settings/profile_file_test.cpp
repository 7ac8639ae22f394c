#include "settings/profile_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/file_contents.h"
#include "support/temp_directory.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

TEST(ProfileIntTest, ReadsNumbersAsTheWindowsProfileDoes) {
    EXPECT_EQ(parseProfileInt("2"), 2);
    EXPECT_EQ(parseProfileInt(" \t 7"), 7);
    EXPECT_EQ(parseProfileInt("-1"), -1);
    EXPECT_EQ(parseProfileInt("+5"), 5);
    EXPECT_EQ(parseProfileInt("12abc"), 12);
    EXPECT_EQ(parseProfileInt("3 4"), 3);
    EXPECT_EQ(parseProfileInt("1.9"), 1);
    EXPECT_EQ(parseProfileInt("abc"), 0);
    EXPECT_EQ(parseProfileInt("-"), 0);
    EXPECT_EQ(parseProfileInt(""), 0);
}

TEST(ProfileIntTest, PrefixesSelectTheBase) {
    EXPECT_EQ(parseProfileInt("0x1F"), 31);
    EXPECT_EQ(parseProfileInt("0x1f"), 31);
    EXPECT_EQ(parseProfileInt("-0x10"), -16);
    EXPECT_EQ(parseProfileInt("0o17"), 15);
    EXPECT_EQ(parseProfileInt("0b101"), 5);
    EXPECT_EQ(parseProfileInt("0b102"), 2);  // stops at the first non-binary digit
    EXPECT_EQ(parseProfileInt("0x"), 0);
    EXPECT_EQ(parseProfileInt("0X1F"), 0);  // only the lower-case prefix counts
    EXPECT_EQ(parseProfileInt("010"), 10);  // a leading zero is still decimal
}

TEST(ProfileIntTest, LargeValuesWrapInsteadOfOverflowing) {
    EXPECT_EQ(parseProfileInt("4294967297"), 1);
    EXPECT_EQ(parseProfileInt("2147483648"), INT32_MIN);
    EXPECT_EQ(parseProfileInt("0xFFFFFFFF"), -1);
    EXPECT_NO_THROW(parseProfileInt(std::string(10000, '9')));
}

TEST(ProfileFileTest, MissingSectionKeyOrValueGivesTheDefault) {
    const ProfileFile profile = ProfileFile::parse("[Mode]\nFrameSpeed=\nEscapeSpeed=2\n[Other]\nActionSpeed=2\n");
    EXPECT_EQ(profile.getInt("Mode", "FrameSpeed", 7), 7);   // empty value
    EXPECT_EQ(profile.getInt("Mode", "EscapeSpeed", 1), 2);
    EXPECT_EQ(profile.getInt("Mode", "ActionSpeed", 9), 9);  // only in another section
    EXPECT_EQ(profile.getInt("Nothing", "EscapeSpeed", 4), 4);
    EXPECT_EQ(ProfileFile::parse("").getInt("Mode", "FrameSpeed", 3), 3);
}

TEST(ProfileFileTest, NamesAreCaseInsensitiveAndTrimmed) {
    const ProfileFile profile = ProfileFile::parse("  [ mode ]  \n  frameSPEED   =  3  \nEscapeSpeed = \"2\"\n");
    EXPECT_EQ(profile.getInt("Mode", "FrameSpeed", 0), 3);
    EXPECT_EQ(profile.getString("MODE", "framespeed").value_or("?"), "3");
    EXPECT_EQ(profile.getInt("Mode", "EscapeSpeed", 0), 2);  // quotes are removed
}

TEST(ProfileFileTest, TheFirstSectionAndTheFirstKeyWin) {
    const ProfileFile profile =
        ProfileFile::parse("[Mode]\nFrameSpeed=1\nFrameSpeed=2\n[Mode]\nFrameSpeed=3\nEscapeSpeed=3\n");
    EXPECT_EQ(profile.getInt("Mode", "FrameSpeed", 0), 1);
    EXPECT_EQ(profile.getInt("Mode", "EscapeSpeed", 1), 1);  // the second [Mode] is not searched
}

TEST(ProfileFileTest, CommentsAndOddLinesAreNotKeys) {
    const ProfileFile profile =
        ProfileFile::parse("FrameSpeed=3\n[Mode]\n;FrameSpeed=2\n  ; EscapeSpeed=3\nnoequals\n[broken\n=5\n");
    EXPECT_EQ(profile.getInt("Mode", "FrameSpeed", 0), 0);  // before any section or commented out
    EXPECT_EQ(profile.getInt("Mode", "EscapeSpeed", 1), 1);
    EXPECT_EQ(profile.getInt("Mode", "noequals", 4), 4);
}

TEST(ProfileFileTest, RewritingTheSameValuesLeavesTheTextUnchanged) {
    const std::string text =
        "; settings of the mascot\n[Other]\nName=x=y\n\n[Mode]\nFrameSpeed=2\nEscapeSpeed=3\nActionSpeed=1\n";
    ProfileFile profile = ProfileFile::parse(text);
    profile.setInt("Mode", "FrameSpeed", 2);
    profile.setInt("Mode", "EscapeSpeed", 3);
    profile.setInt("Mode", "ActionSpeed", 1);
    EXPECT_EQ(profile.text(), text);
    EXPECT_EQ(profile.getString("Other", "Name").value_or("?"), "x=y");
}

TEST(ProfileFileTest, ChangingAValueKeepsTheKeySpellingAndOtherLines) {
    ProfileFile profile = ProfileFile::parse("[mode]\n  framespeed = 1 ; old\n; note\n[Else]\nK=1\n");
    profile.setInt("Mode", "FrameSpeed", -1);
    EXPECT_EQ(profile.text(), "[mode]\nframespeed=-1\n; note\n[Else]\nK=1\n");
}

TEST(ProfileFileTest, NewKeysGoAfterTheSectionsLastEntry) {
    ProfileFile profile = ProfileFile::parse("[Mode]\nFrameSpeed=1\n; kept\n\n\n[Else]\nK=1\n");
    profile.setInt("Mode", "EscapeSpeed", 2);
    profile.setInt("Else", "L", 3);
    EXPECT_EQ(profile.text(), "[Mode]\nFrameSpeed=1\n; kept\nEscapeSpeed=2\n\n\n[Else]\nK=1\nL=3\n");
}

TEST(ProfileFileTest, AMissingSectionIsAppended) {
    ProfileFile empty;
    empty.setInt("Mode", "FrameSpeed", 0);
    empty.setInt("Mode", "EscapeSpeed", 1);
    EXPECT_EQ(empty.text(), "[Mode]\nFrameSpeed=0\nEscapeSpeed=1\n");

    ProfileFile other = ProfileFile::parse("[Else]\nK=1");  // no final line end
    other.setInt("Mode", "ActionSpeed", 2);
    EXPECT_EQ(other.text(), "[Else]\nK=1\n\n[Mode]\nActionSpeed=2\n");
}

TEST(ProfileFileTest, LineEndingsAndByteOrderMarkAreKept) {
    ProfileFile crlf = ProfileFile::parse("[Mode]\r\nFrameSpeed=3\r\n");
    EXPECT_EQ(crlf.getInt("Mode", "FrameSpeed", 0), 3);
    crlf.setInt("Mode", "EscapeSpeed", 2);
    EXPECT_EQ(crlf.text(), "[Mode]\r\nFrameSpeed=3\r\nEscapeSpeed=2\r\n");

    const std::string bom = "\xEF\xBB\xBF[Mode]\nFrameSpeed=2\n";
    const ProfileFile marked = ProfileFile::parse(bom);
    EXPECT_EQ(marked.getInt("Mode", "FrameSpeed", 0), 2);
    EXPECT_EQ(marked.text(), bom);
}

TEST(ProfileFileTest, ArbitraryBytesNeverBreakTheReader) {
    std::string noise;
    for (int i = 0; i < 4096; ++i) {
        noise.push_back(static_cast<char>((i * 131 + 7) % 256));
    }
    noise += "\n[Mode\n]\n[\n=\n";
    ProfileFile profile = ProfileFile::parse(noise);
    EXPECT_EQ(profile.getInt("Mode", "FrameSpeed", 5), 5);
    profile.setInt("Mode", "FrameSpeed", 1);
    EXPECT_EQ(ProfileFile::parse(profile.text()).getInt("Mode", "FrameSpeed", 5), 1);
}

class ProfileFileOnDiskTest : public ::testing::Test {
protected:
    static std::string read(const fs::path& path) { return test::fileContents(path); }
    size_t entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }

    test::TempDirectory temp_{"profile_file_test"};
    const fs::path dir_ = temp_.path();
};

TEST_F(ProfileFileOnDiskTest, AMissingFileReadsAsEmptyAndIsCreatedBySave) {
    const fs::path path = dir_ / "tavo_3d.ini";
    ProfileFile profile = ProfileFile::load(path.string());
    EXPECT_EQ(profile.getInt("Mode", "EscapeSpeed", 1), 1);
    profile.setInt("Mode", "EscapeSpeed", 1);
    ASSERT_TRUE(profile.save(path.string()));
    EXPECT_EQ(read(path), "[Mode]\nEscapeSpeed=1\n");
    EXPECT_EQ(ProfileFile::load(path.string()).getInt("Mode", "EscapeSpeed", 0), 1);
    EXPECT_EQ(entries(), 1u);  // no temporary file is left behind
}

TEST_F(ProfileFileOnDiskTest, SaveReplacesTheWholeFileAndKeepsItsPermissions) {
    const fs::path path = dir_ / "tavo_3d.ini";
    std::ofstream(path) << "[Mode]\nFrameSpeed=1\nEscapeSpeed=1\nActionSpeed=1\nPadding=" << std::string(500, 'x') << "\n";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ProfileFile profile = ProfileFile::load(path.string());
    profile.setInt("Mode", "FrameSpeed", 3);
    ASSERT_TRUE(profile.save(path.string()));
    EXPECT_EQ(read(path), profile.text());
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProfileFileOnDiskTest, AFailedSaveLeavesTheOldFileAndNoTemporary) {
    ProfileFile profile = ProfileFile::parse("[Mode]\nFrameSpeed=2\n");
    // The target is a directory: the rename fails after the data was written.
    const fs::path blocked = dir_ / "tavo_3d.ini";
    fs::create_directory(blocked);
    std::ofstream(blocked / "inside") << "kept";
    EXPECT_FALSE(profile.save(blocked.string()));
    EXPECT_EQ(read(blocked / "inside"), "kept");
    EXPECT_EQ(entries(), 1u);
    // The directory does not exist: nothing can be written at all.
    EXPECT_FALSE(profile.save((dir_ / "missing" / "tavo_3d.ini").string()));
    EXPECT_EQ(entries(), 1u);
}

}  // namespace
}  // namespace tavo
