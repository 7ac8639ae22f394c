#pragma once

#include <memory>
#include <string>

#include "resources/load_error.h"
#include "skeleton/character.h"

namespace tavo {

class TextureManager;

// Reads a character from files, the way the mascot, tavo-render and
// tavo-inspect all do it: the model (UTF-8 path, read whole) at the given
// build scale, then, when motionPath is not empty, the skeleton and the
// motion set, whose position keys get the same scale. On success the new
// character replaces slot; on failure slot is unchanged and error names the
// file, the place and the reason. Given warnings receive what the readers
// passed over, and a note when the motion set was cut short.
bool loadCharacterFiles(const std::string& modelPath, const std::string& motionPath,
                        TextureManager& textures, float scale, std::unique_ptr<Character>& slot,
                        LoadError& error, LoadWarnings* warnings = nullptr);

// True when the model has an object whose name begins with "bone".
bool hasBoneObject(const Model& model);

}  // namespace tavo
