#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "session/character_locations.h"

namespace tavo {

namespace {

const char kCharacters[] = "/tavo_3d/characters";

// An environment value that is an absolute path, else nothing.
std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

std::string homeFolder() {
    const std::string home = absoluteVariable("HOME");
    if (!home.empty()) return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

std::vector<std::string> dataFolders() {
    const char* value = std::getenv("XDG_DATA_DIRS");
    const std::string list = value != nullptr && value[0] != '\0' ? value : "/usr/local/share:/usr/share";
    std::vector<std::string> folders;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        const std::string folder = list.substr(start, end - start);
        if (!folder.empty() && folder[0] == '/') folders.push_back(folder);  // relative entries are ignored
        start = end + 1;
    }
    return folders;
}

}  // namespace

std::vector<std::string> characterBaseFolders() {
    std::vector<std::string> folders;
    std::string dataHome = absoluteVariable("XDG_DATA_HOME");
    if (dataHome.empty()) {
        const std::string home = homeFolder();
        if (!home.empty()) dataHome = home + "/.local/share";
    }
    if (!dataHome.empty()) folders.push_back(dataHome + kCharacters);
    for (const std::string& folder : dataFolders()) folders.push_back(folder + kCharacters);
    return folders;
}

}  // namespace tavo
