// The cost of one frame on the 400 x 360 surface: the colour key beside a
// plain copy of the same 576,000 bytes, a whole renderFrame of the embedded
// character, and the posing (poseCharacter) alone.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "animation/posing.h"
#include "behaviour/mascot_state.h"
#include "behaviour/figure_motion.h"
#include "render/frame_renderer.h"
#include "render/program_objects.h"
#include "resources/gl_api.h"
#include "support/offscreen_gl_context.h"

namespace {

constexpr int32_t kWidth = tavo::kSurfaceWidth;
constexpr int32_t kHeight = tavo::kSurfaceHeight;
constexpr size_t kSurfaceBytes = static_cast<size_t>(kWidth) * kHeight * 4;

// A surface like a rendered frame: mostly background with a figure in the
// middle, so that both outcomes of the key occur.
std::vector<uint8_t> sampleSurface() {
    std::vector<uint8_t> pixels(kSurfaceBytes);
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
            const bool figure = x > 120 && x < 280 && y > 40 && y < 320;
            p[0] = figure ? static_cast<uint8_t>((x * 7 + y) % 255) : 255;
            p[1] = figure ? 128 : 0;
            p[2] = figure ? 200 : 0;
            p[3] = 0;
        }
    }
    return pixels;
}

void BM_ColorKey(benchmark::State& state) {
    std::vector<uint8_t> pixels = sampleSurface();
    for (auto _ : state) {
        // The key is branch-free, so a frame it has keyed before costs what a
        // fresh one does; pausing the timer to put the frame back would cost
        // more than the key itself.
        tavo::applyColorKey(pixels.data(), kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSurfaceBytes);
}
BENCHMARK(BM_ColorKey);

void BM_CopySurface(benchmark::State& state) {
    const std::vector<uint8_t> source = sampleSurface();
    std::vector<uint8_t> target(kSurfaceBytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), kSurfaceBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSurfaceBytes);
}
BENCHMARK(BM_CopySurface);

// The embedded character loaded into a 400 x 360 OSMesa surface.
struct Scene {
    tavo::test::OffscreenGlContext gl{kWidth, kHeight};
    tavo::ProgramObjects objects;
    tavo::FrameRenderer frame{objects};
    tavo::MascotState mascot;

    Scene() {
        frame.loadScene(kWidth, kHeight);
        tavo::followCharacter(mascot, frame.playedClip(), frame.playbackRate());
    }
};

void BM_RenderFrame(benchmark::State& state) {
    Scene scene;
    if (!scene.gl.valid() || scene.frame.character() == nullptr) {
        state.SkipWithError("no GL context or no embedded character");
        return;
    }
    tavo::MotionClock clock;
    uint32_t now = 0;
    for (auto _ : state) {
        now += 33;
        tavo::advanceFigure(scene.mascot, clock.elapsedMs(now));
        scene.frame.renderFrame(scene.mascot);
        tavo::settlePitch(scene.mascot);
        scene.gl.finishFrame();
    }
}
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMillisecond);

void BM_AnimateCharacter(benchmark::State& state) {
    Scene scene;
    if (scene.frame.character() == nullptr) {
        state.SkipWithError("no embedded character");
        return;
    }
    const tavo::CharacterData& character = *scene.frame.character();
    tavo::CharacterPose pose;
    pose.reset(character);
    float phase = 0.0f;
    for (auto _ : state) {
        phase = phase >= 1.0f ? 0.0f : phase + 0.01f;
        tavo::poseCharacter(character, 3, phase, tavo::drawingNeedsNormals(character), pose);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AnimateCharacter)->Unit(benchmark::kMicrosecond);

}  // namespace
