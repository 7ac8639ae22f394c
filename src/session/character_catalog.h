#pragma once

#include <string>
#include <vector>

namespace tavo {

// A character folder found on the disk, as the menu lists it.
struct FoundCharacter {
    std::string folder;  // absolute, UTF-8
    std::string label;   // Name= of its character.ini, or the folder's name
};

// The sub-folders of the base folders that hold an .mqo model, ordered by
// folder name without regard to letter case (A-Z). A folder name found in
// an earlier base folder hides the same name in later ones, as a user's own
// character replaces an installed one.
std::vector<FoundCharacter> findCharacters(const std::vector<std::string>& baseFolders);

// Sorts by folder name without regard to letter case (A-Z).
void orderByFolderName(std::vector<FoundCharacter>& characters);

// Whether two folder paths name the same folder (trailing separators aside).
bool sameFolder(const std::string& a, const std::string& b);

}  // namespace tavo
