#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "motion/motion.h"

namespace tavo {

// How a channel's keys are blended.
enum class Interpolation : uint8_t {
    Step,         // the key at or before the time
    Linear,       // straight blend of vectors; shortest-arc blend of rotations
    CubicSpline,  // Hermite curve: each key has an in-tangent, a value and an out-tangent
    // Keys on whole frames: Catmull-Rom positions and squad rotations (or
    // straight blends where the track says "linear"), as Mikoto motions play.
    KeyframeSpline,
};

// What a channel drives. An Expression channel drives the weight of one of
// the character's expressions (joint is its index; one float a key).
enum class ChannelTarget : uint8_t { Translation, Rotation, Scale, MorphWeights, Expression };

// The keys of one animated property. Times ascend (seconds); values hold 3
// floats a key for translation and scale, 4 (x, y, z, w) for rotation and
// morphWeightCount for morph weights, three times that with CubicSpline (in
// tangent, value, out tangent). A KeyframeSpline channel keeps its keys in
// the track of its kind instead and is sampled at whole frames.
struct Channel {
    ChannelTarget target = ChannelTarget::Rotation;
    Interpolation interpolation = Interpolation::Linear;
    int32_t joint = -1;   // the joint driven; for morph weights, the model object
    int32_t morphWeightCount = 0;
    std::vector<float> times;
    std::vector<float> values;
    VectorTrack positionKeys;     // KeyframeSpline translation
    QuaternionTrack rotationKeys;  // KeyframeSpline rotation, control points computed
};

// One motion: channels over a duration, played over and over when it loops.
// Frame-based clips (KeyframeSpline channels) count their duration in frames
// of 1/60 s, endFrame of them.
struct Clip {
    std::string name;
    float duration = 0.0f;  // seconds
    int32_t endFrame = 0;   // frame-based clips: the last frame
    int32_t loop = 0;       // non-zero: the clip is played as a loop
    bool frameBased = false;
    std::vector<Channel> channels;

    // Cycles per second at normal speed; 0 when the clip has no length.
    float cyclesPerSecond() const;
};

inline float Clip::cyclesPerSecond() const {
    if (frameBased) {
        return endFrame > 0 ? 60.0f / static_cast<float>(endFrame) : 0.0f;
    }
    return duration > 0.0f ? 1.0f / duration : 0.0f;
}

}  // namespace tavo
