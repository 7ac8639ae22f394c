#include "render/frame_renderer.h"

#include <gtest/gtest.h>

#include <fstream>

#include "behaviour/figure_motion.h"
#include "render/program_objects.h"
#include "resources/gl_api.h"
#include "resources/image_loader.h"
#include "resources/memory_stream.h"
#include "support/temp_directory.h"
#include "support/offscreen_gl_context.h"

namespace tavo {
namespace {

bool everyPixelTransparentBlack(const OffscreenGlSurface& surface) {
    for (size_t i = 0; i < surface.byteCount(); ++i) {
        if (surface.pixels()[i] != 0) {
            return false;
        }
    }
    return true;
}

// A frame renderer drawing into a surface of the program's size.
class FrameRendering : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.valid()); }

    // Renders the frame at `now`, waits for it and keys out the background.
    void renderKeyed() {
        frame.renderFrame(state);
        gl.finishFrame();
        applyColorKey(gl.pixels(), gl.width(), gl.height());
    }

    test::OffscreenGlContext gl{400, 360};
    ProgramObjects objects;
    FrameRenderer frame{objects};
    MascotState state;
};
using SceneLoading = FrameRendering;

TEST_F(FrameRendering, AFrameWithoutCharacterIsFullyTransparent) {
    setupProjection(400, 360);
    renderKeyed();
    EXPECT_EQ(frame.character(), nullptr);
    EXPECT_TRUE(everyPixelTransparentBlack(gl));
}

TEST_F(FrameRendering, RotationsAreAppliedBeforeThePitchSettles) {
    state.pitchRate = 3.33f;
    state.yawRate = 2.0f;
    advanceFigure(state, 0);
    frame.renderFrame(state);
    settlePitch(state);
    EXPECT_FLOAT_EQ(state.pitch, 3.33f);
    EXPECT_NEAR(state.pitchRate, 1.33f, 1e-5f);
    EXPECT_FLOAT_EQ(state.yaw, 2.0f);

    // The drawn matrix holds the camera, both rotations and the lowering.
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    glLoadIdentity();
    gluLookAt(0.0, -20.0, 480.0, 0.0, -20.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(3.33f, 1.0f, 0.0f, 0.0f);
    glRotatef(2.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, -140.0f, 0.0f);
    float expected[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(matrix[i], expected[i], 1e-4f) << i;
    }
}

int opaquePixels(const OffscreenGlSurface& surface) {
    int count = 0;
    for (size_t i = 3; i < surface.byteCount(); i += 4) {
        count += surface.pixels()[i] == 255 ? 1 : 0;
    }
    return count;
}

TEST_F(SceneLoading, TheEmbeddedCharacterLoadsAndIsDrawn) {
    frame.loadScene(400, 360);
    followCharacter(state, frame.playedClip(), frame.playbackRate());

    ASSERT_NE(frame.character(), nullptr);
    EXPECT_EQ(objects.meshRenderer.textureManager(), &objects.textureManager);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint cullMode = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
    EXPECT_EQ(cullMode, GL_FRONT);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 360);

    // The motion set is opened after the model: the played motion (index 3)
    // is there, and the playback rate comes from motion 0.
    const CharacterData* character = frame.character();
    ASSERT_NE(character, nullptr);
    ASSERT_TRUE(character->hasRig());
    ASSERT_GT(character->clipCount(), state.motionIndex);
    ASSERT_GT(character->clips[0].endFrame, 0);
    EXPECT_FLOAT_EQ(state.phaseRate, 60.0f / static_cast<float>(character->clips[0].endFrame));

    // Seen from the front or from behind, something of it shows.
    int drawn = 0;
    for (float yaw : {0.0f, 180.0f}) {
        state.yaw = yaw;
        renderKeyed();
        drawn += opaquePixels(gl);
    }
    EXPECT_GT(drawn, 100);

    // Its materials and texture are opaque, so it is drawn without blending;
    // one translucent material (or no materials at all) brings blending back.
    Model model = frame.character()->model;
    EXPECT_TRUE(drawsOnlyOpaque(model, objects.textureManager));
    model.materials.back().color[3] = 0.5f;
    EXPECT_FALSE(drawsOnlyOpaque(model, objects.textureManager));
    model.materials.back().color[3] = 1.0f;
    model.useMaterials = false;
    EXPECT_FALSE(drawsOnlyOpaque(model, objects.textureManager));
    frame.releaseCharacter();
    EXPECT_EQ(frame.character(), nullptr);
}

