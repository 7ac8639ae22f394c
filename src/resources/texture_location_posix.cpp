#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "resources/ascii_case.h"
#include "resources/texture_location.h"

namespace tavo {

namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// The entry of folder whose name equals part ignoring letter case; of
// several, the one that sorts first, so the choice does not depend on the
// order the directory lists them in.
bool findEntryIgnoringCase(const std::string& folder, const std::string& part, std::string& entry) {
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) {
        return false;
    }
    bool found = false;
    while (const dirent* item = readdir(dir.get())) {
        const std::string candidate = item->d_name;
        if (compareIgnoringAsciiCase(candidate.c_str(), part.c_str()) == 0 &&
            (!found || candidate < entry)) {
            entry = candidate;
            found = true;
        }
    }
    return found;
}

std::vector<std::string> splitParts(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find('/', start);
        const std::string part =
            path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty()) {
            parts.push_back(part);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return parts;
}

}  // namespace

bool lookupFileIgnoringCase(const std::string& path, std::string& found) {
    if (path.empty()) {
        return false;
    }
    if (isRegularFile(path)) {
        found = path;
        return true;
    }
    std::string current = path[0] == '/' ? "/" : "";
    for (const std::string& part : splitParts(path)) {
        std::string next = current.empty() || current.back() == '/' ? current + part
                                                                   : current + "/" + part;
        if (part != "." && part != ".." && !exists(next)) {
            std::string entry;
            if (!findEntryIgnoringCase(current, part, entry)) {
                return false;
            }
            next = current.empty() || current.back() == '/' ? current + entry
                                                           : current + "/" + entry;
        }
        current = next;
    }
    if (!isRegularFile(current)) {
        return false;
    }
    found = current;
    return true;
}

}  // namespace tavo
