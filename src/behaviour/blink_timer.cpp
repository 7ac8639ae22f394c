#include "behaviour/blink_timer.h"

#include <cmath>

namespace tavo {

namespace {
constexpr float kClosing = 0.06f;
constexpr float kClosed = 0.06f;
}  // namespace

BlinkTimer::BlinkTimer(uint32_t seed) : random_(seed != 0 ? seed : 1u), untilBlink_(0.0f) { untilBlink_ = nextPause(); }

// Xorshift: the next of the timer's own random numbers, as 0 to 1.
float BlinkTimer::nextPause() {
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    const float unit = static_cast<float>(random_ % 10000u) / 10000.0f;
    // One pause in eight is a double blink's short gap.
    return unit < 0.125f ? 0.12f : 2.0f + 4.0f * unit;
}

float BlinkTimer::advance(float seconds) {
    if (!(seconds > 0.0f)) seconds = 0.0f;
    if (seconds > 10.0f) seconds = 10.0f;  // a stall: the clock goes on from here
    if (blinking_ >= 0.0f) {
        blinking_ += seconds;
        if (blinking_ >= kBlinkSeconds) {
            blinking_ = -1.0f;
            untilBlink_ = nextPause();
        }
    } else {
        untilBlink_ -= seconds;
        if (untilBlink_ <= 0.0f) blinking_ = -untilBlink_ < kBlinkSeconds ? -untilBlink_ : 0.0f;
    }
    if (blinking_ < 0.0f) return 0.0f;
    // The lids close, stay closed a moment and open a little slower.
    if (blinking_ < kClosing) return blinking_ / kClosing;
    if (blinking_ < kClosing + kClosed) return 1.0f;
    return std::fmax(0.0f, 1.0f - (blinking_ - kClosing - kClosed) / (kBlinkSeconds - kClosing - kClosed));
}

}  // namespace tavo
