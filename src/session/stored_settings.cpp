#include "session/stored_settings.h"

#include "settings/profile_file.h"

namespace tavo {

using namespace settings_keys;

StoredSettings readStoredSettings(const ProfileFile& profile) {
    StoredSettings settings;
    settings.frameSpeed = profile.getInt(kModeSection, kFrameSpeed, kFrameSpeedDefault);
    settings.escapeSpeed = profile.getInt(kModeSection, kEscapeSpeed, kEscapeSpeedDefault);
    settings.actionSpeed = profile.getInt(kModeSection, kActionSpeed, kActionSpeedDefault);
    settings.language = profile.getString(kModeSection, kLanguage).value_or("");
    settings.hideForFullScreen = readHideForFullScreen(profile);
    settings.characterPath = profile.getString(kCharacterSection, kPath).value_or("");
    return settings;
}

void writeStoredSettings(ProfileFile& profile, const StoredSettings& settings) {
    profile.setInt(kModeSection, kFrameSpeed, settings.frameSpeed);
    profile.setInt(kModeSection, kEscapeSpeed, settings.escapeSpeed);
    profile.setInt(kModeSection, kActionSpeed, settings.actionSpeed);
    writeHideForFullScreen(profile, settings.hideForFullScreen);
    writeCharacterPath(profile, settings.characterPath);
}

int32_t readHideForFullScreen(const ProfileFile& profile) {
    std::string stored = profile.getString(kModeSection, kHideForFullScreen).value_or("");
    const size_t first = stored.find_first_not_of(" \t\r");
    const size_t last = stored.find_last_not_of(" \t\r");
    stored = first == std::string::npos ? std::string() : stored.substr(first, last - first + 1);
    return stored == "0" ? 0 : 1;
}

bool writeHideForFullScreen(ProfileFile& profile, int32_t value) {
    const int32_t wanted = value == 0 ? 0 : 1;
    if (readHideForFullScreen(profile) == wanted) return false;
    profile.setInt(kModeSection, kHideForFullScreen, wanted);
    return true;
}

bool writeCharacterPath(ProfileFile& profile, const std::string& path) {
    const std::optional<std::string> stored = profile.getString(kCharacterSection, kPath);
    if (stored ? *stored == path : path.empty()) {
        return false;
    }
    profile.setString(kCharacterSection, kPath, path);
    return true;
}

}  // namespace tavo
