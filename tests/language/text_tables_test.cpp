#include "language/text_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/locale_languages.h"

namespace tavo {
namespace {

// A table with a hole shows an empty label; every text must be there and
// readable, and every language told apart by its code.
TEST(TextTablesTest, EveryTableHasEveryTextAndItsOwnCode) {
    int32_t count = 0;
    const TextTable* const* tables = textTables(count);
    ASSERT_EQ(count, 2);
    for (int32_t t = 0; t < count; ++t) {
        const TextTable& table = *tables[t];
        for (int32_t i = 0; i < kTextCount; ++i) {
            const TextId id = static_cast<TextId>(i);
            ASSERT_NE(table.raw(id), nullptr) << table.language << " text " << i;
            const std::string text = table.utf8(id);
            EXPECT_FALSE(text.empty()) << table.language << " text " << i;
            EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << table.language << " text " << i;
        }
        EXPECT_EQ(findTextTable(table.language), &table);
    }
    EXPECT_EQ(kJapaneseTexts.utf8(TextId::FoulText), "反則だー");
    EXPECT_EQ(kEnglishTexts.utf8(TextId::FrameRateMenu), "Frame rate");
}

TEST(TextTablesTest, LocaleNamesAndSettingsPickTheLanguage) {
    EXPECT_EQ(findTextTable("ja_JP.UTF-8"), &kJapaneseTexts);
    EXPECT_EQ(findTextTable("JA"), &kJapaneseTexts);
    EXPECT_EQ(findTextTable(" ja "), &kJapaneseTexts);
    EXPECT_EQ(findTextTable("en-GB"), &kEnglishTexts);
    EXPECT_EQ(findTextTable("C"), &kEnglishTexts);
    EXPECT_EQ(findTextTable("POSIX"), &kEnglishTexts);
    EXPECT_EQ(findTextTable("C.UTF-8"), &kEnglishTexts);
    EXPECT_EQ(findTextTable("de_DE@euro"), nullptr);
    EXPECT_EQ(findTextTable("jap"), nullptr);
    EXPECT_EQ(findTextTable(""), nullptr);

    // The setting wins when it names a table; empty or unknown is automatic.
    EXPECT_EQ(&chooseTextTable("en", {"ja_JP.UTF-8"}), &kEnglishTexts);
    EXPECT_EQ(&chooseTextTable("ja", {"en_US.UTF-8"}), &kJapaneseTexts);
    EXPECT_EQ(&chooseTextTable("", {"ja_JP.UTF-8"}), &kJapaneseTexts);
    EXPECT_EQ(&chooseTextTable("klingon", {"ja"}), &kJapaneseTexts);
    // The first wanted language that has a table, else English.
    EXPECT_EQ(&chooseTextTable("", {"fr_FR", "ja_JP"}), &kJapaneseTexts);
    EXPECT_EQ(&chooseTextTable("", {"fr_FR", "de"}), &kEnglishTexts);
    EXPECT_EQ(&chooseTextTable("", {}), &kEnglishTexts);
}

TEST(TextTablesTest, LocaleVariablesInTheirOrder) {
    using List = std::vector<std::string>;
    EXPECT_EQ(localeLanguages("fr:ja::de", "C", "en_US", "ja_JP"), (List{"fr", "ja", "de", "C"}));
    EXPECT_EQ(localeLanguages(nullptr, "", "en_US.UTF-8", "ja_JP.UTF-8"), (List{"en_US.UTF-8"}));
    EXPECT_EQ(localeLanguages("", nullptr, nullptr, "ja_JP.UTF-8"), (List{"ja_JP.UTF-8"}));
    EXPECT_EQ(localeLanguages(":", nullptr, nullptr, nullptr), List{});
    // LANGUAGE first: a Japanese list under an English locale is Japanese.
    EXPECT_EQ(&chooseTextTable("", localeLanguages("ja", nullptr, nullptr, "en_US.UTF-8")), &kJapaneseTexts);
}

}  // namespace
}  // namespace tavo
