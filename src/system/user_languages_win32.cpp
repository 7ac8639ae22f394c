#include "system/user_languages.h"

#include <windows.h>

#include "resources/wide_text.h"

namespace tavo {

std::vector<std::string> userLanguages() {
    const LANGID language = GetUserDefaultUILanguage();
    wchar_t name[16] = {};
    if (GetLocaleInfoW(MAKELCID(language, SORT_DEFAULT), LOCALE_SISO639LANGNAME, name, 16) <= 0) {
        return {};
    }
    return {utf8FromWide(name)};
}

}  // namespace tavo
