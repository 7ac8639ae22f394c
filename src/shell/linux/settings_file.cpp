#include "shell/linux/settings_file.h"

#include <glib.h>

#include "settings/profile_file.h"

namespace tavo {

namespace {

// The directory that holds the file, made with its parents when missing.
void ensureParentDirectory(const std::string& path) {
    gchar* directory = g_path_get_dirname(path.c_str());
    g_mkdir_with_parents(directory, 0755);
    g_free(directory);
}

}  // namespace

StoredSettings readSettings(const std::string& path) { return readStoredSettings(ProfileFile::load(path)); }

bool writeSettings(const std::string& path, const StoredSettings& settings) {
    ensureParentDirectory(path);
    // Read afresh, so that lines edited by hand while the program ran stay.
    ProfileFile profile = ProfileFile::load(path);
    writeStoredSettings(profile, settings);
    return profile.save(path);
}

}  // namespace tavo
