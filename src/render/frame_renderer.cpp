#include "render/frame_renderer.h"

#include "animation/playback.h"
#include "render/program_objects.h"
#include "resources/gl_api.h"
#include "resources/memory_stream.h"
#include "resources/png_resource_loader.h"
#include "skeleton/skeleton.h"

namespace tavo {

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

void FrameRenderer::beginScene(int32_t width, int32_t height) {
    releaseCharacter();
    setupProjection(width, height);
    ImageLoader* loaders[] = {new PngResourceLoader()};
    objects_.registerImageLoaders(loaders, 1);
}

void FrameRenderer::finishScene() {
    blend_ = !character_ || !character_->model || !drawsOnlyOpaque(*character_->model, objects_.textureManager);
    glClearColor(0.0f, 0.0f, 0.5f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    // Faces that run counter-clockwise on screen are culled; the outline hull
    // depends on it.
    glCullFace(GL_FRONT);
    glDepthMask(GL_TRUE);
}

bool FrameRenderer::buildFrom(ByteStream& model) {
    const bool built = buildCharacter(character_, &model, objects_.textureManager, 1.0f);
    model.close();
    return built;
}

void FrameRenderer::loadMotionsFrom(MascotState& state, ByteStream& motions) {
    const bool loaded = loadCharacterMotions(character_.get(), &motions);
    motions.close();
    if (loaded) {
        // The played motion runs at the pace of motion 0. An end frame that
        // gives no usable rate keeps the default.
        const MotionTiming timing = queryMotionTiming(character_.get(), 0);
        if (timing.rate > 0.0f) {
            state.phaseRate = timing.rate;
        }
    }
}

void FrameRenderer::renderFrame(MascotState& state, uint32_t nowMs) {
    if (!clockStarted_) {
        lastRenderTick_ = nowMs;
        clockStarted_ = true;
    }
    const uint32_t elapsed = nowMs - lastRenderTick_;
    lastRenderTick_ = nowMs;
    advancePhase(state, elapsed);

    glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glLoadIdentity();
    gluLookAt(0.0, -20.0, 480.0, 0.0, -20.0, 0.0, 0.0, 1.0, 0.0);
    applyRotationRates(state);
    glRotatef(state.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(state.yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, -140.0f, 0.0f);
    settlePitch(state);

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

void FrameRenderer::releaseCharacter() { tavo::releaseCharacter(character_); }

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
