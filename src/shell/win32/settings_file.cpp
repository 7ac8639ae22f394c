#include "shell/win32/settings_file.h"

#include <windows.h>

#include <string>

#include "behaviour/executable_directory.h"

namespace tavo {

namespace {

constexpr DWORD kDirectoryBytes = 512;
const char kSection[] = "Mode";
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

void writeChoice(const char* key, int32_t value, const std::string& path) {
    char text[16];
    wsprintfA(text, "%d", static_cast<int>(value));
    WritePrivateProfileStringA(kSection, key, text, path.c_str());
}

}  // namespace

void readSettings(MascotState& state) {
    findExecutableDirectory();
    const std::string path = settingsPath();
    state.frameSpeed = static_cast<int32_t>(GetPrivateProfileIntA(kSection, "FrameSpeed", 0, path.c_str()));
    state.escapeSpeed = static_cast<int32_t>(GetPrivateProfileIntA(kSection, "EscapeSpeed", 1, path.c_str()));
    state.actionSpeed = static_cast<int32_t>(GetPrivateProfileIntA(kSection, "ActionSpeed", 0, path.c_str()));
}

void writeSettings(const MascotState& state) {
    const std::string path = settingsPath();
    writeChoice("FrameSpeed", state.frameSpeed, path);
    writeChoice("EscapeSpeed", state.escapeSpeed, path);
    writeChoice("ActionSpeed", state.actionSpeed, path);
}

}  // namespace tavo
