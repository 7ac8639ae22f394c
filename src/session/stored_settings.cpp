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
    settings.characterPath = profile.getString(kCharacterSection, kPath).value_or("");
    return settings;
}

void writeStoredSettings(ProfileFile& profile, const StoredSettings& settings) {
    profile.setInt(kModeSection, kFrameSpeed, settings.frameSpeed);
    profile.setInt(kModeSection, kEscapeSpeed, settings.escapeSpeed);
    profile.setInt(kModeSection, kActionSpeed, settings.actionSpeed);
    writeCharacterPath(profile, settings.characterPath);
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
