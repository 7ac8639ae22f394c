#include <windows.h>

#include <cstdlib>

#include "resources/wide_text.h"
#include "session/character_locations.h"

namespace tavo {

namespace {

std::wstring executableFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

std::vector<std::string> characterBaseFolders() {
    std::vector<std::string> folders;
    const std::wstring beside = executableFolder();
    if (!beside.empty()) folders.push_back(utf8FromWide(beside + L"\\characters"));
    if (const wchar_t* appData = _wgetenv(L"APPDATA"); appData != nullptr && appData[0] != L'\0') {
        folders.push_back(utf8FromWide(std::wstring(appData) + L"\\tavo_3d\\characters"));
    }
    return folders;
}

}  // namespace tavo
