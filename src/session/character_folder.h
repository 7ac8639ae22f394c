#pragma once

#include <string>

#include "render/frame_renderer.h"
#include "resources/load_error.h"

namespace tavo {

// A character as a folder: one .mqo, optionally one .mkm, the textures the
// model names, and optionally a character.ini whose [Character] section
// gives Name= (UTF-8, shown in the menu; the folder's name by default),
// Motion= (the played motion) and Scale= (a build scale instead of fitting).
struct CharacterFolder {
    std::string folder;  // absolute, UTF-8
    std::string name;
    CharacterFiles files;
};

// Describes the character at path, a folder or a model file inside one.
// False with the reason when there is nothing there, no single model, more
// than one motion set, or a value in character.ini that cannot be used; the
// reason's file is "character.ini" for its values and empty for what is
// wrong with path itself.
bool describeCharacterFolder(const std::string& path, CharacterFolder& character, LoadError& error);

// The label of a folder for the menu: Name= of its character.ini, or the
// folder's own name. Empty when the folder holds no .mqo (no character).
std::string characterLabel(const std::string& folder);

// The last part of a path.
std::string baseName(const std::string& path);

}  // namespace tavo
