#include "render/frame_renderer.h"

#include <vector>

#include "animation/playback.h"
#include "render/program_objects.h"
#include "resources/gl_api.h"
#include "resources/memory_stream.h"
#include "resources/image_loaders.h"
#include "resources/texture_manager.h"
#include "skeleton/character_file.h"
#include "skeleton/character_files.h"
#include "skeleton/skeleton.h"

namespace tavo {

namespace {

void setPlaybackRate(MascotState& state, const Character* character) {
    state.phaseRate = 1.0f;
    // The played motion runs at the pace of motion 0. An end frame that gives
    // no usable rate keeps the default.
    const MotionTiming timing = queryMotionTiming(character, 0);
    if (timing.rate > 0.0f) {
        state.phaseRate = timing.rate;
    }
}

}  // namespace

FrameRenderer::FrameRenderer(ProgramObjects& objects) : objects_(objects) {}

FrameRenderer::~FrameRenderer() { releaseCharacter(); }

// The embedded character: one stream opens the model and, once the character
// is built from it, the motion set.
void FrameRenderer::loadScene(MascotState& state, int32_t width, int32_t height) {
    beginScene(width, height);
    MemoryStream stream;
    if (stream.openResource("TAVO_MQO", "MQO") != 0 && buildFrom(stream) &&
        stream.openResource("TAVO_MKM", "MKM") != 0) {
        loadMotionsFrom(state, stream);
    }
    finishScene();
}

void FrameRenderer::loadScene(MascotState& state, int32_t width, int32_t height,
                              ByteStream* model, ByteStream* motions) {
    beginScene(width, height);
    if (model != nullptr && buildFrom(*model) && motions != nullptr) {
        loadMotionsFrom(state, *motions);
    }
    finishScene();
}

bool FrameRenderer::loadScene(MascotState& state, int32_t width, int32_t height,
                              const CharacterFiles& files, LoadError& error) {
    beginScene(width, height);
    const bool loaded = switchCharacter(state, files, error);
    if (!loaded) {
        MemoryStream stream;
        if (stream.openResource("TAVO_MQO", "MQO") != 0 && buildFrom(stream) &&
            stream.openResource("TAVO_MKM", "MKM") != 0) {
            loadMotionsFrom(state, stream);
        }
    }
    finishScene();
    return loaded;
}

void FrameRenderer::loadSceneFromFile(MascotState& state, int32_t width, int32_t height,
                                      const std::string& modelPath, ByteStream* motions) {
    beginScene(width, height);
    if (buildCharacterFromFile(character_, modelPath, objects_.textureManager, 1.0f, &sceneError_,
                               &sceneWarnings_) &&
        motions != nullptr) {
        loadMotionsFrom(state, *motions);
    }
    finishScene();
}

void FrameRenderer::beginScene(int32_t width, int32_t height) {
    releaseCharacter();
    sceneError_ = LoadError();
    sceneWarnings_.clear();
    setupProjection(width, height);
    objects_.registerImageLoaders();
}

const VerticalExtent& FrameRenderer::embeddedExtent() {
    if (!embeddedExtent_) {
        // Measured without textures: a manager without loaders decodes nothing.
        TextureManager noTextures;
        std::unique_ptr<Character> embedded;
        MemoryStream stream;
        if (stream.openResource("TAVO_MQO", "MQO") != 0 && buildCharacter(embedded, &stream, noTextures, 1.0f)) {
            embeddedExtent_ = visibleExtent(*embedded->model);
        } else {
            embeddedExtent_ = VerticalExtent();
        }
    }
    return *embeddedExtent_;
}

bool FrameRenderer::placeFiles(const CharacterFiles& files, CharacterPlacement& placement,
                               LoadError& error) {
    if (files.scale > 0.0f) {
        placement = CharacterPlacement{files.scale, 0.0f};
        return true;
    }
    TextureManager noTextures;
    std::unique_ptr<Character> probe;
    if (!loadCharacterFiles(files.modelPath, "", noTextures, 1.0f, probe, error)) {
        return false;
    }
    placement = fitToReference(visibleExtent(*probe->model), embeddedExtent());
    return true;
}

bool FrameRenderer::switchCharacter(MascotState& state, const CharacterFiles& files, LoadError& error) {
    CharacterPlacement placement;
    if (!placeFiles(files, placement, error)) {
        return false;
    }
    auto textures = std::make_unique<TextureManager>();
    textures->setLoaders(makeImageLoaders());
    std::unique_ptr<Character> loaded;
    LoadWarnings warnings;
    if (!loadCharacterFiles(files.modelPath, files.motionPath, *textures, placement.scale, loaded, error,
                            &warnings)) {
        return false;
    }
    int32_t motion = files.motion >= 0 ? files.motion : defaultMotion(loaded.get());
    const int32_t count = loaded->skeleton ? loaded->skeleton->motionCount() : 0;
    if (files.motion >= 0 && files.motion >= count) {
        error = loadError(files.motionPath.empty() ? files.modelPath : files.motionPath,
                          "motion " + std::to_string(files.motion) +
                              " does not exist (the motion set has " + std::to_string(count) + ")");
        return false;
    }
    // The old character goes first, then the textures it was drawn with.
    releaseCharacter();
    character_ = std::move(loaded);
    sceneWarnings_ = std::move(warnings);
    ownTextures_ = std::move(textures);
    objects_.meshRenderer.attachTextureManager(ownTextures_.get());
    lift_ = placement.lift;
    chooseBlending();
    state.motionIndex = motion;
    setPlaybackRate(state, character_.get());
    return true;
}

void FrameRenderer::switchToEmbedded(MascotState& state) {
    releaseCharacter();
    MemoryStream stream;
    if (stream.openResource("TAVO_MQO", "MQO") != 0 && buildFrom(stream)) {
        state.phaseRate = 1.0f;
        if (stream.openResource("TAVO_MKM", "MKM") != 0) {
            loadMotionsFrom(state, stream);
        }
    }
    chooseBlending();
    state.motionIndex = 3;
}

// Blending stays off for a character that draws only opaque pixels; its
// textures are its own for a character read from files.
void FrameRenderer::chooseBlending() {
    const TextureManager& textures = ownTextures_ ? *ownTextures_ : objects_.textureManager;
    blend_ = !character_ || !character_->model || !drawsOnlyOpaque(*character_->model, textures);
}

void FrameRenderer::finishScene() {
    chooseBlending();
    glClearColor(0.0f, 0.0f, 0.5f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    // Faces that run counter-clockwise on screen are culled; the outline hull
    // depends on it.
    glCullFace(GL_FRONT);
    glDepthMask(GL_TRUE);
}

bool FrameRenderer::buildFrom(ByteStream& model) {
    const bool built =
        buildCharacter(character_, &model, objects_.textureManager, 1.0f, &sceneError_,
                       &sceneWarnings_);
    model.close();
    return built;
}

void FrameRenderer::loadMotionsFrom(MascotState& state, ByteStream& motions) {
    LoadError reason;
    const bool loaded = loadCharacterMotions(character_.get(), &motions, &reason, &sceneWarnings_);
    motions.close();
    if (!loaded) {
        sceneError_ = reason;
    } else if (!reason.empty()) {
        sceneWarnings_.add(reason);  // cut short; the earlier motions are kept
    }
    if (loaded) {
        // The played motion runs at the pace of motion 0. An end frame that
        // gives no usable rate keeps the default.
        const MotionTiming timing = queryMotionTiming(character_.get(), 0);
        if (timing.rate > 0.0f) {
            state.phaseRate = timing.rate;
        }
    }
}

void FrameRenderer::renderFrame(const MascotState& state) {
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glLoadIdentity();
    gluLookAt(0.0, -20.0, 480.0, 0.0, -20.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(state.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(state.yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, -140.0f + lift_, 0.0f);

    animateCharacter(character_.get(), state.motionIndex, state.phase);

    glEnable(GL_TEXTURE_2D);
    if (blend_) {
        glEnable(GL_BLEND);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnableClientState(GL_VERTEX_ARRAY);
    objects_.meshRenderer.drawCharacter(character_.get());
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glFlush();
}

void FrameRenderer::releaseCharacter() {
    tavo::releaseCharacter(character_);
    if (ownTextures_) {
        objects_.meshRenderer.attachTextureManager(&objects_.textureManager);
        ownTextures_.reset();
    }
    lift_ = 0.0f;
}

int32_t defaultMotion(const Character* character) {
    const bool fourOrMore = character != nullptr && character->skeleton && character->skeleton->motionCount() >= 4;
    return fourOrMore ? 3 : 0;
}

MotionTiming queryMotionTiming(const Character* character, int32_t motion) {
    MotionTiming timing;
    if (character == nullptr || !character->skeleton || motion < 0 ||
        motion >= character->skeleton->motionCount()) {
        return timing;
    }
    timing.endFrame = character->skeleton->motions[static_cast<size_t>(motion)].endFrame;
    if (timing.endFrame > 0) {
        timing.rate = 60.0f / static_cast<float>(timing.endFrame);
        timing.inverseEndFrame = 1.0f / static_cast<float>(timing.endFrame);
    }
    return timing;
}

}  // namespace tavo
