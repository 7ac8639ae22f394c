#include <gtest/gtest.h>

#include "resources/cp932_text.h"

namespace tavo {
namespace {

TEST(FindLastChar, FindsTheLastOccurrenceOrNothing) {
    const char* text = "C:\\dir\\tavo.exe";
    EXPECT_EQ(findLastChar(text, '\\'), text + 6);
    EXPECT_EQ(findLastChar(text, 'C'), text);
    EXPECT_EQ(findLastChar(text, '/'), nullptr);
    EXPECT_EQ(findLastChar("", '.'), nullptr);
    EXPECT_EQ(findLastChar(static_cast<const char*>(nullptr), '.'), nullptr);
}

TEST(FindLastChar, SkipsTrailBytesThatLookLikeAscii) {
    // "C:\ソ\x" where the katakana so is 0x83 0x5C: its trail byte is no backslash.
    const char* text = "C:\\\x83\x5C\\x";
    EXPECT_EQ(findLastChar(text, '\\'), text + 5);
    const char* soOnly = "C:\\\x83\x5C";
    EXPECT_EQ(findLastChar(soOnly, '\\'), soOnly + 2);
    // Lead bytes from both ranges hide a '.' that follows them.
    EXPECT_EQ(findLastChar("a\x9F.", '.'), nullptr);
    const char* upper = "a.\xE0.";
    EXPECT_EQ(findLastChar(upper, '.'), upper + 1);
    // 0xA0-0xDF (half-width kana) and 0xF0 are single bytes.
    const char* kana = "a\xB1.";
    EXPECT_EQ(findLastChar(kana, '.'), kana + 2);
}

TEST(FindLastChar, LeadByteBeforeTheTerminatorEndsTheWalk) {
    // The walk must stop at the zero and not read the byte after it.
    const char text[] = {'a', '.', '\x83', '\0', '.', '\0'};
    EXPECT_EQ(findLastChar(text, '.'), text + 1);
    const char leadOnly[] = {'\x83', '\0', '\\', '\0'};
    EXPECT_EQ(findLastChar(leadOnly, '\\'), nullptr);
}

TEST(FindLastChar, ComparesLeadBytesThemselves) {
    const char* text = "x\x83\x83y";
    EXPECT_EQ(findLastChar(text, '\x83'), text + 1);
}

}  // namespace
}  // namespace tavo
