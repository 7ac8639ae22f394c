#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "animation/playback.h"
#include "skeleton/character.h"

namespace tavo {
class TextureManager;
}

namespace tavo::inspect {

// Reads the model and, when a path is given, the motion set, from memory
// streams over the files, through buildCharacter and loadCharacterMotions as
// the mascot reads its embedded ones. Without a motion set the skeleton is
// still built, with an empty motion list. False with a one-line reason when
// a file is missing or rejected.
bool loadInspectedCharacter(const std::string& modelPath, const std::string& motionPath,
                            TextureManager& textures, std::unique_ptr<Character>& character,
                            std::string& error);

// World transforms of every bone after animateCharacter(motion, phase).
struct PoseSnapshot {
    int32_t motion = 0;
    float phase = 0.0f;
    int32_t frame = 0;
    std::vector<WorldTransform> bones;
};

PoseSnapshot takePose(Character& character, int32_t motion, float phase);

}  // namespace tavo::inspect
