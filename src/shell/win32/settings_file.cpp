#include "shell/win32/settings_file.h"

#include <windows.h>

#include <string>

#include "system/executable_directory.h"
#include "settings/profile_file.h"

namespace tavo {

namespace {

using namespace settings_keys;

constexpr DWORD kDirectoryBytes = 512;
const char kFileName[] = "tavo_3d.ini";

// The executable's directory with a trailing backslash, kept for the write.
std::string& exeDir() {
    static std::string directory;
    return directory;
}

void findExecutableDirectory() {
    char path[kDirectoryBytes] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, kDirectoryBytes);
    // A path that did not fit is cut at the buffer's end.
    path[length < kDirectoryBytes ? length : kDirectoryBytes - 1] = '\0';
    exeDir() = executableDirectory(path);
}

std::string settingsPath() { return exeDir() + kFileName; }

int32_t readChoice(const char* key, int32_t defaultValue, const std::string& path) {
    return static_cast<int32_t>(GetPrivateProfileIntA(kModeSection, key, defaultValue, path.c_str()));
}

void writeChoice(const char* key, int32_t value, const std::string& path) {
    char text[16];
    wsprintfA(text, "%d", static_cast<int>(value));
    WritePrivateProfileStringA(kModeSection, key, text, path.c_str());
}

}  // namespace

// [Mode] goes through the system's profile functions; the character's path
// is UTF-8 and goes through the program's own profile reader and writer,
// which keep its bytes as they are.
StoredSettings readSettings() {
    findExecutableDirectory();
    const std::string path = settingsPath();
    StoredSettings settings;
    settings.frameSpeed = readChoice(kFrameSpeed, kFrameSpeedDefault, path);
    settings.escapeSpeed = readChoice(kEscapeSpeed, kEscapeSpeedDefault, path);
    settings.actionSpeed = readChoice(kActionSpeed, kActionSpeedDefault, path);
    settings.characterPath = readStoredSettings(ProfileFile::load(path)).characterPath;
    return settings;
}

void writeSettings(const StoredSettings& settings) {
    const std::string path = settingsPath();
    writeChoice(kFrameSpeed, settings.frameSpeed, path);
    writeChoice(kEscapeSpeed, settings.escapeSpeed, path);
    writeChoice(kActionSpeed, settings.actionSpeed, path);
    ProfileFile profile = ProfileFile::load(path);
    if (writeCharacterPath(profile, settings.characterPath)) {
        profile.save(path);
    }
}

}  // namespace tavo
