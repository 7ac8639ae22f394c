#include <windows.h>

#include "resources/directory_listing.h"
#include "resources/wide_text.h"

namespace tavo {

PathKind pathKind(const std::string& path) {
    if (path.empty()) return PathKind::Missing;
    const DWORD attributes = GetFileAttributesW(wideFromUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? PathKind::Directory : PathKind::File;
}

std::vector<DirectoryEntry> listDirectory(const std::string& path) {
    std::vector<DirectoryEntry> entries;
    std::wstring pattern = wideFromUtf8(path);
    if (pattern.empty()) return entries;
    if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({utf8FromWide(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return entries;
}

std::string absolutePath(const std::string& path) {
    const std::wstring wide = wideFromUtf8(path);
    if (wide.empty()) return path;
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return utf8FromWide(full);
}

char pathSeparator() { return '\\'; }

}  // namespace tavo
