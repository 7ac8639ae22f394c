#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "animation/character_pose.h"
#include "behaviour/mascot_state.h"
#include "character/character_data.h"
#include "formats/character_format.h"
#include "render/avatar_life.h"
#include "render/character_fit.h"
#include "resources/load_error.h"

namespace tavo {

class ProgramObjects;
class TextureManager;

// A character read from files instead of the built-in one (UTF-8 paths), in
// any format the program reads.
struct CharacterFiles {
    std::string modelPath;
    std::string motionPath;  // empty: none apart from the model
    int32_t motion = -1;     // the played clip; -1: 3 when there are at least 4, else 0
    // 0: fitted, so that the modelled pose has the built-in character's
    // height and vertical centre; otherwise this build scale, in the model's
    // own place.
    float scale = 0.0f;
    std::string motionName;  // the played clip by its name, when not empty
};

// Timing of one clip: its end frame n (frame-based clips), its cycles per
// second and 1 / n (all 0 without a character, without that clip, or for a
// clip without length).
struct MotionTiming {
    int32_t endFrame = 0;
    float rate = 0.0f;
    float inverseEndFrame = 0.0f;
};

// The scene of the running program: the character (the built-in one or one
// read from files, with textures of its own), its pose, and the frame it is
// drawn in. Renders into whatever GL context is current.
class FrameRenderer {
public:
    explicit FrameRenderer(ProgramObjects& objects);
    ~FrameRenderer();
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    // One-time set-up with the context current: projection, image loaders,
    // the built-in character, GL state.
    void loadScene(int32_t width, int32_t height);
    // The same steps with a character read from files; when it cannot be
    // read, error says why and the built-in character is loaded instead.
    bool loadScene(int32_t width, int32_t height, const CharacterFiles& files, LoadError& error);
    // The same steps for the tools: the character of source at its own scale
    // and place, no built-in one in its stead. False with the reason.
    bool loadSceneFrom(int32_t width, int32_t height, const CharacterSource& source, LoadError& error);

    // While running (scene set up, context current): replaces the character
    // with one read from files. When the new one cannot be read, the current
    // character stays and error says why.
    bool switchCharacter(const CharacterFiles& files, LoadError& error);
    // Back to the built-in character, at its own scale.
    void switchToEmbedded();

    // The clip the character plays (the one its files name, else
    // defaultMotion) and the pace of the phase: the cycles per second of
    // clip 0, or 1 where it has none. Behaviour code puts them into the
    // state (followCharacter).
    int32_t playedClip() const { return playedClip_; }
    float playbackRate() const { return playbackRate_; }

    // Poses the character at the state's clip and phase and draws one frame
    // of the state's pitch and yaw; the state is only read
    // (behaviour/figure_motion.h moves it between frames).
    void renderFrame(const MascotState& state);

    // For the tools: an avatar drawn still, without blinking, looking or
    // swinging, with these expressions (index, weight) held. Kept until
    // the character changes.
    void holdExpressions(std::vector<std::pair<int32_t, float>> expressions) {
        held_ = std::move(expressions);
        still_ = true;
    }

    // Before the context goes (the surface is made again at another size):
    // deletes the GL objects made for the character, with the context still
    // current. The character and its decoded pictures stay.
    void releaseGlObjects();
    // On a new context of the given size: the projection and the GL state;
    // the textures are uploaded again when they are first drawn.
    void resumeScene(int32_t width, int32_t height);

    void releaseCharacter();
    const CharacterData* character() const { return character_.get(); }
    // The pose of the last frame drawn (or the rest pose before one).
    const CharacterPose& pose() const { return pose_; }
    // What the last scene's readers passed over, and where a motion set was
    // cut short (its earlier motions are kept).
    const LoadWarnings& sceneWarnings() const { return sceneWarnings_; }
    // How far the model is lifted before it is drawn (0 for the built-in one).
    float lift() const { return lift_; }

private:
    // Drops the previous character and sets the projection and the image
    // loaders; finishScene sets the GL state after the new character is in.
    void beginScene(int32_t width, int32_t height);
    void chooseBlending();
    void finishScene();
    // The built-in character at its own scale, its textures the program's.
    bool loadEmbedded();
    // Takes a character that was read, with the textures it was read into
    // (null: the program's).
    void adopt(std::unique_ptr<CharacterData> data, std::unique_ptr<TextureManager> textures);
    // The built-in character's vertical extent at scale 1, read once.
    const VerticalExtent& embeddedExtent();
    // The placement of a model read from files: fitted, or at the given scale.
    bool placeFiles(const CharacterFiles& files, CharacterPlacement& placement, LoadError& error);

    ProgramObjects& objects_;
    std::unique_ptr<CharacterData> character_;
    CharacterPose pose_;
    // An avatar's blink, gaze and swing (unused for other characters).
    AvatarLife life_;
    bool lively_ = false;
    bool still_ = false;
    std::vector<std::pair<int32_t, float>> held_;
    AvatarInputs stillInputs_;
    LoadWarnings sceneWarnings_;
    // The textures of a character read from files (null for the built-in
    // character, whose textures are the program's).
    std::unique_ptr<TextureManager> ownTextures_;
    float lift_ = 0.0f;
    std::optional<VerticalExtent> embeddedExtent_;
    // Blending is left off for a character that draws only opaque pixels.
    bool blend_ = true;
    bool needsNormals_ = false;
    int32_t playedClip_ = 3;
    float playbackRate_ = 1.0f;
};

MotionTiming queryMotionTiming(const CharacterData* character, int32_t clip);
// The played clip when a character does not name one: 3 when it has at
// least 4 (as the built-in character), otherwise 0.
int32_t defaultMotion(const CharacterData* character);
// True when every material is fully opaque, textures included: blending
// would not change a pixel then.
bool drawsOnlyOpaque(const Model& model, const TextureManager& textures);
void setupProjection(int32_t width, int32_t height);

// Reads the built-in character (model, motions unless left out, texture)
// into data.
bool readEmbeddedCharacter(TextureManager& textures, CharacterData& data, LoadError& error,
                           LoadWarnings* warnings = nullptr, bool withMotions = true);

// The clear colour (pure blue: B 255, G 0, R 0, whatever the fourth byte)
// becomes transparent black, every other pixel opaque: pixels are 32-bit
// B, G, R, A, rows bottom-up, width * 4 bytes per row.
void applyColorKey(uint8_t* pixels, int32_t width, int32_t height);

}  // namespace tavo
