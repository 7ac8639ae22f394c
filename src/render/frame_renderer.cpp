#include "render/frame_renderer.h"

#include <vector>

#include "animation/posing.h"
#include "render/program_objects.h"
#include "resources/gl_api.h"
#include "resources/image_loaders.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"

namespace tavo {

namespace {

// The played clip runs at the pace of clip 0. A clip that gives no usable
// rate keeps the default.
float playbackRateOf(const CharacterData* character) {
    const MotionTiming timing = queryMotionTiming(character, 0);
    return timing.rate > 0.0f ? timing.rate : 1.0f;
}

// The format whose models begin like the stream; the stream is left at its start.
const CharacterFormat* formatOfStream(MemoryStream& stream) {
    uint8_t head[64];
    const int32_t got = stream.read(head, static_cast<int32_t>(sizeof head));
    stream.seek(0, 0);
    for (const CharacterFormat* format : characterFormats()) {
        if (got > 0 && format->recognizes(head, static_cast<size_t>(got))) {
            return format;
        }
    }
    return nullptr;
}

}  // namespace

bool readEmbeddedCharacter(TextureManager& textures, CharacterData& data, LoadError& error,
                           LoadWarnings* warnings, bool withMotions) {
    MemoryStream model;
    MemoryStream motions;
    if (model.openResource("TAVO_MQO", "MQO") == 0) {
        error = loadError("", "the built-in model is missing");
        return false;
    }
    const CharacterFormat* format = formatOfStream(model);
    if (format == nullptr) {
        error = loadError("", "the built-in model is in no format this program reads");
        return false;
    }
    const bool motionsFound = withMotions && motions.openResource("TAVO_MKM", "MKM") != 0;
    return format->readStreams(model, motionsFound ? &motions : nullptr, textures, data, error,
                               warnings);
}

FrameRenderer::FrameRenderer(ProgramObjects& objects) : objects_(objects) {}

FrameRenderer::~FrameRenderer() { releaseCharacter(); }

void FrameRenderer::loadScene(int32_t width, int32_t height) {
    beginScene(width, height);
    loadEmbedded();
    finishScene();
}

bool FrameRenderer::loadScene(int32_t width, int32_t height, const CharacterFiles& files,
                              LoadError& error) {
    beginScene(width, height);
    const bool loaded = switchCharacter(files, error);
    if (!loaded) {
        loadEmbedded();
    }
    finishScene();
    return loaded;
}

bool FrameRenderer::loadSceneFrom(int32_t width, int32_t height, const CharacterSource& source,
                                  LoadError& error) {
    beginScene(width, height);
    auto data = std::make_unique<CharacterData>();
    const bool loaded =
        readCharacter(source, objects_.textureManager, *data, error, &sceneWarnings_);
    if (loaded) {
        adopt(std::move(data), nullptr);
        playedClip_ = defaultMotion(character_.get());
        playbackRate_ = playbackRateOf(character_.get());
    }
    finishScene();
    return loaded;
}

void FrameRenderer::beginScene(int32_t width, int32_t height) {
    releaseCharacter();
    sceneWarnings_.clear();
    setupProjection(width, height);
    objects_.registerImageLoaders();
}

bool FrameRenderer::loadEmbedded() {
    auto data = std::make_unique<CharacterData>();
    LoadError error;
    if (!readEmbeddedCharacter(objects_.textureManager, *data, error, &sceneWarnings_)) {
        sceneWarnings_.add(error);
        return false;
    }
    adopt(std::move(data), nullptr);
    playedClip_ = 3;
    playbackRate_ = playbackRateOf(character_.get());
    return true;
}

const VerticalExtent& FrameRenderer::embeddedExtent() {
    if (!embeddedExtent_) {
        // Measured as modelled, without textures: a manager without loaders
        // decodes nothing, and the rig is not derived.
        TextureManager noTextures;
        CharacterData embedded;
        LoadError ignored;
        embeddedExtent_ = readEmbeddedCharacter(noTextures, embedded, ignored, nullptr, false)
                              ? visibleExtent(embedded.model)
                              : VerticalExtent();
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
    CharacterData probe;
    if (!readCharacter(CharacterSource{files.modelPath, "", 1.0f}, noTextures, probe, error)) {
        return false;
    }
    placement = fitToReference(visibleExtent(probe.model), embeddedExtent());
    return true;
}

bool FrameRenderer::switchCharacter(const CharacterFiles& files, LoadError& error) {
    CharacterPlacement placement;
    if (!placeFiles(files, placement, error)) {
        return false;
    }
    auto textures = std::make_unique<TextureManager>();
    textures->setLoaders(makeImageLoaders());
    auto loaded = std::make_unique<CharacterData>();
    LoadWarnings warnings;
    if (!readCharacter(CharacterSource{files.modelPath, files.motionPath, placement.scale}, *textures,
                       *loaded, error, &warnings)) {
        return false;
    }
    int32_t motion = files.motion >= 0 ? files.motion : defaultMotion(loaded.get());
    const int32_t count = loaded->hasRig() ? loaded->clipCount() : 0;
    if (!files.motionName.empty()) {
        motion = -1;
        for (int32_t i = 0; i < count; ++i) {
            if (loaded->clips[static_cast<size_t>(i)].name == files.motionName) motion = i;
        }
        if (motion < 0) {
            error = loadError(files.modelPath, "there is no motion named \"" + files.motionName + "\"");
            return false;
        }
    }
    if (files.motion >= 0 && files.motion >= count) {
        error = loadError(files.motionPath.empty() ? files.modelPath : files.motionPath,
                          "motion " + std::to_string(files.motion) +
                              " does not exist (the motion set has " + std::to_string(count) + ")");
        return false;
    }
    // The old character goes first, then the textures it was drawn with.
    releaseCharacter();
    adopt(std::move(loaded), std::move(textures));
    sceneWarnings_ = std::move(warnings);
    lift_ = placement.lift;
    chooseBlending();
    playedClip_ = motion;
    playbackRate_ = playbackRateOf(character_.get());
    return true;
}

void FrameRenderer::switchToEmbedded() {
    releaseCharacter();
    playedClip_ = 3;
    playbackRate_ = 1.0f;
    loadEmbedded();
    chooseBlending();
}

void FrameRenderer::adopt(std::unique_ptr<CharacterData> data, std::unique_ptr<TextureManager> textures) {
    character_ = std::move(data);
    pose_.reset(*character_);
    life_.reset();
    lively_ = !character_->humanoid.empty() || !character_->expressions.empty() || !character_->springs.empty();
    needsNormals_ = drawingNeedsNormals(*character_);
    if (textures) {
        ownTextures_ = std::move(textures);
        objects_.meshRenderer.attachTextureManager(ownTextures_.get());
    }
}

// Blending stays off for a character that draws only opaque pixels; its
// textures are its own for a character read from files.
void FrameRenderer::chooseBlending() {
    const TextureManager& textures = ownTextures_ ? *ownTextures_ : objects_.textureManager;
    blend_ = !character_ || !drawsOnlyOpaque(character_->model, textures);
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

void FrameRenderer::renderFrame(const MascotState& state) {
    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glLoadIdentity();
    gluLookAt(0.0, -20.0, 480.0, 0.0, -20.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(state.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(state.yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, -140.0f + lift_, 0.0f);

    if (character_) {
        const AvatarInputs* inputs = nullptr;
        if (lively_ && still_) {
            stillInputs_.heldExpressions = &held_;
            inputs = &stillInputs_;
        } else if (lively_) {
            inputs = &life_.inputsFor(state, lift_);
        }
        poseCharacter(*character_, state.motionIndex, state.phase, needsNormals_, pose_, inputs);
    }

    glEnable(GL_TEXTURE_2D);
    if (blend_) {
        glEnable(GL_BLEND);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (character_) {
        objects_.meshRenderer.drawCharacter(*character_, pose_);
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glFlush();
}

void FrameRenderer::releaseGlObjects() { objects_.meshRenderer.releaseTextures(); }

void FrameRenderer::resumeScene(int32_t width, int32_t height) {
    setupProjection(width, height);
    finishScene();
}

void FrameRenderer::releaseCharacter() {
    character_.reset();
    pose_ = CharacterPose();
    if (ownTextures_) {
        objects_.meshRenderer.attachTextureManager(&objects_.textureManager);
        ownTextures_.reset();
    }
    lively_ = false;
    still_ = false;
    held_.clear();
    lift_ = 0.0f;
}

int32_t defaultMotion(const CharacterData* character) {
    const bool fourOrMore = character != nullptr && character->hasRig() && character->clipCount() >= 4;
    return fourOrMore ? 3 : 0;
}

MotionTiming queryMotionTiming(const CharacterData* character, int32_t clip) {
    MotionTiming timing;
    if (character == nullptr || !character->hasRig() || clip < 0 || clip >= character->clipCount()) {
        return timing;
    }
    const Clip& played = character->clips[static_cast<size_t>(clip)];
    timing.endFrame = played.endFrame;
    timing.rate = played.cyclesPerSecond();
    if (played.frameBased && played.endFrame > 0) {
        timing.inverseEndFrame = 1.0f / static_cast<float>(played.endFrame);
    }
    return timing;
}

}  // namespace tavo
