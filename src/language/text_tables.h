#pragma once

#include <string>
#include <vector>

#include "language/text_table.h"

namespace tavo {

// The languages the program speaks, Japanese first. A new language is one
// more table here (see docs/languages.md).
const TextTable* const* textTables(int32_t& count);

// The table of a language code or a locale name: "ja", "ja_JP.UTF-8",
// "en-GB", "de_DE@euro": the part before the first '_', '-', '.' or '@',
// in any case, blanks around it ignored. "C" and "POSIX" are English. Null
// when there is none.
const TextTable* findTextTable(const std::string& language);

// The texts to show: those the Language= setting names ("ja", "en"; empty
// or unknown means automatic), else those of the first of the user's
// languages that has a table, else English.
const TextTable& chooseTextTable(const std::string& setting, const std::vector<std::string>& userLanguages);

}  // namespace tavo
