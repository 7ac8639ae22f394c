#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include <memory>

#include "resources/directory_listing.h"

namespace tavo {

namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};

}  // namespace

PathKind pathKind(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return PathKind::Missing;
    }
    return S_ISDIR(info.st_mode) ? PathKind::Directory : PathKind::File;
}

std::vector<DirectoryEntry> listDirectory(const std::string& path) {
    std::vector<DirectoryEntry> entries;
    std::unique_ptr<DIR, DirectoryCloser> directory(opendir(path.c_str()));
    if (!directory) {
        return entries;
    }
    while (const dirent* entry = readdir(directory.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        // d_type is not filled on every file system: ask stat then.
        const bool isDirectory = entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK
                                     ? pathKind(path + "/" + name) == PathKind::Directory
                                     : entry->d_type == DT_DIR;
        entries.push_back({name, isDirectory});
    }
    return entries;
}

std::string absolutePath(const std::string& path) {
    if (path.empty()) return path;
    if (char* resolved = realpath(path.c_str(), nullptr)) {
        std::string result = resolved;
        std::free(resolved);
        return result;
    }
    if (path.front() == '/') return path;
    char directory[PATH_MAX];
    return getcwd(directory, sizeof directory) != nullptr ? std::string(directory) + "/" + path : path;
}

char pathSeparator() { return '/'; }

}  // namespace tavo
