#include "session/character_folder.h"

#include <cstring>

#include <charconv>
#include <cmath>
#include <vector>

#include "formats/character_format.h"
#include "resources/ascii_case.h"
#include "resources/directory_listing.h"
#include "resources/memory_stream.h"
#include "settings/profile_file.h"

namespace tavo {

namespace {

const char kIniName[] = "character.ini";
const char kSection[] = "Character";

// The endings the readers take, for messages: ".mqo", ".a or .b", or
// ".a, .b or .c".
std::string endingsOf(bool models) {
    std::vector<std::string> endings;
    for (const CharacterFormat* format : characterFormats()) {
        for (const std::string& ending : models ? format->modelExtensions() : format->motionExtensions()) {
            endings.push_back(ending);
        }
    }
    std::string text;
    for (size_t i = 0; i < endings.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == endings.size() ? " or " : ", ") + endings[i];
    }
    return text;
}

bool isSeparator(char c) { return c == '/' || c == pathSeparator(); }

std::string parentOf(const std::string& path) {
    size_t end = path.size();
    while (end > 1 && isSeparator(path[end - 1])) --end;
    while (end > 0 && !isSeparator(path[end - 1])) --end;
    while (end > 1 && isSeparator(path[end - 1])) --end;
    return path.substr(0, end);
}

std::string join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && isSeparator(folder.back())) return folder + name;
    return folder + pathSeparator() + name;
}

// The files of a folder that some reader takes as models (or as motions).
std::vector<std::string> characterFiles(const std::vector<DirectoryEntry>& entries, bool models) {
    std::vector<std::string> found;
    for (const DirectoryEntry& entry : entries) {
        const bool wanted = models ? isCharacterModelName(entry.name) : isCharacterMotionName(entry.name);
        if (!entry.isDirectory && wanted) found.push_back(entry.name);
    }
    return found;
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// character.ini, read through the platform's file API (any path works).
ProfileFile readIni(const std::string& folder, const std::vector<DirectoryEntry>& entries) {
    for (const DirectoryEntry& entry : entries) {
        if (entry.isDirectory || compareIgnoringAsciiCase(entry.name.c_str(), kIniName) != 0) continue;
        MemoryStream stream;
        if (stream.loadFile(join(folder, entry.name).c_str()) == 0) return ProfileFile();
        std::string text(static_cast<size_t>(stream.size()), '\0');
        stream.read(&text[0], stream.size());
        return ProfileFile::parse(text);
    }
    return ProfileFile();
}

bool parseMotion(const std::string& text, int32_t& motion) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, motion);
    return result.ec == std::errc() && result.ptr == end && motion >= 0;
}

bool parseScale(const std::string& text, float& scale) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, scale);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(scale) && scale > 0.0f;
}

bool readScale(const ProfileFile& ini, CharacterFolder& character, LoadError& error) {
    if (const auto scale = ini.getString(kSection, "Scale"); scale && !scale->empty()) {
        if (!parseScale(*scale, character.files.scale)) {
            error = loadError(kIniName, "Scale=" + *scale + " is not a positive number");
            return false;
        }
    }
    return true;
}

bool readIniValues(const ProfileFile& ini, CharacterFolder& character, LoadError& error) {
    // Motion= naming a motion file of the folder (walk.vrma) plays that one.
    if (const auto motion = ini.getString(kSection, "Motion"); motion && isCharacterMotionName(*motion)) {
        character.files.motionPath = join(character.folder, *motion);
        return readScale(ini, character, error);
    }
    if (const auto name = ini.getString(kSection, "Name"); name && !name->empty()) {
        character.name = *name;
    }
    if (const auto motion = ini.getString(kSection, "Motion"); motion && !motion->empty()) {
        const char first = (*motion)[0];
        if (first != '-' && (first < '0' || first > '9')) {
            character.files.motionName = *motion;  // a clip's name
        } else if (!parseMotion(*motion, character.files.motion)) {
            error = loadError(kIniName, "Motion=" + *motion + " is not a motion number (0, 1, 2, ...)");
            return false;
        }
    }
    return readScale(ini, character, error);
}

}  // namespace

std::string baseName(const std::string& path) {
    size_t end = path.size();
    while (end > 1 && isSeparator(path[end - 1])) --end;
    size_t begin = end;
    while (begin > 0 && !isSeparator(path[begin - 1])) --begin;
    return path.substr(begin, end - begin);
}

bool standsAlone(const std::string& path) {
    for (const char* ending : {".vrm", ".glb"}) {
        const size_t n = std::strlen(ending);
        if (path.size() > n && compareIgnoringAsciiCase(path.c_str() + path.size() - n, ending) == 0) return true;
    }
    return false;
}

