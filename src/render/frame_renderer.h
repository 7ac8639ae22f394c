#pragma once

#include <cstdint>
#include <memory>

#include "behaviour/mascot_state.h"
#include "skeleton/character.h"

namespace tavo {

class ByteStream;
class Model;
class ProgramObjects;
class TextureManager;

// Timing of one motion: end frame n, 60 / n and 1 / n (all 0 without a
// character, without that motion, or for an end frame that is not positive).
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
    // The same steps with the model and motions read from the given streams
    // (for the tools); motions may be null.
    void loadScene(MascotState& state, int32_t width, int32_t height, ByteStream* model,
                   ByteStream* motions);

    // Advances the motion clock to nowMs (milliseconds of any monotonic
    // clock; the first call starts it) and draws one frame.
    void renderFrame(MascotState& state, uint32_t nowMs);

    // Advances state.phase by an elapsed time (ms); wraps above 1.0.
    static void advancePhase(MascotState& state, uint32_t elapsedMs);
    // Adds the per-frame rates to pitch and yaw.
    static void applyRotationRates(MascotState& state);
    // After a frame has been drawn: the pitch rate decays by 2, and once it
    // is 0 the pitch returns towards 0 by 4 degrees a frame.
    static void settlePitch(MascotState& state);

    void releaseCharacter();
    Character* character() const { return character_.get(); }

private:
    // Drops the previous character and sets the projection and the image
    // loader; finishScene sets the GL state after the new character is in.
    void beginScene(int32_t width, int32_t height);
    void finishScene();
    // Builds the character from a model stream and closes it; false when no
    // character could be built.
    bool buildFrom(ByteStream& model);
    // Gives the built character its motions, closes the stream and takes the
    // playback rate from motion 0.
    void loadMotionsFrom(MascotState& state, ByteStream& motions);

    ProgramObjects& objects_;
    std::unique_ptr<Character> character_;
    // Blending is left off for a character that draws only opaque pixels.
    bool blend_ = true;
    bool clockStarted_ = false;
    uint32_t lastRenderTick_ = 0;
};

MotionTiming queryMotionTiming(const Character* character, int32_t motion);
// True when every material is fully opaque, textures included: blending
// would not change a pixel then.
bool drawsOnlyOpaque(const Model& model, const TextureManager& textures);
void setupProjection(int32_t width, int32_t height);

// The clear colour (pure blue: B 255, G 0, R 0, whatever the fourth byte)
// becomes transparent black, every other pixel opaque: pixels are 32-bit
// B, G, R, A, rows bottom-up, width * 4 bytes per row.
void applyColorKey(uint8_t* pixels, int32_t width, int32_t height);

}  // namespace tavo
