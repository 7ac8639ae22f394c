#include "formats/metasequoia/text_reader.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "resources/memory_stream.h"

namespace tavo {
namespace {

// Opens the scanning operations to the tests over a text held in memory.
class Scanner : public TextReader {
public:
    explicit Scanner(std::string text) : text_(std::move(text)) {
        stream_.attach(text_.data(), static_cast<int32_t>(text_.size()));
        setStream(&stream_);
    }

    using TextReader::atEnd;
    using TextReader::peekByte;
    using TextReader::readFloat;
    using TextReader::readFloatIfAny;
    using TextReader::readInt;
    using TextReader::readIntIfAny;
    using TextReader::readLine;
    using TextReader::readQuoted;
    using TextReader::readToken;
    using TextReader::reserveLimit;
    using TextReader::skipPast;

    std::string rest() {
        std::string out;
        while (peekByte() >= 0) {
            char c = 0;
            stream_.read(&c, 1);
            out.push_back(c);
        }
        return out;
    }

    std::string token() {
        std::string word;
        readToken(word);
        return word;
    }

private:
    std::string text_;
    MemoryStream stream_;
};

TEST(TextReaderTest, ReadLineKeepsEitherLineBreakPairAndStopsAtTheEnd) {
    Scanner s("ab\r\ncd\nef\n\rgh\r\rij");
    char line[256];
    EXPECT_EQ(s.readLine(line, 256), 4);
    EXPECT_STREQ(line, "ab\r\n");
    EXPECT_EQ(s.readLine(line, 256), 3);
    EXPECT_STREQ(line, "cd\n");
    EXPECT_EQ(s.readLine(line, 256), 4);
    EXPECT_STREQ(line, "ef\n\r");
    EXPECT_EQ(s.readLine(line, 256), 3);  // a second CR starts the next line
    EXPECT_STREQ(line, "gh\r");
    EXPECT_EQ(s.readLine(line, 256), 1);
    EXPECT_STREQ(line, "\r");
    EXPECT_EQ(s.readLine(line, 256), 2);
    EXPECT_STREQ(line, "ij");
    EXPECT_EQ(s.readLine(line, 256), 0);
    EXPECT_STREQ(line, "");
}

TEST(TextReaderTest, ReadLineStoresAtMostSizeMinusOneAndDropsTheRestOfTheLine) {
    Scanner s(std::string(300, 'x') + "\r\nnext\n");
    char line[16];
    line[15] = '#';
    EXPECT_EQ(s.readLine(line, 8), 7);
    EXPECT_STREQ(line, "xxxxxxx");
    EXPECT_EQ(line[15], '#');
    EXPECT_EQ(s.readLine(line, 16), 5);
    EXPECT_STREQ(line, "next\n");

    Scanner tiny("abc\n");
    char one[1] = {'#'};
    EXPECT_EQ(tiny.readLine(one, 1), 0);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(tiny.readLine(one, 0), 0);  // nothing read at all
    EXPECT_TRUE(tiny.atEnd());
}

TEST(TextReaderTest, ReadTokenSkipsLeadingDelimitersAndLeavesTheEndingOne) {
    Scanner s("  \t\r\nObject\t\"x\" {( Scene{ a},\"b\")  ");
    EXPECT_EQ(s.token(), "Object");
    EXPECT_EQ(s.peekByte(), '\t');
    EXPECT_EQ(s.token(), "\"x\"");
    EXPECT_EQ(s.token(), "Scene");
    EXPECT_EQ(s.peekByte(), '{');
    EXPECT_EQ(s.token(), "a},\"b\")");
    EXPECT_EQ(s.token(), "");
    EXPECT_TRUE(s.atEnd());
}

TEST(TextReaderTest, ReadQuotedDropsLeadingBytesAndKeepsDoubleByteNamesWhole) {
    // "\x83\x7D\x83\x65\x83\x8A\x83\x41\x83\x8B\x5B\x31\x5D" is マテリアル[1]; the
    // second byte of the first character is "}" and nothing but a double
    // quote ends the text.
    Scanner s("\t{x \"\x83\x7D\x83\x65\x83\x8A\x83\x41\x83\x8B\x5B\x31\x5D\" col");
    std::string text = "old";
    s.readQuoted(text);
    EXPECT_EQ(text, "\x83\x7D\x83\x65\x83\x8A\x83\x41\x83\x8B\x5B\x31\x5D");
    EXPECT_EQ(s.rest(), " col");

    Scanner open("ab \"unterminated");
    open.readQuoted(text);
    EXPECT_EQ(text, "unterminated");
    EXPECT_TRUE(open.atEnd());

    Scanner none("no quote");
    none.readQuoted(text);
    EXPECT_EQ(text, "");
    EXPECT_TRUE(none.atEnd());
}

TEST(TextReaderTest, SkipPastConsumesTheByteAndReportsTheEnd) {
    Scanner s("ab}cd}");
    EXPECT_TRUE(s.skipPast('}'));
    EXPECT_EQ(s.rest(), "cd}");
    Scanner t("abc");
    EXPECT_FALSE(t.skipPast('}'));
    EXPECT_TRUE(t.atEnd());
    Scanner high("a\x83" "b");
    EXPECT_TRUE(high.skipPast('\x83'));
    EXPECT_EQ(high.rest(), "b");
}

TEST(TextReaderTest, ReadIntFollowsAtoi) {
    struct Case {
        const char* text;
        int32_t value;
        bool took;
        const char* rest;
        bool whole;  // no warning
    };
    const Case cases[] = {
        {"  \r\n\t42)", 42, true, ")", true},
        {"-17 5", -17, true, " 5", true},
        {"12-3x", 12, true, "x", false},
        {"-", 0, true, "", false},
        {"--5", 0, true, "", false},
        {"+5", 0, false, "+5", false},
        {"1.5", 1, true, ".5", true},
        {")", 0, false, ")", false},
        {"", 0, false, "", false},
        {"99999999999", 2147483647, true, "", false},
        {"-99999999999", -2147483647 - 1, true, "", false},
    };
    for (const Case& c : cases) {
        Scanner s(c.text);
        int32_t value = 1234;
        EXPECT_EQ(s.readInt(value, "n"), c.took) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(s.rest(), c.rest) << c.text;
        EXPECT_EQ(s.warnings().empty(), c.whole) << c.text;

        Scanner quiet(c.text);
        EXPECT_EQ(quiet.readIntIfAny(value), c.took) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_TRUE(quiet.warnings().empty()) << c.text;
    }
}

TEST(TextReaderTest, ReadFloatTakesDigitsMinusAndDotOnly) {
    struct Case {
        const char* text;
        float value;
        const char* rest;
    };
    const Case cases[] = {
        {"-.5 ", -0.5f, " "},
        {"2.5e+01", 2.5f, "e+01"},
        {"1e-05", 1.0f, "e-05"},
        {"+1", 0.0f, "+1"},
        {"0.38665)", 0.38665f, ")"},
        {"1.2.3", 1.2f, ""},
        {".", 0.0f, ""},
        {"-0.000", -0.0f, ""},
    };
    for (const Case& c : cases) {
        Scanner s(c.text);
        float value = 99.0f;
        s.readFloatIfAny(value);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(s.rest(), c.rest) << c.text;
    }
}

TEST(TextReaderTest, NumbersStopAfterSixtyThreeBytes) {
    Scanner s(std::string(63, '1') + "2");
    float value = 0.0f;
    s.readFloatIfAny(value);
    EXPECT_EQ(value, HUGE_VALF);  // 1.1e62 is beyond the float range
    EXPECT_EQ(s.rest(), "2");

    Scanner i(std::string(70, '7'));
    int32_t n = 0;
    i.readIntIfAny(n);
    EXPECT_EQ(n, 2147483647);
    EXPECT_EQ(i.rest(), "7777777");
}

TEST(TextReaderTest, DecimalPointDoesNotDependOnTheLocale) {
    const char* candidates[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"};
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    bool switched = false;
    for (const char* name : candidates) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            switched = true;
            break;
        }
    }
    Scanner s("0.25 ");
    float value = 0.0f;
    s.readFloatIfAny(value);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(value, 0.25f);
    if (!switched) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
}

TEST(TextReaderTest, ReserveLimitNeverExceedsWhatTheDataCouldHold) {
    Scanner s(std::string(100, ' '));
    EXPECT_EQ(s.reserveLimit(-5, 1), 0);
    EXPECT_EQ(s.reserveLimit(30, 2), 30);
    EXPECT_EQ(s.reserveLimit(2000000000, 12), 8);
    EXPECT_EQ(s.reserveLimit(2000000000, 0), 100);
}

}  // namespace
}  // namespace tavo
