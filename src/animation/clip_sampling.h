#pragma once

#include <cstdint>
#include <vector>

#include "animation/character_pose.h"
#include "character/clip.h"
#include "character/rig.h"

namespace tavo {

// Frame that a phase designates: phase clamped to [0, 1] times the end frame.
int32_t phaseToFrame(float phase, int32_t endFrame);

// Samples clip at phase (0 .. 1 of its length; a frame-based clip at the
// whole frame the phase designates) into the joints its channels drive.
// Joints without a channel keep their transform; rotation channels leave
// alone the joints that carry no meshes; morph weight channels write the
// weights of their object. Channels whose joint, object or keys do not fit
// are skipped. False, and nothing written, when the pose was not made for
// this rig. Allocates nothing.
bool sampleClip(const Rig& rig, const Clip& clip, float phase, CharacterPose& pose);

// The time-keyed kinds, at time t of a channel (exposed for tests).
Vec3 sampleVector(const Channel& channel, float t);
Quaternion sampleRotation(const Channel& channel, float t);

}  // namespace tavo
