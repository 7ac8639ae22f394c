#pragma once

#include <memory>

#include "model/model.h"
#include "resources/load_error.h"
#include "skeleton/skeleton.h"

namespace tavo {

class ByteStream;
class TextureManager;

// The mascot as the rest of the program knows it: its model and, once the
// motions are in, its skeleton.
struct Character {
    std::unique_ptr<Model> model;
    std::unique_ptr<Skeleton> skeleton;
};

// Reads a model; on success stores a new Character in slot. A given error
// record receives why and where the model was refused (its file is left to
// the caller, who knows it); given warnings receive what the reader passed
// over, each with its line.
bool buildCharacter(std::unique_ptr<Character>& slot, ByteStream* modelStream,
                    TextureManager& textures, float scale, LoadError* error = nullptr,
                    LoadWarnings* warnings = nullptr);
// Builds the skeleton and reads the motions into it. A given error record
// receives why they were refused, or, for a motion set that was cut short
// (its earlier motions still load), where it was cut; warnings as above.
bool loadCharacterMotions(Character* character, ByteStream* motionStream,
                          LoadError* error = nullptr, LoadWarnings* warnings = nullptr);
void releaseCharacter(std::unique_ptr<Character>& slot);

}  // namespace tavo
