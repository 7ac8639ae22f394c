#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "math/quaternion.h"
#include "math/vec3.h"
#include "resources/load_error.h"
#include "skeleton/character.h"

namespace tavo {
class TextureManager;
}

namespace tavo::inspect {

// Reads the model and, when a path is given, the motion set, as the mascot
// reads a character folder: the format is the one the registry finds for the
// model, and the Metasequoia document is kept for the report. Without a
// motion set the skeleton is still built, with an empty motion list. False
// when a file is missing or refused; error then says which, where and why.
// warnings receive what the readers passed over, each with its file and
// line, and where a motion set was cut short (the motions before the cut
// still load).
bool loadInspectedCharacter(const std::string& modelPath, const std::string& motionPath,
                            TextureManager& textures, std::unique_ptr<Character>& character,
                            LoadError& error, LoadWarnings& warnings);

// A bone's place in model space.
struct WorldTransform {
    Vec3 position;
    Quaternion rotation;
};

// World transforms of every bone when the character is posed as the mascot
// poses it: motion at phase.
struct PoseSnapshot {
    int32_t motion = 0;
    float phase = 0.0f;
    int32_t frame = 0;
    std::vector<WorldTransform> bones;
};

PoseSnapshot takePose(const Character& character, int32_t motion, float phase);

}  // namespace tavo::inspect
