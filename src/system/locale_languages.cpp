#include "system/locale_languages.h"

namespace tavo {

namespace {

bool isSet(const char* value) { return value != nullptr && value[0] != '\0'; }

}  // namespace

std::vector<std::string> localeLanguages(const char* language, const char* lcAll, const char* lcMessages,
                                         const char* lang) {
    std::vector<std::string> languages;
    if (isSet(language)) {
        std::string entry;
        for (const char* c = language;; ++c) {
            if (*c == ':' || *c == '\0') {
                if (!entry.empty()) languages.push_back(entry);
                entry.clear();
                if (*c == '\0') break;
            } else {
                entry += *c;
            }
        }
    }
    for (const char* variable : {lcAll, lcMessages, lang}) {
        if (isSet(variable)) {
            languages.push_back(variable);
            break;
        }
    }
    return languages;
}

}  // namespace tavo
