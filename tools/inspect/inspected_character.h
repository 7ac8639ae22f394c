#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "animation/playback.h"
#include "model/read_error.h"
#include "skeleton/character.h"

namespace tavo {
class TextureManager;
}

namespace tavo::inspect {

// What went wrong with one file: the file and the reader's reason, with
// the line where it applies (0 for a file that cannot be read at all).
struct LoadError {
    std::string file;
    ReadError reason;

    bool empty() const { return reason.empty(); }
    // "file: line 17: the face chunk ends before its 12 faces"
    std::string describe() const;
};

// Reads the model and, when a path is given, the motion set, from memory
// streams over the files, through buildCharacter and loadCharacterMotions as
// the mascot reads its embedded ones. Without a motion set the skeleton is
// still built, with an empty motion list. False when a file is missing or
// refused; error then says which and why. A motion set cut short still
// loads the motions before the cut, and note says where it was cut.
bool loadInspectedCharacter(const std::string& modelPath, const std::string& motionPath,
                            TextureManager& textures, std::unique_ptr<Character>& character,
                            LoadError& error, LoadError& note);

// World transforms of every bone after animateCharacter(motion, phase).
struct PoseSnapshot {
    int32_t motion = 0;
    float phase = 0.0f;
    int32_t frame = 0;
    std::vector<WorldTransform> bones;
};

PoseSnapshot takePose(Character& character, int32_t motion, float phase);

}  // namespace tavo::inspect
