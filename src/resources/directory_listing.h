#pragma once

#include <string>
#include <vector>

namespace tavo {

// What is found at a path (UTF-8).
enum class PathKind { Missing, File, Directory };
PathKind pathKind(const std::string& path);

struct DirectoryEntry {
    std::string name;  // UTF-8, no directory part
    bool isDirectory = false;
};

// The entries of a directory, "." and ".." left out, in no particular order;
// empty when the directory cannot be read. One file per platform.
std::vector<DirectoryEntry> listDirectory(const std::string& path);

// The path made absolute (against the working directory), with "." and ".."
// resolved when the path exists; the path itself when that fails.
std::string absolutePath(const std::string& path);

// The platform's separator between path parts ('/' or '\\').
char pathSeparator();

}  // namespace tavo
