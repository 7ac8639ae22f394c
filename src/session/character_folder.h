#pragma once

#include <string>

#include "render/frame_renderer.h"
#include "resources/load_error.h"

namespace tavo {

// A character as a folder: one model (.mqo, .vrm, .glb or .gltf), optionally
// one .mkm, the textures the model names, and optionally a character.ini
// whose [Character] section gives Model= (the model, when the folder holds
// several), Name= (UTF-8, shown in the menu; a VRM's title or the folder's
// name by default), Motion= (the played motion, by number or by name) and
// Scale= (a build scale instead of fitting). A .vrm or .glb file is a
// character by itself, wherever it lies.
struct CharacterFolder {
    std::string folder;  // absolute, UTF-8: where the model's files are
    // What names the character (remembered, checked in the menu): the
    // folder, or a .vrm or .glb file that stands alone.
    std::string source;
    std::string name;
    CharacterFiles files;
};

// Describes the character at path, a folder or a model file inside one.
// False with the reason when there is nothing there, no single model, more
// than one motion set, or a value in character.ini that cannot be used; the
// reason's file is "character.ini" for its values and empty for what is
// wrong with path itself.
bool describeCharacterFolder(const std::string& path, CharacterFolder& character, LoadError& error);

// The label of a folder (or a .vrm or .glb file) for the menu: Name= of its
// character.ini, else the VRM's title, else the folder's (file's) own name.
// Empty when it holds no model (no character).
std::string characterLabel(const std::string& folder);

// Whether a model file is a whole character by itself (.vrm, .glb).
bool standsAlone(const std::string& path);

// The last part of a path.
std::string baseName(const std::string& path);

}  // namespace tavo
