#include "resources/texture_location.h"

#include <vector>

#include "resources/cp932_text.h"
#include "resources/cp932_to_utf8.h"

namespace tavo {

namespace {

bool isSeparator(char c) {
#if defined(_WIN32)
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

// "\" becomes "/", except in code page 932 where 0x5C is the second byte
// of a double-byte character.
std::string withForwardSlashes(const char* name, TextEncoding encoding) {
    std::string out;
    for (const char* p = name; *p != '\0'; ++p) {
        if (encoding == TextEncoding::Cp932 && isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
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
#if defined(_WIN32)
    // An ANSI path in code page 932: a trail byte 0x5C is no separator. The
    // program's own paths are UTF-8, whose bytes are never taken for one.
    const bool ansi = !isWellFormedUtf8(modelPath);
#endif
    size_t cut = std::string::npos;
    for (size_t i = 0; i < modelPath.size(); ++i) {
        if (isSeparator(modelPath[i])) {
            cut = i;
        }
#if defined(_WIN32)
        if (ansi && isLeadByte(static_cast<unsigned char>(modelPath[i]))) {
            ++i;
        }
#endif
    }
    if (cut == std::string::npos) {
        return ".";
    }
    return cut == 0 ? "/" : modelPath.substr(0, cut);
}

bool cp932NameInUtf8(const std::string& name, std::string& out) {
    static const char kReplacement[] = "\xEF\xBF\xBD";  // what a byte that is no character becomes
    out = cp932ToUtf8(name);
    if (out.find(kReplacement) != std::string::npos) {
        out.clear();
        return false;
    }
    return true;
}

std::string locateTextureFile(const std::string& modelFolder, const char* name, TextEncoding encoding) {
    if (name == nullptr) {
        return "";
    }
    const std::string raw = withForwardSlashes(name, encoding);
    // The spellings of the name to try, the readable one first.
    std::vector<std::string> spellings;
    std::string utf8;
    if (encoding == TextEncoding::Cp932 && cp932NameInUtf8(raw, utf8) && utf8 != raw) {
        spellings.push_back(utf8);
#if !defined(_WIN32)
        spellings.push_back(raw);
#endif
    } else {
        spellings.push_back(raw);
    }
    std::string found;
    for (const std::string& relative : spellings) {
        const std::string path = isAbsolute(relative) ? relative : joined(modelFolder, relative);
        if (lookupFileIgnoringCase(path, found)) {
            return found;
        }
    }
    for (const std::string& relative : spellings) {
        const size_t lastSlash = relative.rfind('/');
        if (lastSlash != std::string::npos && !modelFolder.empty() &&
            lookupFileIgnoringCase(joined(modelFolder, relative.substr(lastSlash + 1)), found)) {
            return found;
        }
    }
    const std::string& first = spellings.front();
    return modelFolder.empty() ? std::string(name) : isAbsolute(first) ? first : joined(modelFolder, first);
}

}  // namespace tavo
