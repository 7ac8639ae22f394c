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

// UTF-8 names and paths hold bytes that code page 932 takes for lead bytes
// (the emoji's 0x9F, the kanji's 0xE5): in UTF-8 they hide nothing.
TEST(FindLastChar, Utf8TextHidesNoSeparatorOrDot) {
    const char* path = "C:\\\xE5\xA0\xB4 \xF0\x9F\x90\x9F\\m.mqo";  // C:\場 🐟\m.mqo
    EXPECT_EQ(findLastChar(path, '\\', TextEncoding::Utf8), path + 11);
    EXPECT_EQ(findLastChar(path, '\\', TextEncoding::Cp932), path + 2);
    const char* name = "\xF0\x9F\x90\x9F.png";
    EXPECT_EQ(findLastChar(name, '.', TextEncoding::Utf8), name + 4);
    EXPECT_EQ(findLastChar(name, '.', TextEncoding::Cp932), nullptr);
}

TEST(Utf8Text, WellFormedOnlyWhenEveryCharacterIs) {
    EXPECT_TRUE(isWellFormedUtf8(""));
    EXPECT_TRUE(isWellFormedUtf8("plain \xC3\xA9 \xE5\xA0\xB4 \xF0\x9F\x99\x82"));  // é 場 🙂
    EXPECT_TRUE(isWellFormedUtf8("\xF4\x8F\xBF\xBF"));                             // U+10FFFF
    EXPECT_FALSE(isWellFormedUtf8("\x83\x5C"));           // code page 932 ソ
    EXPECT_FALSE(isWellFormedUtf8("\xC0\xAF"));           // an overlong "/"
    EXPECT_FALSE(isWellFormedUtf8("\xED\xA0\x80"));       // a surrogate
    EXPECT_FALSE(isWellFormedUtf8("\xF4\x90\x80\x80"));   // past U+10FFFF
    EXPECT_FALSE(isWellFormedUtf8("\xE5\xA0"));           // cut off
    EXPECT_FALSE(isWellFormedUtf8(std::string("\xE5\x00\xB4", 3)));
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
