#include "shell/linux/settings_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "shell/linux/settings_location.h"
#include "support/file_contents.h"
#include "support/temp_directory.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    std::string path() const { return (dir_ / "tavo_3d" / "tavo_3d.ini").string(); }
    void write(const std::string& text) const {
        fs::create_directories(dir_ / "tavo_3d");
        std::ofstream(path(), std::ios::binary) << text;
    }
    std::string read() const { return test::fileContents(path()); }

    test::TempDirectory temp_{"settings_file_test"};
    const fs::path dir_ = temp_.path();
};

TEST_F(SettingsFileTest, AMissingFileGivesTheDefaults) {
    StoredSettings state;
    state.frameSpeed = 5;
    state.escapeSpeed = 5;
    state.actionSpeed = 5;
    state = readSettings(path());
    EXPECT_EQ(state.frameSpeed, 0);
    EXPECT_EQ(state.escapeSpeed, 1);
    EXPECT_EQ(state.actionSpeed, 0);
}

TEST_F(SettingsFileTest, RawNumbersAreReadForTheHandlersToMap) {
    write("[mode]\nframespeed=9\nEscapeSpeed= -1\nLanguage=en\n");
    StoredSettings state;
    state = readSettings(path());
    EXPECT_EQ(state.frameSpeed, 9);
    EXPECT_EQ(state.escapeSpeed, -1);
    EXPECT_EQ(state.actionSpeed, 0);
    EXPECT_EQ(state.language, "en");
    // Language= is the user's to write: the program's writes keep it.
    state.language.clear();
    ASSERT_TRUE(writeSettings(path(), state));
    EXPECT_EQ(readSettings(path()).language, "en");

    // HideForFullScreen: a value the program does not know reads as on and
    // stays as it is until the choice changes.
    write("[Mode]\nHideForFullScreen=maybe\n");
    state = readSettings(path());
    EXPECT_EQ(state.hideForFullScreen, 1);
    ASSERT_TRUE(writeSettings(path(), state));
    EXPECT_NE(read().find("HideForFullScreen=maybe\n"), std::string::npos);
    state.hideForFullScreen = 0;
    ASSERT_TRUE(writeSettings(path(), state));
    EXPECT_NE(read().find("HideForFullScreen=0\n"), std::string::npos);
    EXPECT_EQ(readSettings(path()).hideForFullScreen, 0);

    // Size: an unknown size or garbage follows the monitor and keeps its
    // bytes; a chosen size replaces it.
    for (const char* kept : {"Size=120\n", "Size=1e9\n", "Size=\xff\x83\n"}) {
        write(std::string("[Mode]\n") + kept);
        state = readSettings(path());
        EXPECT_EQ(state.size, 0) << kept;
        ASSERT_TRUE(writeSettings(path(), state));
        EXPECT_NE(read().find(kept), std::string::npos) << kept;
    }
    write("[Mode]\nSize= 150 \n");
    EXPECT_EQ(readSettings(path()).size, 150);
    state.size = 50;
    ASSERT_TRUE(writeSettings(path(), state));
    EXPECT_NE(read().find("Size=50\n"), std::string::npos);
    EXPECT_EQ(readSettings(path()).size, 50);
}

TEST_F(SettingsFileTest, WritingCreatesTheDirectoryAndKeepsOtherLines) {
    StoredSettings state;
    state.frameSpeed = 3;
    state.escapeSpeed = 2;
    state.actionSpeed = 1;
    ASSERT_TRUE(writeSettings(path(), state));  // neither the directory nor the file exists
    EXPECT_EQ(read(), "[Mode]\nFrameSpeed=3\nEscapeSpeed=2\nActionSpeed=1\n");

    write("; mine\n[Mode]\nActionSpeed=2\n[Else]\nKey=1\n");
    state.actionSpeed = 0;
    ASSERT_TRUE(writeSettings(path(), state));
    EXPECT_EQ(read(), "; mine\n[Mode]\nActionSpeed=0\nFrameSpeed=3\nEscapeSpeed=2\n[Else]\nKey=1\n");

    // A chosen character adds its section; going back to the embedded one
    // empties the path, and the path reads back as written.
    state.characterPath = "/home/someone/\xE3\x82\xAD\xE3\x83\xA3\xE3\x83\xA9/Pip";
    ASSERT_TRUE(writeSettings(path(), state));
    EXPECT_EQ(read(), "; mine\n[Mode]\nActionSpeed=0\nFrameSpeed=3\nEscapeSpeed=2\n[Else]\nKey=1\n\n[Character]\nPath=" +
                          state.characterPath + "\n");
    EXPECT_EQ(readSettings(path()).characterPath, state.characterPath);
    state.characterPath.clear();
    ASSERT_TRUE(writeSettings(path(), state));
    EXPECT_NE(read().find("[Character]\nPath=\n"), std::string::npos);
}

TEST_F(SettingsFileTest, AnUnwritablePlaceOnlyLosesTheSettings) {
    std::ofstream(dir_ / "tavo_3d") << "a file where the directory should be";
    StoredSettings state;
    EXPECT_FALSE(writeSettings(path(), state));
    EXPECT_TRUE(fs::is_regular_file(dir_ / "tavo_3d"));
}

TEST(SettingsLocationTest, FollowsXdgConfigHomeWhenItIsAbsolute) {
    const char* saved = getenv("XDG_CONFIG_HOME");
    const std::string previous = saved != nullptr ? saved : "";

    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(settingsFilePath(), "/somewhere/config/tavo_3d/tavo_3d.ini");

    setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored
    const std::string fallback = settingsFilePath();
    EXPECT_EQ(fallback.rfind("/.config/tavo_3d/tavo_3d.ini"), fallback.size() - 28);
    EXPECT_EQ(fallback.front(), '/');

    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsFilePath(), fallback);

    if (saved != nullptr) setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
}

}  // namespace
}  // namespace tavo
