#include "system/user_languages.h"

#include <cstdlib>

#include "system/locale_languages.h"

namespace tavo {

std::vector<std::string> userLanguages() {
    return localeLanguages(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                           std::getenv("LANG"));
}

}  // namespace tavo
