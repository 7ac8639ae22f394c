#include <windows.h>

#include "resources/texture_location.h"
#include "resources/wide_text.h"

namespace tavo {

// Windows file systems compare names without regard to case already. Paths
// are UTF-8 and asked through the wide API, so any name is found; bytes that
// are not UTF-8 (an old code-page-932 name) go to the ANSI API as before.
bool lookupFileIgnoringCase(const std::string& path, std::string& found) {
    if (path.empty()) {
        return false;
    }
    bool valid = false;
    const std::wstring wide = wideFromUtf8(path, &valid);
    const DWORD attributes = valid ? GetFileAttributesW(wide.c_str()) : GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    found = path;
    return true;
}

}  // namespace tavo
