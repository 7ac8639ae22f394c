#pragma once

#include <string>
#include <vector>

namespace tavo {

// The user's languages as the POSIX locale variables give them, most
// wanted first: each entry of the colon-separated LANGUAGE list, then the
// first of LC_ALL, LC_MESSAGES and LANG that is set and not empty. Null
// stands for a variable that is not set.
std::vector<std::string> localeLanguages(const char* language, const char* lcAll, const char* lcMessages,
                                         const char* lang);

}  // namespace tavo
