#pragma once

#include <cstdint>

#include "animation/avatar_inputs.h"
#include "animation/character_pose.h"

namespace tavo {

struct CharacterData;

// One frame of posing a running character: samples clip at phase into the
// local pose, composes the model pose and skins the skinned objects (their
// normals too when withNormals is set). A rig without any clip is posed at
// rest. With inputs, an avatar also comes alive between those steps: its
// expressions (the clip's, a blink, a surprise, held ones), its eyes
// turned towards the target and its spring bones swung. Does nothing and
// returns false for a character without a rig, a clip index it does not
// have, or a pose made for another rig (reset it first).
bool poseCharacter(const CharacterData& data, int32_t clip, float phase, bool withNormals,
                   CharacterPose& pose, const AvatarInputs* inputs = nullptr);

// Whether drawing the character reads its normals: lighting or an outline.
bool drawingNeedsNormals(const CharacterData& data);

}  // namespace tavo
