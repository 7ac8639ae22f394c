#pragma once

#include <memory>

#include "model/model.h"
#include "model/read_error.h"
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
// record receives why and where the model was refused.
bool buildCharacter(std::unique_ptr<Character>& slot, ByteStream* modelStream,
                    TextureManager& textures, float scale, ReadError* error = nullptr);
// Builds the skeleton and reads the motions into it. A given error record
// receives why they were refused, or, for a motion set that was cut short
// (its earlier motions still load), where it was cut.
bool loadCharacterMotions(Character* character, ByteStream* motionStream,
                          ReadError* error = nullptr);
void releaseCharacter(std::unique_ptr<Character>& slot);

}  // namespace tavo
