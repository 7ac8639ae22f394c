#include "shell/linux/settings_file.h"

#include <glib.h>

#include "behaviour/profile_file.h"

namespace tavo {

namespace {

const char kSection[] = "Mode";
const char kFrameSpeed[] = "FrameSpeed";
const char kEscapeSpeed[] = "EscapeSpeed";
const char kActionSpeed[] = "ActionSpeed";

// The directory that holds the file, made with its parents when missing.
void ensureParentDirectory(const std::string& path) {
    gchar* directory = g_path_get_dirname(path.c_str());
    g_mkdir_with_parents(directory, 0755);
    g_free(directory);
}

}  // namespace

void readSettings(const std::string& path, MascotState& state) {
    const ProfileFile profile = ProfileFile::load(path);
    state.frameSpeed = profile.getInt(kSection, kFrameSpeed, 0);
    state.escapeSpeed = profile.getInt(kSection, kEscapeSpeed, 1);
    state.actionSpeed = profile.getInt(kSection, kActionSpeed, 0);
}

bool writeSettings(const std::string& path, const MascotState& state) {
    ensureParentDirectory(path);
    // Read afresh, so that lines edited by hand while the program ran stay.
    ProfileFile profile = ProfileFile::load(path);
    profile.setInt(kSection, kFrameSpeed, state.frameSpeed);
    profile.setInt(kSection, kEscapeSpeed, state.escapeSpeed);
    profile.setInt(kSection, kActionSpeed, state.actionSpeed);
    return profile.save(path);
}

}  // namespace tavo
