#pragma once

#include "animation/avatar_inputs.h"

namespace tavo {

struct CharacterData;
struct CharacterPose;

// The expressions' weights of this frame: what the clip gave, raised to the
// blink and surprise of the inputs and set where the inputs hold one. Then
// each expression's binds are added to the morph weights (a binary one
// counts fully from half its weight), which end between 0 and 1.
void setExpressionWeights(const CharacterData& data, const AvatarInputs& inputs, CharacterPose& pose);
void blendExpressions(const CharacterData& data, CharacterPose& pose);

}  // namespace tavo
