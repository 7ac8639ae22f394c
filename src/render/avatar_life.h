#pragma once

#include "animation/avatar_inputs.h"
#include "behaviour/blink_timer.h"
#include "behaviour/mascot_state.h"

namespace tavo {

// What keeps an avatar alive from frame to frame, made from the mascot's
// state as the frame draws it: the blink timer, the surprise while it flees,
// the cursor as a point to look at when it comes near, and how the window's
// movement and turns carry the figure (so that its hair trails). One for the
// character shown; reset when another comes.
class AvatarLife {
public:
    void reset();
    // The inputs of this frame; lift is how far the figure is raised.
    const AvatarInputs& inputsFor(const MascotState& state, float lift);

private:
    BlinkTimer blink_;
    AvatarInputs inputs_;
    float surprise_ = 0.0f;
    bool started_ = false;
    float lastX_ = 0.0f;
    float lastY_ = 0.0f;
    float lastPitch_ = 0.0f;
    float lastYaw_ = 0.0f;
};

}  // namespace tavo
