#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "behaviour/mascot_state.h"
#include "render/character_fit.h"
#include "skeleton/character.h"

namespace tavo {

class ByteStream;
class Model;
class ProgramObjects;
class TextureManager;

// A character read from files instead of the embedded one (UTF-8 paths).
struct CharacterFiles {
    std::string modelPath;
    std::string motionPath;  // empty: no motions, the modelled pose is drawn
    int32_t motion = -1;     // the played motion; -1: 3 when there are at least 4, else 0
    // 0: fitted, so that the modelled pose has the embedded character's height
    // and vertical centre; otherwise this build scale, in the model's own place.
    float scale = 0.0f;
};

// Timing of one motion: end frame n, 60 / n and 1 / n (all 0 without a
// character, without that motion, or for an end frame that is not positive).
struct MotionTiming {
    int32_t endFrame = 0;
    float rate = 0.0f;
    float inverseEndFrame = 0.0f;
};

// The scene of the running program: the character (the embedded one or one
// read from files, with the textures of its own) and the motion clock.
// Renders into whatever GL context is current.
class FrameRenderer {
public:
    explicit FrameRenderer(ProgramObjects& objects);
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
    // The same steps with a character read from files; when it cannot be
    // read, error says why and the embedded character is loaded instead.
    bool loadScene(MascotState& state, int32_t width, int32_t height, const CharacterFiles& files,
                   LoadError& error);

    // While running (scene set up, context current): replaces the character
    // with one read from files and sets the played motion and its rate. When
    // the new one cannot be read, the current character stays and error says
    // why.
    bool switchCharacter(MascotState& state, const CharacterFiles& files, LoadError& error);
    // Back to the embedded character, at its own scale, playing motion 3.
    void switchToEmbedded(MascotState& state);
    // The same with the model read from a file, its textures looked up in
    // the file's folder (buildCharacterFromFile); motions may be null.
    void loadSceneFromFile(MascotState& state, int32_t width, int32_t height,
                           const std::string& modelPath, ByteStream* motions);

    // Draws one frame of the state's phase, pitch and yaw; the state is only
    // read (behaviour/figure_motion.h moves it between frames).
    void renderFrame(const MascotState& state);

    void releaseCharacter();
    Character* character() const { return character_.get(); }
    // Why the last scene's model or motions were refused; empty when the
    // character was built. Streams have no file name: the caller knows it.
    const LoadError& sceneError() const { return sceneError_; }
    // What the last scene's readers passed over, and where a motion set was
    // cut short (its earlier motions are kept).
    const LoadWarnings& sceneWarnings() const { return sceneWarnings_; }
    // How far the model is lifted before it is drawn (0 for the embedded one).
    float lift() const { return lift_; }

private:
    // Drops the previous character and sets the projection and the image
    // loader; finishScene sets the GL state after the new character is in.
    void beginScene(int32_t width, int32_t height);
    void chooseBlending();
    void finishScene();
    // Builds the character from a model stream and closes it; false when no
    // character could be built.
    bool buildFrom(ByteStream& model);
    // Gives the built character its motions, closes the stream and takes the
    // playback rate from motion 0.
    void loadMotionsFrom(MascotState& state, ByteStream& motions);
    // The embedded character's vertical extent at scale 1, read once.
    const VerticalExtent& embeddedExtent();
    // The placement of a model read from files: fitted, or at the given scale.
    bool placeFiles(const CharacterFiles& files, CharacterPlacement& placement, LoadError& error);

    ProgramObjects& objects_;
    std::unique_ptr<Character> character_;
    LoadError sceneError_;
    LoadWarnings sceneWarnings_;
    // The textures of a character read from files (null for the embedded
    // character, whose textures are the program's).
    std::unique_ptr<TextureManager> ownTextures_;
    float lift_ = 0.0f;
    std::optional<VerticalExtent> embeddedExtent_;
    // Blending is left off for a character that draws only opaque pixels.
    bool blend_ = true;
};

MotionTiming queryMotionTiming(const Character* character, int32_t motion);
// The played motion when a character does not name one: 3 when the set has at
// least 4 motions (as the embedded character), otherwise 0.
int32_t defaultMotion(const Character* character);
// True when every material is fully opaque, textures included: blending
// would not change a pixel then.
bool drawsOnlyOpaque(const Model& model, const TextureManager& textures);
void setupProjection(int32_t width, int32_t height);

// The clear colour (pure blue: B 255, G 0, R 0, whatever the fourth byte)
// becomes transparent black, every other pixel opaque: pixels are 32-bit
// B, G, R, A, rows bottom-up, width * 4 bytes per row.
void applyColorKey(uint8_t* pixels, int32_t width, int32_t height);

}  // namespace tavo