TEST_F(SceneLoading, AnUnreadableModelLeavesNoCharacterAndEmptyFrames) {
    test::TempDirectory folder;
    const auto write = [&](const char* name, const char* text) {
        const std::string path = (folder.path() / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    };
    const std::string path = write("garbage.mqo", "Metasequoia Document\nFormat Binary\n");
    LoadError error;
    EXPECT_FALSE(frame.loadSceneFrom(400, 360, CharacterSource{path, "", 1.0f}, error));
    EXPECT_EQ(frame.character(), nullptr);
    EXPECT_EQ(state.phaseRate, 1.0f);
    EXPECT_EQ(error.file, path);
    EXPECT_EQ(error.line, 2);

    const std::string other = write("model.txt", "plain words");
    EXPECT_FALSE(frame.loadSceneFrom(400, 360, CharacterSource{other, "", 1.0f}, error));
    EXPECT_EQ(error.describe(), other + ": not a character model in a format this program reads");
    EXPECT_EQ(frame.character(), nullptr);
    renderKeyed();
    EXPECT_TRUE(everyPixelTransparentBlack(gl));
}

TEST(MotionTiming, ComesFromTheEndFrameOfTheMotion) {
    CharacterData character;
    character.clips.resize(2);
    EXPECT_EQ(queryMotionTiming(&character, 0).endFrame, 0) << "no rig";

    character.rig.joints.resize(1);
    for (Clip& clip : character.clips) {
        clip.frameBased = true;
    }
    character.clips[0].endFrame = 15;
    character.clips[1].endFrame = 0;

    const MotionTiming timing = queryMotionTiming(&character, 0);
    EXPECT_EQ(timing.endFrame, 15);
    EXPECT_FLOAT_EQ(timing.rate, 4.0f);
    EXPECT_FLOAT_EQ(timing.inverseEndFrame, 1.0f / 15.0f);

    // An end frame of 0 gives no rate instead of an infinite one.
    const MotionTiming still = queryMotionTiming(&character, 1);
    EXPECT_EQ(still.endFrame, 0);
    EXPECT_EQ(still.rate, 0.0f);

    for (int32_t missing : {-1, 2}) {
        EXPECT_EQ(queryMotionTiming(&character, missing).rate, 0.0f) << missing;
    }
    EXPECT_EQ(queryMotionTiming(nullptr, 0).rate, 0.0f);

    // A clip timed in seconds runs once in its duration.
    character.clips[1].frameBased = false;
    character.clips[1].duration = 0.5f;
    EXPECT_FLOAT_EQ(queryMotionTiming(&character, 1).rate, 2.0f);
}

// Counts the loaders alive, to see who destroys them and when.
int liveLoaders = 0;

class CountingLoader : public ImageLoader {
public:
    CountingLoader() { ++liveLoaders; }
    ~CountingLoader() override { --liveLoaders; }
    int32_t acceptsExtension(const char*) override { return 0; }
    int32_t decode(ByteStream*) override { return 0; }
    int32_t load(const char*) override { return 0; }
    ImageDescription& describe(ImageDescription& description) override { return description; }
    void release() override {}
};

TEST(ProgramObjects, OwnTheirLoadersAndCanBeMadeAndDestroyedRepeatedly) {
    for (int round = 0; round < 3; ++round) {
        auto objects = std::make_unique<ProgramObjects>();
        // Declared (and so built) renderer first, destroyed last.
        EXPECT_LT(static_cast<void*>(&objects->meshRenderer),
                  static_cast<void*>(&objects->textureManager));
        EXPECT_EQ(objects->meshRenderer.textureManager(), nullptr);

        std::vector<std::unique_ptr<ImageLoader>> loaders;
        loaders.push_back(std::make_unique<CountingLoader>());
        loaders.push_back(std::make_unique<CountingLoader>());
        EXPECT_EQ(objects->registerImageLoaders(std::move(loaders)), 1);
        EXPECT_EQ(objects->meshRenderer.textureManager(), &objects->textureManager);
        EXPECT_EQ(liveLoaders, 2);
        objects.reset();
        EXPECT_EQ(liveLoaders, 0) << "round " << round;
    }
}

}  // namespace
}  // namespace tavo