// The VRM Animation named like a standalone model beside it, or "".
std::string besideMotion(const std::string& model) {
    const size_t dot = model.rfind('.');
    if (dot == std::string::npos) return std::string();
    const std::string motion = model.substr(0, dot) + ".vrma";
    return pathKind(motion) == PathKind::File ? motion : std::string();
}

// The title the model's format gives it (a VRM's), else empty.
std::string modelTitle(const std::string& path) {
    const CharacterFormat* format = findCharacterFormat(path);
    return format != nullptr ? format->title(path) : std::string();
}

// Model= of character.ini: a model file in the folder itself.
bool chosenModel(const ProfileFile& ini, const std::vector<DirectoryEntry>& entries, std::string& model, LoadError& error) {
    const auto named = ini.getString(kSection, "Model");
    if (!named || named->empty()) return true;
    for (const DirectoryEntry& entry : entries) {
        if (!entry.isDirectory && entry.name == *named && isCharacterModelName(entry.name)) {
            model = entry.name;
            return true;
        }
    }
    error = loadError(kIniName, "Model=" + *named + " names no model file in the folder");
    return false;
}

bool describeCharacterFolder(const std::string& path, CharacterFolder& character, LoadError& error) {
    character = CharacterFolder();
    const std::string full = absolutePath(path);
    const PathKind kind = pathKind(full);
    if (kind == PathKind::Missing) {
        error = loadError("", "there is no such file or folder");
        return false;
    }
    if (kind == PathKind::File && !isCharacterModelName(full)) {
        error = loadError("", "not a character folder or a model file (" + endingsOf(true) + ")");
        return false;
    }
    character.folder = kind == PathKind::Directory ? full : parentOf(full);
    character.source = character.folder;
    if (kind == PathKind::File && standsAlone(full)) {
        // Everything is in the file: no folder, motions or settings of others.
        character.source = full;
        character.files.modelPath = full;
        // A motion of the same name beside it (hinata.vrm, hinata.vrma) is its own.
        const std::string beside = besideMotion(full);
        if (!beside.empty()) character.files.motionPath = beside;
        const std::string title = modelTitle(full);
        character.name = title.empty() ? baseName(full) : title;
        return true;
    }
    const std::vector<DirectoryEntry> entries = listDirectory(character.folder);
    const ProfileFile ini = readIni(character.folder, entries);
    std::string chosen;
    if (kind == PathKind::Directory && !chosenModel(ini, entries, chosen, error)) return false;
    if (kind == PathKind::File) {
        character.files.modelPath = full;
    } else if (!chosen.empty()) {
        character.files.modelPath = join(character.folder, chosen);
    } else {
        const std::vector<std::string> models = characterFiles(entries, true);
        if (models.size() != 1) {
            error = loadError("", models.empty() ? "the folder holds no " + endingsOf(true) + " model"
                                                 : "the folder holds more than one " + endingsOf(true) +
                                                       " model (" + listed(models) + "): name one of them");
            return false;
        }
        character.files.modelPath = join(character.folder, models.front());
    }
    const std::vector<std::string> motions = characterFiles(entries, false);
    const auto named = ini.getString(kSection, "Motion");
    if (motions.size() > 1 && !(named && isCharacterMotionName(*named))) {
        error = loadError("", "the folder holds more than one " + endingsOf(false) + " motion set (" +
                                  listed(motions) + ")");
        return false;
    }
    if (!motions.empty()) character.files.motionPath = join(character.folder, motions.front());
    const std::string title = modelTitle(character.files.modelPath);
    character.name = title.empty() ? baseName(character.folder) : title;
    return readIniValues(ini, character, error);
}

std::string characterLabel(const std::string& folder) {
    if (standsAlone(folder)) {
        const std::string title = modelTitle(folder);
        return title.empty() ? baseName(folder) : title;
    }
    const std::vector<DirectoryEntry> entries = listDirectory(folder);
    const std::vector<std::string> models = characterFiles(entries, true);
    if (models.empty()) return std::string();
    const ProfileFile ini = readIni(folder, entries);
    const auto name = ini.getString(kSection, "Name");
    if (name && !name->empty()) return *name;
    std::string model = models.size() == 1 ? models.front() : std::string();
    LoadError ignored;
    chosenModel(ini, entries, model, ignored);
    const std::string title = model.empty() ? std::string() : modelTitle(join(folder, model));
    return title.empty() ? baseName(folder) : title;
}

}  // namespace tavo
