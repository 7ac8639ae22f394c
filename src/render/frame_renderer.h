#pragma once

#include <cstdint>
#include <memory>

#include "behaviour/mascot_state.h"
#include "skeleton/character.h"

namespace tavo {

class ProgramObjects;

// Timing of one motion: end frame n, 60 / n and 1 / n (all 0 without a character).
struct MotionTiming {
    int32_t endFrame = 0;
    float rate = 0.0f;
    float inverseEndFrame = 0.0f;
};

// The scene of the running program: the character loaded from the embedded
// resources and the motion clock. Renders into whatever GL context is current.
class FrameRenderer {
public:
    explicit FrameRenderer(ProgramObjects& objects) : objects_(objects) {}
    ~FrameRenderer();
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    // One-time set-up with the context current: projection, image loader,
    // model and motions from the embedded resources, GL state; sets
    // state.phaseRate from motion 0.
    void loadScene(MascotState& state, int32_t width, int32_t height);
    // Loads a character from other streams (for the tools); same steps.
    void loadScene(MascotState& state, int32_t width, int32_t height,
                   class ByteStream* model, class ByteStream* motions);

    // Advances the motion clock to nowMs and draws one frame.
    void renderFrame(MascotState& state, uint32_t nowMs);
    // Advances state.phase by an elapsed time (ms); wraps above 1.0.
    static void advancePhase(MascotState& state, uint32_t elapsedMs);
    // Applies the rates to pitch and yaw, then lets the pitch settle.
    static void settlePitch(MascotState& state);

    void releaseCharacter();
    Character* character() const { return character_.get(); }

private:
    ProgramObjects& objects_;
    std::unique_ptr<Character> character_;
    bool clockStarted_ = false;
    uint32_t lastRenderTick_ = 0;
};

MotionTiming queryMotionTiming(const Character* character, int32_t motion);
void setupProjection(int32_t width, int32_t height);

// Blue 255 becomes transparent black, everything else opaque: pixels are
// 32-bit B, G, R, A, rows bottom-up, width * 4 bytes per row.
void applyColorKey(uint8_t* pixels, int32_t width, int32_t height);

}  // namespace tavo
