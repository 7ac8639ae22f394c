// Posing a running character allocates nothing once its pose has been sized:
// the jobs write into the storage the pose keeps from frame to frame. Every
// allocation of this test executable is counted to see it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

#include "animation/posing.h"
#include "character/character_data.h"
#include "formats/character_format.h"
#include "render/frame_renderer.h"
#include "resources/texture_manager.h"

namespace {
size_t allocations = 0;
}

// AddressSanitizer brings an operator new of its own, which must not be
// replaced; under it the count is not taken.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCounting = false;
#else
constexpr bool kCounting = true;

void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
#endif

namespace tavo {
namespace {

// With inputs, an avatar's frames blink, look at a moving point, swing their
// spring bones and are carried along.
void expectSteadyFrames(const CharacterData& character, int32_t clip, bool alive = false) {
    CharacterPose pose;
    pose.reset(character);
    AvatarInputs inputs;
    const AvatarInputs* given = alive ? &inputs : nullptr;
    ASSERT_TRUE(poseCharacter(character, clip, 0.0f, true, pose, given));  // the first frame sizes it
    const size_t before = allocations;
    for (int frame = 1; frame <= 60; ++frame) {
        const float phase = static_cast<float>(frame) / 60.0f;
        inputs.seconds = 0.05f;
        inputs.blink = phase;
        inputs.looking = true;
        inputs.lookTarget = Vec3(std::sin(phase * 6.0f), 1.2f, 1.0f);
        inputs.carried.shift = Vec3(0.01f, 0.0f, 0.0f);
        ASSERT_TRUE(poseCharacter(character, clip, phase, frame % 2 == 0, pose, given));
    }
    EXPECT_EQ(allocations - before, 0u) << "allocations in 60 steady frames";
}

TEST(SteadyFrames, PosingTheShippedCharactersAllocatesNothing) {
    if (!kCounting) {
        GTEST_SKIP() << "the sanitizer owns operator new here";
    }
    TextureManager noTextures;
    CharacterData embedded;
    LoadError error;
    ASSERT_TRUE(readEmbeddedCharacter(noTextures, embedded, error)) << error.describe();
    expectSteadyFrames(embedded, 3);

    const std::string folder = std::string(TAVO_SOURCE_DIR) + "/characters/fuwari/";
    CharacterData fuwari;
    ASSERT_TRUE(readCharacter({folder + "fuwari.mqo", folder + "fuwari.mkm", 1.0f}, noTextures, fuwari,
                              error))
        << error.describe();
    for (int32_t clip = 0; clip < fuwari.clipCount(); ++clip) {
        expectSteadyFrames(fuwari, clip);
    }

    CharacterData hinata;
    ASSERT_TRUE(readCharacter({std::string(TAVO_SOURCE_DIR) + "/characters/hinata/hinata.vrm", "", 1.0f}, noTextures,
                              hinata, error))
        << error.describe();
    ASSERT_FALSE(hinata.springs.empty());
    expectSteadyFrames(hinata, 0, true);
}

}  // namespace
}  // namespace tavo
