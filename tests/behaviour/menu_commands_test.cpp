#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "behaviour/menu_commands.h"
#include "recording_shell.h"

namespace tavo {
namespace {

// Start-up of a program whose settings file held these raw values.
struct Started {
    MascotState state;
    RecordingShell shell;
    Started(int32_t frame, int32_t escape, int32_t action, WindowPosition start = {100, 200}) {
        state.frameSpeed = frame;
        state.escapeSpeed = escape;
        state.actionSpeed = action;
        applyStoredChoices(state, shell, start);
    }
};

TEST(MenuTableTest, GroupsHoldTheirCommandsInOrderAndOnlyTheFavouriteIsGrey) {
    int32_t count = 0;
    const MenuEntry* entries = menuEntries(count);
    ASSERT_EQ(count, 31);
    std::vector<int32_t> commands;
    int32_t depth = 0, submenus = 0, separators = 0;
    for (int32_t i = 0; i < count; ++i) {
        const MenuEntry& entry = entries[i];
        switch (entry.kind) {
        case MenuEntry::Submenu: ++depth; ++submenus; ASSERT_EQ(depth, 1); break;
        case MenuEntry::EndSubmenu: --depth; ASSERT_EQ(depth, 0); break;
        case MenuEntry::Separator: ++separators; EXPECT_EQ(depth, 0); break;
        case MenuEntry::CharacterList: EXPECT_EQ(depth, 1); break;
        case MenuEntry::Item:
            commands.push_back(entry.command);
            EXPECT_EQ(entry.grayed, entry.command == kCommandEscapeSpeedBase) << entry.command;
            break;
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(submenus, 5);
    EXPECT_EQ(separators, 1);
    EXPECT_EQ(commands, (std::vector<int32_t>{4112, 4113, 4114, 4115, 4128, 4129, 4130, 4131,
                                              4144, 4145, 4146, 4160, 4161, 4162, 4163, 4164, 4177, 4176, 4096}));
    EXPECT_STREQ(kJapaneseTexts.raw(entries[count - 1].label), "\x8F\x49\x97\xB9");  // 終了
    EXPECT_STREQ(kEnglishTexts.raw(entries[count - 1].label), "Exit");
    EXPECT_STREQ(kJapaneseTexts.raw(entries[3].label), "20fps");
}

TEST(MenuCommandTest, DispatchesByIdentifier) {
    Started run(0, 1, 0);
    EXPECT_EQ(handleMenuCommand(run.state, run.shell, 4096), CommandResult::Exit);
    for (int32_t ignored : {0, 4097, 4111, 4116, 4127, 4132, 4143, 4147, 4159, 4165, 0x11012}) {
        EXPECT_EQ(handleMenuCommand(run.state, run.shell, ignored), CommandResult::Ignored)
            << ignored;
    }
    EXPECT_EQ(run.state.frameSpeed, 0);
    EXPECT_EQ(handleMenuCommand(run.state, run.shell, 4146), CommandResult::Handled);
    EXPECT_EQ(run.state.actionSpeed, 2);
    EXPECT_FLOAT_EQ(run.state.actionFactor, 1.0f);
}

TEST(MenuCommandTest, FrameSpeedChoiceMovesCheckAndWindowButKeepsDirection) {
    Started run(1, 2, 1);
    run.state.posX = 640.0f;
    run.state.posY = 300.0f;
    run.state.movingRight = 1;
    EXPECT_EQ(handleMenuCommand(run.state, run.shell, 4114), CommandResult::Handled);
    EXPECT_EQ(run.shell.checkedIn(0x1010), std::vector<int32_t>{4114});
    EXPECT_EQ(run.state.frameSpeed, 2);
    EXPECT_EQ(run.state.frameIntervalMs, 50);
    EXPECT_FLOAT_EQ(run.state.escapeStep, 15.0f);
    EXPECT_EQ(run.state.posX, 0.0f);
    EXPECT_EQ(run.state.posY, 0.0f);
    EXPECT_EQ(run.state.movingRight, 1);
}

TEST(MenuCommandTest, EscapeAndSwingChoicesLeaveTheWindowWhereItIs) {
    Started run(0, 1, 0);
    run.state.posX = 640.0f;
    handleMenuCommand(run.state, run.shell, 4131);
    handleMenuCommand(run.state, run.shell, 4145);
    EXPECT_EQ(run.state.posX, 640.0f);
    EXPECT_EQ(run.shell.checkedIn(0x1020), std::vector<int32_t>{4131});
    EXPECT_EQ(run.shell.checkedIn(0x1030), std::vector<int32_t>{4145});
    EXPECT_FLOAT_EQ(run.state.escapeStep, 50.0f);
    EXPECT_FLOAT_EQ(run.state.actionFactor, 0.6f);
}

TEST(StoredChoicesTest, DefaultsStartAtTenFramesWithTheStartPosition) {
    Started run(0, 1, 0, {123, 45});
    EXPECT_EQ(run.state.framesPerSecond, 10);
    EXPECT_EQ(run.state.frameIntervalMs, 100);
    EXPECT_FLOAT_EQ(run.state.escapeStep, 20.0f);
    EXPECT_FLOAT_EQ(run.state.actionFactor, 0.3f);
    EXPECT_EQ(run.state.posX, 123.0f);
    EXPECT_EQ(run.state.posY, 45.0f);
    EXPECT_EQ(run.shell.checkedIn(0x1010), std::vector<int32_t>{4112});
    EXPECT_EQ(run.shell.checkedIn(0x1020), std::vector<int32_t>{4129});
    EXPECT_EQ(run.shell.checkedIn(0x1030), std::vector<int32_t>{4144});
    EXPECT_TRUE(run.shell.boxes.empty());
}

TEST(StoredChoicesTest, ValuesOutsideTheMenuAreMappedAndStored) {
    Started frame(9, 12, 7);
    EXPECT_EQ(frame.state.frameSpeed, 0);
    EXPECT_EQ(frame.state.framesPerSecond, 10);
    EXPECT_EQ(frame.shell.checkedIn(0x1010), std::vector<int32_t>{4112});
    EXPECT_EQ(frame.state.escapeSpeed, 3);
    EXPECT_FLOAT_EQ(frame.state.escapeStep, 50.0f);
    EXPECT_EQ(frame.shell.checkedIn(0x1020), std::vector<int32_t>{4131});
    // Out of range swing speed: first item checked, stored 0, factor 0.5.
    EXPECT_EQ(frame.state.actionSpeed, 0);
    EXPECT_FLOAT_EQ(frame.state.actionFactor, 0.5f);
    EXPECT_EQ(frame.shell.checkedIn(0x1030), std::vector<int32_t>{4144});

    Started negative(-1, -1, 0);
    EXPECT_EQ(negative.state.frameSpeed, 0);
    EXPECT_EQ(negative.state.escapeSpeed, -1);  // kept, written back as -1
    EXPECT_FLOAT_EQ(negative.state.escapeStep, 20.0f);
    EXPECT_TRUE(negative.shell.checkedIn(0x1020).empty());
    EXPECT_TRUE(negative.shell.boxes.empty());
}

// A hand-edited file may hold any number; the check mark of the stored value
// is cleared by command number, which must not overflow for the largest.
TEST(StoredChoicesTest, LargestStoredValuesAreMappedWithoutOverflow) {
    Started run(INT32_MAX, INT32_MAX, INT32_MAX);
    EXPECT_EQ(run.state.frameSpeed, 0);
    EXPECT_EQ(run.shell.checkedIn(0x1010), std::vector<int32_t>{4112});
    EXPECT_EQ(run.state.escapeSpeed, 3);
    EXPECT_EQ(run.shell.checkedIn(0x1020), std::vector<int32_t>{4131});
    EXPECT_EQ(run.state.actionSpeed, 0);
    EXPECT_EQ(run.shell.checkedIn(0x1030), std::vector<int32_t>{4144});
}

// Raw values whose command numbers fall into another group (or onto the exit
// item) leave the check marks of that group alone.
TEST(StoredChoicesTest, RawValuesNeverMarkItemsOfAnotherGroup) {
    Started run(1, -16, -31);  // 4128 - 16 is "10fps", 4144 - 31 is "15fps"
    EXPECT_EQ(run.shell.checkedIn(0x1010), std::vector<int32_t>{4113});
    EXPECT_TRUE(run.shell.checkedIn(0x1020).empty());
    EXPECT_EQ(run.shell.checkedIn(0x1030), std::vector<int32_t>{4144});
    EXPECT_EQ(run.state.escapeSpeed, -16);

    // Choosing an escape item clears nothing outside its own group.
    handleMenuCommand(run.state, run.shell, 4130);
    EXPECT_EQ(run.shell.checkedIn(0x1010), std::vector<int32_t>{4113});
    EXPECT_EQ(run.shell.checkedIn(0x1020), std::vector<int32_t>{4130});

    Started onExit(0, -32, 0);  // 4128 - 32 is the exit item
    EXPECT_FALSE(onExit.shell.checks.at(0x1000));
    EXPECT_EQ(onExit.shell.checkedIn(0x1010), std::vector<int32_t>{4112});
}

TEST(StoredChoicesTest, ForbiddenEscapeSpeedComplainsOnceAndRunsWithThree) {
    Started run(2, 0, 1);
    ASSERT_EQ(run.shell.boxes.size(), 1u);
    EXPECT_EQ(run.state.escapeSpeed, 3);
    EXPECT_FLOAT_EQ(run.state.escapeStep, 25.0f);
    EXPECT_EQ(run.shell.checkedIn(0x1020), std::vector<int32_t>{4131});
    // Later frame-speed changes no longer complain.
    handleMenuCommand(run.state, run.shell, 4115);
    EXPECT_EQ(run.shell.boxes.size(), 1u);
}

TEST(StoredChoicesTest, GreyedCommandSentFromOutsideIsStoredAsIs) {
    Started run(0, 1, 0);
    handleMenuCommand(run.state, run.shell, 4128);
    EXPECT_EQ(run.shell.boxes.size(), 1u);
    EXPECT_EQ(run.state.escapeSpeed, 0);
    EXPECT_FLOAT_EQ(run.state.escapeStep, 50.0f);
    EXPECT_EQ(run.shell.checkedIn(0x1020), std::vector<int32_t>{4128});
    // The next frame-speed change complains again and stores 3.
    handleMenuCommand(run.state, run.shell, 4113);
    EXPECT_EQ(run.shell.boxes.size(), 2u);
    EXPECT_EQ(run.state.escapeSpeed, 3);
}

}  // namespace
}  // namespace tavo
