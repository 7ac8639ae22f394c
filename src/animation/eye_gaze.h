#pragma once

#include "math/vec3.h"

namespace tavo {

struct CharacterData;
struct CharacterPose;

// Turns the posed avatar's eyes (and its head a fifth as far, up to 12
// degrees) towards target, a point in the character's own space, within
// its look-at ranges: eye bones, or the lookLeft, lookRight, lookUp and
// lookDown expressions. looking false eases the eyes back to the front.
// The turn eases towards the target with rate (0 to 1 of the way a frame).
// Composes the model pose again. Does nothing for an avatar without a head
// or look-at settings.
void turnEyesTowards(const CharacterData& data, bool looking, const Vec3& target, float rate, CharacterPose& pose);

}  // namespace tavo
