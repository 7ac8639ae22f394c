#include "language/text_tables.h"

#include "resources/cp932_to_utf8.h"

namespace tavo {

namespace {

const TextTable* const kTables[] = {&kJapaneseTexts, &kEnglishTexts};

// "ja_JP.UTF-8" -> "ja": the language part of a locale name, lower case.
std::string languageCode(const std::string& name) {
    std::string code;
    for (const char c : name) {
        if (c == ' ' || c == '\t') {
            if (code.empty()) continue;
            break;
        }
        if (c == '_' || c == '-' || c == '.' || c == '@') break;
        code += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (code == "c" || code == "posix") return "en";
    return code;
}

}  // namespace

std::string TextTable::utf8(TextId id) const {
    const char* text = raw(id);
    if (text == nullptr) return std::string();
    return encoding == TextEncoding::Cp932 ? cp932ToUtf8(text) : std::string(text);
}

const TextTable* const* textTables(int32_t& count) {
    count = static_cast<int32_t>(sizeof kTables / sizeof kTables[0]);
    return kTables;
}

const TextTable* findTextTable(const std::string& language) {
    const std::string code = languageCode(language);
    if (code.empty()) return nullptr;
    for (const TextTable* table : kTables) {
        if (code == table->language) return table;
    }
    return nullptr;
}

const TextTable& chooseTextTable(const std::string& setting, const std::vector<std::string>& userLanguages) {
    if (const TextTable* chosen = findTextTable(setting)) return *chosen;
    for (const std::string& language : userLanguages) {
        if (const TextTable* found = findTextTable(language)) return *found;
    }
    return kEnglishTexts;
}

}  // namespace tavo
