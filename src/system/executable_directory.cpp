#include "system/executable_directory.h"

#include "resources/cp932_text.h"

namespace tavo {

std::string executableDirectory(const std::string& modulePath, char separator) {
    // findLastChar stops at the first zero byte, as the path itself would.
    const std::string path(modulePath.c_str());
    const char* last = findLastChar(path.c_str(), separator);
    if (last == nullptr) return path + separator;
    return path.substr(0, static_cast<size_t>(last - path.c_str()) + 1);
}

}  // namespace tavo
