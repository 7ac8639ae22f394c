#include "resources/cp932_to_utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "behaviour/menu_commands.h"

namespace tavo {
namespace {

TEST(Cp932ToUtf8Test, TheMenuReadsAsTheProgramMeansIt) {
    const std::vector<std::string> expected = {
        "描画回数", "10fps", "15fps", "20fps", "30fps",
        "逃げる速度", "好きな人だー", "苦手な人だー", "捕まらないんだー", "何をするだァー",
        "振る速度", "普通だからー", "速いんだからー", "マジなんだからー", "キャラクター", "サイズ", "50%", "75%", "100%", "150%", "200%", "全画面のときは隠れる", "ログイン時に起動", "終了"};
    int32_t count = 0;
    const MenuEntry* entries = menuEntries(count);
    std::vector<std::string> labels;
    for (int32_t i = 0; i < count; ++i) {
        if (entries[i].kind == MenuEntry::Submenu || entries[i].kind == MenuEntry::Item) {
            labels.push_back(kJapaneseTexts.utf8(entries[i].label));
        }
    }
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(cp932ToUtf8("\x94\xBD\x91\xA5\x82\xBE\x81\x5B"), "反則だー");
    EXPECT_EQ(cp932ToUtf8("\x81\x49\x81\x49\x81\x49"), "！！！");
}

TEST(Cp932ToUtf8Test, UsesTheWindowsCodePageNotPlainShiftJis) {
    EXPECT_EQ(cp932ToUtf8("\x81\x60"), "\xEF\xBD\x9E");  // U+FF5E, where Shift JIS has the wave dash
    EXPECT_EQ(cp932ToUtf8("\x83\x5C\\"), "ソ\\");         // a trail byte 0x5C is not a backslash
    EXPECT_EQ(cp932ToUtf8(""), "");
}

TEST(Cp932ToUtf8Test, BrokenBytesBecomeReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(cp932ToUtf8("ab\x83"), "ab" + replacement);             // a lead byte at the end
    EXPECT_EQ(cp932ToUtf8("\xFF" "a"), replacement + "a");            // no such byte in the code page
    EXPECT_EQ(cp932ToUtf8("\x8F\x49\xFF\x97\xB9"), "終" + replacement + "了");  // and the rest goes on
}

}  // namespace
}  // namespace tavo
