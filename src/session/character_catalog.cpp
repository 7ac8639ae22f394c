#include "session/character_catalog.h"

#include <algorithm>
#include <set>

#include "resources/directory_listing.h"
#include "session/character_folder.h"

namespace tavo {

namespace {

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string withoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == pathSeparator())) path.pop_back();
    return path;
}

}  // namespace

std::vector<FoundCharacter> findCharacters(const std::vector<std::string>& baseFolders) {
    std::vector<FoundCharacter> found;
    std::set<std::string> names;
    for (const std::string& base : baseFolders) {
        for (const DirectoryEntry& entry : listDirectory(base)) {
            // A folder, or a .vrm or .glb file that is a character by itself.
            if ((!entry.isDirectory && !standsAlone(entry.name)) || names.count(entry.name) != 0) continue;
            const std::string folder = withoutTrailingSeparators(base) + pathSeparator() + entry.name;
            const std::string label = characterLabel(folder);
            if (label.empty()) continue;
            names.insert(entry.name);
            found.push_back({folder, label});
        }
    }
    orderByFolderName(found);
    return found;
}

void orderByFolderName(std::vector<FoundCharacter>& characters) {
    std::stable_sort(characters.begin(), characters.end(), [](const FoundCharacter& a, const FoundCharacter& b) {
        const std::string left = lowerAscii(baseName(a.folder));
        const std::string right = lowerAscii(baseName(b.folder));
        return left != right ? left < right : baseName(a.folder) < baseName(b.folder);
    });
}

bool sameFolder(const std::string& a, const std::string& b) {
    return !a.empty() && withoutTrailingSeparators(a) == withoutTrailingSeparators(b);
}

}  // namespace tavo
