#pragma once

#include <string>
#include <vector>

namespace tavo {

// The user's interface languages, most wanted first, as the system names
// them: on Windows the ISO 639 name of GetUserDefaultUILanguage ("ja"), on
// Linux the locale variables (see localeLanguages). One file per platform.
std::vector<std::string> userLanguages();

}  // namespace tavo
