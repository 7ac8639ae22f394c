#pragma once

#include <memory>
#include <string>

#include "resources/load_error.h"
#include "skeleton/character.h"

namespace tavo {

class TextureManager;

// Reads a character from a model file (read whole into memory first). The
// textures the model names are looked up in the file's folder: this is the
// one place that folder is handed to the texture lookup, so every caller
// that loads a model file (the mascot's character folders, tavo-inspect,
// tavo-render) finds textures the same way. False when the file cannot be
// read (the system's reason at the open) or the model reader rejects it (the
// reader's reason and line); error, when given, then names the file too.
bool buildCharacterFromFile(std::unique_ptr<Character>& slot, const std::string& modelPath,
                            TextureManager& textures, float scale, LoadError* error = nullptr,
                            LoadWarnings* warnings = nullptr);

}  // namespace tavo
