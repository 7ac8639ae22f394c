#pragma once

#include <string>

#include "character/character_data.h"
#include "resources/load_error.h"

namespace tavo {

// Gives a VRM avatar its humanoid motions. With a VRM Animation file
// (motionPath not empty) that motion, retargeted, becomes its only clip;
// otherwise an avatar without clips of its own gets the built-in walk
// (clip 0) and idle (clip 1). A character without a humanoid is left as it
// is, unless a .vrma was named for it: that is refused. False with the file,
// the element and the reason; data is then unchanged.
bool giveHumanoidMotions(const std::string& modelPath, const std::string& motionPath, CharacterData& data,
                         LoadError& error);

}  // namespace tavo
