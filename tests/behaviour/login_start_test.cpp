// The start-at-login item on Linux, through the menu command, in a private
// XDG_CONFIG_HOME.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "system/autostart_entry.h"
#include "behaviour/login_start_item.h"
#include "system/login_start.h"
#include "behaviour/menu_commands.h"
#include "recording_shell.h"
#include "support/temp_directory.h"

namespace tavo {
namespace {

class LoginStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        hadPrevious_ = previous != nullptr;
        if (hadPrevious_) previous_ = previous;
        setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
        shell_.checks[kCommandStartAtLogin] = false;
    }
    void TearDown() override {
        if (hadPrevious_) {
            setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }
    std::string entryPath() const { return (config_.path() / "autostart" / "tavo_3d.desktop").string(); }
    CommandResult choose() {
        MascotState state;
        return handleMenuCommand(state, shell_, kCommandStartAtLogin);
    }

    test::TempDirectory config_;
    RecordingShell shell_;
    std::string previous_;
    bool hadPrevious_ = false;
};

TEST_F(LoginStartTest, ChoosingTheItemWritesAndRemovesTheAutostartEntry) {
    showStartAtLogin(shell_);
    EXPECT_FALSE(shell_.checks[kCommandStartAtLogin]);

    ASSERT_EQ(choose(), CommandResult::Handled);
    EXPECT_TRUE(shell_.checks[kCommandStartAtLogin]);
    std::ifstream file(entryPath());
    std::stringstream text;
    text << file.rdbuf();
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    EXPECT_NE(text.str().find("\nExec=" + execArgument(self) + "\n"), std::string::npos) << text.str();
    EXPECT_EQ(text.str().rfind("[Desktop Entry]\n", 0), 0u);

    showStartAtLogin(shell_);
    EXPECT_TRUE(shell_.checks[kCommandStartAtLogin]) << "the mark reads the file";
    choose();
    EXPECT_FALSE(shell_.checks[kCommandStartAtLogin]);
    EXPECT_FALSE(std::ifstream(entryPath()).good());
    EXPECT_TRUE(shell_.boxes.empty());

    // An entry the session switched off does not count, and choosing the
    // item writes a working one over it.
    std::ofstream(entryPath()) << "[Desktop Entry]\nExec=/bin/true\nHidden=true\n";
    showStartAtLogin(shell_);
    EXPECT_FALSE(shell_.checks[kCommandStartAtLogin]);
    choose();
    EXPECT_TRUE(shell_.checks[kCommandStartAtLogin]);
}

TEST_F(LoginStartTest, AFolderThatCannotBeMadeShowsWhyAndKeepsTheMark) {
    std::ofstream((config_.path() / "autostart").string()) << "a file where the folder should be";
    choose();
    EXPECT_FALSE(shell_.checks[kCommandStartAtLogin]);
    ASSERT_EQ(shell_.boxes.size(), 1u);
    EXPECT_NE(shell_.boxes[0].first.find((config_.path() / "autostart").string()), std::string::npos)
        << shell_.boxes[0].first;
    EXPECT_EQ(shell_.boxes[0].second, "\x83\x8D\x83\x4F\x83\x43\x83\x93\x8E\x9E\x82\xC9\x8B\x4E\x93\xAE");
}

TEST(AutostartEntryTest, ExecArgumentQuotesWhatTheEntryFormatReserves) {
    EXPECT_EQ(execArgument("/usr/bin/tavo_3d"), "/usr/bin/tavo_3d");
    EXPECT_EQ(execArgument("/opt/my apps/t$x%"), "\"/opt/my apps/t\\\\$x%%\"");
    EXPECT_EQ(execArgument("/a\"b"), "\"/a\\\\\"b\"");
}

}  // namespace
}  // namespace tavo
