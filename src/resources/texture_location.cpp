#include "resources/texture_location.h"

#include "resources/cp932_text.h"

namespace tavo {

namespace {

bool isSeparator(char c) {
#if defined(_WIN32)
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// "\" becomes "/", except where 0x5C is the second byte of a double-byte
// character.
std::string withForwardSlashes(const char* name) {
    std::string out;
    for (const char* p = name; *p != '\0'; ++p) {
        if (isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
            out += p[0];
            out += p[1];
            ++p;
        } else {
            out += *p == '\\' ? '/' : *p;
        }
    }
    return out;
}

bool isAbsolute(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '/' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return (!path.empty() && path[0] == '/') || drive;
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return isSeparator(folder.back()) ? folder + name : folder + "/" + name;
}

}  // namespace

std::string modelFolderOf(const std::string& modelPath) {
    size_t cut = std::string::npos;
    for (size_t i = 0; i < modelPath.size(); ++i) {
        if (isSeparator(modelPath[i])) {
            cut = i;
        }
#if defined(_WIN32)
        // An ANSI path in code page 932: a trail byte 0x5C is no separator.
        if (isLeadByte(static_cast<unsigned char>(modelPath[i]))) {
            ++i;
        }
#endif
    }
    if (cut == std::string::npos) {
        return ".";
    }
    return cut == 0 ? "/" : modelPath.substr(0, cut);
}

std::string locateTextureFile(const std::string& modelFolder, const char* name) {
    if (name == nullptr) {
        return "";
    }
    const std::string relative = withForwardSlashes(name);
    const std::string first = isAbsolute(relative) ? relative : joined(modelFolder, relative);
    std::string found;
    if (lookupFileIgnoringCase(first, found)) {
        return found;
    }
    const size_t lastSlash = relative.rfind('/');
    if (lastSlash != std::string::npos && !modelFolder.empty() &&
        lookupFileIgnoringCase(joined(modelFolder, relative.substr(lastSlash + 1)), found)) {
        return found;
    }
    return modelFolder.empty() ? std::string(name) : first;
}

}  // namespace tavo
