#include <windows.h>

#include "resources/texture_location.h"

namespace tavo {

// Windows file systems compare names without regard to case already.
bool lookupFileIgnoringCase(const std::string& path, std::string& found) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    found = path;
    return true;
}

}  // namespace tavo
