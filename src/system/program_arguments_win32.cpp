#include "system/program_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "resources/wide_text.h"

namespace tavo {

std::vector<std::string> programArguments(int, char**) {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

void useUtf8Console() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace tavo
