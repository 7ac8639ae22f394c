#include "shell/win32/settings_file.h"

#include <windows.h>

#include <string>

#include "resources/wide_text.h"
#include "session/stored_settings.h"
#include "settings/profile_file.h"

namespace tavo {

namespace {

using namespace settings_keys;


const wchar_t kFileName[] = L"tavo_3d.ini";

// The executable's directory with a trailing backslash (UTF-16, any
// characters), kept for the write.
std::wstring& exeDir() {
    static std::wstring directory;
    return directory;
}

void findExecutableDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) {
            path.clear();
            break;
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // cut off: ask again with more room
    }
    const size_t cut = path.rfind(L'\\');
    exeDir() = cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring settingsPath() { return exeDir() + kFileName; }

int32_t readChoice(const char* key, int32_t defaultValue, const std::wstring& path) {
    return static_cast<int32_t>(GetPrivateProfileIntW(wideFromUtf8(kModeSection).c_str(), wideFromUtf8(key).c_str(),
                                                      defaultValue, path.c_str()));
}

void writeChoice(const char* key, int32_t value, const std::wstring& path) {
    const std::wstring text = std::to_wstring(value);
    WritePrivateProfileStringW(wideFromUtf8(kModeSection).c_str(), wideFromUtf8(key).c_str(), text.c_str(),
                               path.c_str());
}

}  // namespace

// [Mode] goes through the system's profile functions (the wide ones: the
// executable may lie in a folder of any name); the character's path is
// UTF-8 and goes through the program's own profile reader and writer, which
// keep its bytes as they are; so does the language, which is only read.
StoredSettings readSettings() {
    findExecutableDirectory();
    const std::wstring path = settingsPath();
    StoredSettings settings;
    settings.frameSpeed = readChoice(kFrameSpeed, kFrameSpeedDefault, path);
    settings.escapeSpeed = readChoice(kEscapeSpeed, kEscapeSpeedDefault, path);
    settings.actionSpeed = readChoice(kActionSpeed, kActionSpeedDefault, path);
    const StoredSettings own = readStoredSettings(ProfileFile::load(utf8FromWide(path)));
    settings.characterPath = own.characterPath;
    settings.language = own.language;
    settings.hideForFullScreen = own.hideForFullScreen;
    settings.size = own.size;
    return settings;
}

void writeSettings(const StoredSettings& settings) {
    const std::wstring path = settingsPath();
    writeChoice(kFrameSpeed, settings.frameSpeed, path);
    writeChoice(kEscapeSpeed, settings.escapeSpeed, path);
    writeChoice(kActionSpeed, settings.actionSpeed, path);
    const std::string utf8 = utf8FromWide(path);
    ProfileFile profile = ProfileFile::load(utf8);
    const bool hideChanged = writeHideForFullScreen(profile, settings.hideForFullScreen);
    const bool sizeChanged = writeSize(profile, settings.size);
    if (writeCharacterPath(profile, settings.characterPath) || hideChanged || sizeChanged) {
        profile.save(utf8);
    }
}

}  // namespace tavo
