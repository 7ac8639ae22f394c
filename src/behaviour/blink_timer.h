#pragma once

#include <cstdint>

namespace tavo {

// When an avatar blinks: a blink of kBlinkSeconds (the lids close, stay
// shut a moment and open again) after a pause of 2 to 6 seconds drawn at random, and now and then
// a second one straight after. Its own random numbers, from a seed.
constexpr float kBlinkSeconds = 0.2f;

class BlinkTimer {
public:
    explicit BlinkTimer(uint32_t seed = 0x9e3779b9u);

    // Moves the clock on (seconds, negative or not a number counts as 0)
    // and gives the blink's weight now, 0 open to 1 closed.
    float advance(float seconds);

private:
    float nextPause();

    uint32_t random_;
    float untilBlink_;
    float blinking_ = -1.0f;  // seconds into the blink, -1 between blinks
};

}  // namespace tavo
