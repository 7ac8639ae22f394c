#pragma once

#include <cstdint>
#include <string>

namespace tavo {

class ProfileFile;

// What tavo_3d.ini keeps from one run to the next: the three menu choices
// (raw, as read; the handlers map them when they are applied) and the chosen
// character's folder (empty for the embedded character).
struct StoredSettings {
    int32_t frameSpeed = 0;
    int32_t escapeSpeed = 1;
    int32_t actionSpeed = 0;
    int32_t hideForFullScreen = 1;  // [Mode] HideForFullScreen: 1 or 0
    int32_t size = 0;  // [Mode] Size: 50, 75, 100, 150 or 200; 0 follows the monitor's scale
    std::string characterPath;  // UTF-8, absolute
    // [Mode] Language: "ja", "en", or empty to follow the system. Only read;
    // the program never writes it.
    std::string language;
};

// The sections and keys of the file, spelled once for both platforms.
namespace settings_keys {
constexpr char kModeSection[] = "Mode";
constexpr char kFrameSpeed[] = "FrameSpeed";
constexpr char kEscapeSpeed[] = "EscapeSpeed";
constexpr char kActionSpeed[] = "ActionSpeed";
constexpr char kLanguage[] = "Language";
constexpr char kHideForFullScreen[] = "HideForFullScreen";
constexpr char kSize[] = "Size";
constexpr char kCharacterSection[] = "Character";
constexpr char kPath[] = "Path";
constexpr int32_t kFrameSpeedDefault = 0;
constexpr int32_t kEscapeSpeedDefault = 1;
constexpr int32_t kActionSpeedDefault = 0;
}  // namespace settings_keys

// Reads the choices and the character path of a profile (defaults for what
// is missing).
StoredSettings readStoredSettings(const ProfileFile& profile);
// Writes the three choices into [Mode] and the character path into
// [Character], leaving every other line as it is.
void writeStoredSettings(ProfileFile& profile, const StoredSettings& settings);
// HideForFullScreen: "1" or "0"; anything else reads as 1 (the default).
int32_t readHideForFullScreen(const ProfileFile& profile);
// Writes it only when the file does not read as the value already, so a file
// that never changed it (or holds a value the program does not know) keeps
// its bytes. True when the profile changed.
bool writeHideForFullScreen(ProfileFile& profile, int32_t value);
// Size: one of the menu's sizes, else 0 (absent, unknown or garbage: follow
// the monitor). Written only when a size was chosen and the file does not
// read as it already; true when the profile changed.
int32_t readSize(const ProfileFile& profile);
bool writeSize(ProfileFile& profile, int32_t value);
// Only the character path. An empty path (the embedded character) is written
// only over a Path that is there already: absent and empty mean the same, so
// a file of a program that never chose a character stays as it was.
// True when the profile changed.
bool writeCharacterPath(ProfileFile& profile, const std::string& path);

}  // namespace tavo
