#include "session/stored_settings.h"

#include "behaviour/mascot_size.h"
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
    settings.size = readSize(profile);
    settings.characterPath = profile.getString(kCharacterSection, kPath).value_or("");
    return settings;
}

void writeStoredSettings(ProfileFile& profile, const StoredSettings& settings) {
    profile.setInt(kModeSection, kFrameSpeed, settings.frameSpeed);
    profile.setInt(kModeSection, kEscapeSpeed, settings.escapeSpeed);
    profile.setInt(kModeSection, kActionSpeed, settings.actionSpeed);
    writeHideForFullScreen(profile, settings.hideForFullScreen);
    writeSize(profile, settings.size);
    writeCharacterPath(profile, settings.characterPath);
}

namespace {

// A [Mode] value without the blanks around it.
std::string trimmedModeValue(const ProfileFile& profile, const char* key) {
    const std::string stored = profile.getString(kModeSection, key).value_or("");
    const size_t first = stored.find_first_not_of(" \t\r");
    const size_t last = stored.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : stored.substr(first, last - first + 1);
}

}  // namespace

int32_t readHideForFullScreen(const ProfileFile& profile) {
    return trimmedModeValue(profile, kHideForFullScreen) == "0" ? 0 : 1;
}

int32_t readSize(const ProfileFile& profile) {
    const std::string stored = trimmedModeValue(profile, kSize);
    for (const int32_t size : kSizeChoices) {
        if (stored == std::to_string(size)) return size;
    }
    return 0;
}

bool writeSize(ProfileFile& profile, int32_t value) {
    if (!isSizeChoice(value) || readSize(profile) == value) return false;
    profile.setInt(kModeSection, kSize, value);
    return true;
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
