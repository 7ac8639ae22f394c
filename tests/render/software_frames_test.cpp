// Frames of the embedded character and of Fuwari, drawn by tavo-render on the
// software path, must stay the same to the byte at a fixed set of poses, on
// both GL back ends: every change that makes a frame cheaper, or moves the
// character into other records, has to leave its picture alone. The hashes
// were taken from the program before the frame was made leaner and before
// the characters were read into format-neutral records; a change that means
// to alter the picture must update them knowingly.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/offscreen_gl_surface.h"
#include "resources/png_loader.h"

namespace tavo {
namespace {

const std::string kTool = std::string(TAVO_BINARY_DIR) + "/tools/render/tavo-render";

const std::string kFuwari = std::string("--model ") + TAVO_SOURCE_DIR +
                           "/characters/fuwari/fuwari.mqo --motions " + TAVO_SOURCE_DIR +
                           "/characters/fuwari/fuwari.mkm ";

struct Pose {
    std::string arguments;
    uint64_t osmesa;  // FNV-1a of the decoded RGBA pixels, top row first
    uint64_t egl;
};

const Pose kPoses[] = {
    {"--phase 0", 0xd1d327868c2bcdfcull, 0x9f1de24cb42d5703ull},
    {"--phase 0.25 --yaw -30", 0xe731462be7b7e5dbull, 0xb607f32469da6edbull},
    {"--phase 0.5 --yaw 90 --pitch 20", 0xbe279914f13edfccull, 0x28cb76b36aaaee2eull},
    {"--phase 0.75 --yaw 200 --pitch -35", 0xc19279aed92f9f0aull, 0xd878536fcbf9eb2bull},
    {"--phase 0.9 --yaw 45 --pitch 60 --motion 1", 0xc6ceb5e6e3a4a7dfull, 0xc6ceb5e6e3a4a7dfull},
    {kFuwari + "--phase 0", 0xde87eb49134a9d04ull, 0x4172da9157ae6756ull},
    {kFuwari + "--phase 0.25 --yaw -30", 0x16792d3ee35d693bull, 0xab5b528ac8791e7cull},
    {kFuwari + "--phase 0.5 --yaw 90 --pitch 20", 0x9489529917eb0bd1ull, 0x9489529917eb0bd1ull},
    {kFuwari + "--phase 0.75 --yaw 200 --pitch -35 --motion 2", 0x458f334f8313a2cdull,
     0x19ba2fefacd07b2dull},
    {kFuwari + "--phase 0.9 --yaw 45 --pitch 60 --motion 1", 0x023d0ab9656eb4feull,
     0x4a99a923b0d30db5ull},
};

uint64_t fnv1a(const uint8_t* bytes, size_t count) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < count; ++i) {
        hash = (hash ^ bytes[i]) * 0x100000001b3ull;
    }
    return hash;
}

// Renders one pose with the given GL back end into a PNG and loads it;
// false when tavo-render failed.
bool render(const std::string& arguments, const std::string& backEnd, PngLoader& png) {
    // One file per process: the tests of this file may run side by side.
    const std::string out =
        testing::TempDir() + "tavo_frame_" + backEnd + "_" + std::to_string(getpid()) + ".png";
    const std::string command = "TAVO_GL=" + backEnd + " " + kTool + " " + arguments + " --out " + out +
                                " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    const bool loaded = WIFEXITED(status) && WEXITSTATUS(status) == 0 && png.load(out.c_str()) == 1;
    std::remove(out.c_str());
    return loaded;
}

size_t byteCount(const PngLoader& png) {
    return static_cast<size_t>(png.width()) * static_cast<size_t>(png.height()) * 4;
}

uint64_t renderedHash(const std::string& arguments, const std::string& backEnd) {
    PngLoader png;
    return render(arguments, backEnd, png) ? fnv1a(png.pixels(), byteCount(png)) : 0;
}

void expectSameFrames(const std::string& backEnd) {
    for (const Pose& pose : kPoses) {
        const uint64_t hash = renderedHash(pose.arguments, backEnd);
        EXPECT_EQ(hash, backEnd == "egl" ? pose.egl : pose.osmesa)
            << backEnd << " " << pose.arguments << ": got 0x" << std::hex << hash;
    }
}

bool toolBuilt() {
    if (std::FILE* file = std::fopen(kTool.c_str(), "rb")) {
        std::fclose(file);
        return true;
    }
    return false;
}

TEST(SoftwareFrames, OsmesaFramesOfTheShippedCharactersAreUnchanged) {
    if (!toolBuilt()) {
        GTEST_SKIP() << "tavo-render is not built";
    }
    expectSameFrames("osmesa");
}

TEST(SoftwareFrames, EglFramesOfTheShippedCharactersAreUnchanged) {
    OffscreenGlSurface probe(1, 1, GlChoice::Egl);
    if (!toolBuilt() || !probe.valid() || probe.renderer().find("llvmpipe") == std::string::npos) {
        GTEST_SKIP() << "tavo-render is not built, or EGL gives no llvmpipe context here";
    }
    expectSameFrames("egl");
}

// EGL on llvmpipe is the same software rasteriser drawing into a buffer of
// another channel order: the frames agree but for rounding, one step in a
// channel of a few pixels.
TEST(SoftwareFrames, EglFramesOnTheSoftwareRasteriserAgreeWithOsmesa) {
    OffscreenGlSurface probe(1, 1, GlChoice::Egl);
    if (!toolBuilt() || !probe.valid() || probe.renderer().find("llvmpipe") == std::string::npos) {
        GTEST_SKIP() << "tavo-render is not built, or EGL gives no llvmpipe context here";
    }
    for (const Pose& pose : {kPoses[1], kPoses[4]}) {
        PngLoader osmesa;
        PngLoader egl;
        ASSERT_TRUE(render(pose.arguments, "osmesa", osmesa) && render(pose.arguments, "egl", egl));
        ASSERT_EQ(byteCount(osmesa), byteCount(egl));
        size_t differing = 0;
        for (size_t i = 0; i < byteCount(osmesa); ++i) {
            const int step = std::abs(osmesa.pixels()[i] - egl.pixels()[i]);
            ASSERT_LE(step, 1) << pose.arguments << " at byte " << i;
            differing += step != 0 ? 1 : 0;
        }
        EXPECT_LT(differing, byteCount(osmesa) / 4 / 1000) << pose.arguments;
    }
}

}  // namespace
}  // namespace tavo
