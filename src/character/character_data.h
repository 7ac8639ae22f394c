#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "character/clip.h"
#include "character/expression.h"
#include "character/humanoid.h"
#include "character/look_at.h"
#include "character/rig.h"
#include "character/spring_bones.h"
#include "model/model.h"

namespace tavo {

// A character as every reader produces it, whatever its file format, and as
// the rest of the program knows it: meshes and materials (model), the rig
// its meshes hang on and the clips that move it. It does not change once it
// is read; the pose of a running character is kept apart (CharacterPose).
// Pictures are decoded into the texture manager the reader was given, and
// the materials name them by index.
struct CharacterData {
    Model model;
    // Empty for a character without motions: it is drawn as modelled.
    Rig rig;
    std::vector<Clip> clips;
    // What an avatar brings (all empty for other characters): which joints
    // are its humanoid bones, its expressions, its swinging joints and how
    // its eyes turn.
    Humanoid humanoid;
    std::vector<Expression> expressions;
    SpringBones springs;
    LookAt lookAt;

    bool hasRig() const { return !rig.joints.empty(); }
    int32_t clipCount() const { return static_cast<int32_t>(clips.size()); }
};

}  // namespace tavo
