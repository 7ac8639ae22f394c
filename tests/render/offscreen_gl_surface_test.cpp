#include "render/offscreen_gl_surface.h"

#include <gtest/gtest.h>

#include "resources/gl_api.h"

namespace tavo {
namespace {

// Clears the rows from `firstRow` (counted from the bottom) up to the top to
// the given colour.
void clearRowsFrom(int32_t firstRow, int32_t width, int32_t height, float r, float g, float b) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, firstRow, width, height - firstRow);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glFinish();
}

TEST(OffscreenGlSurface, RendersIntoABottomUpBgraBuffer) {
    OffscreenGlSurface surface(8, 4);
    ASSERT_TRUE(surface.valid());
    EXPECT_EQ(surface.width(), 8);
    EXPECT_EQ(surface.height(), 4);
    ASSERT_EQ(surface.byteCount(), 8u * 4u * 4u);

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    clearRowsFrom(3, 8, 4, 1.0f, 0.0f, 0.0f);  // the top row red

    const uint8_t* bottom = surface.pixel(0, 0);
    EXPECT_EQ(bottom[0] | bottom[1] | bottom[2] | bottom[3], 0);
    const uint8_t* top = surface.pixel(7, 3);
    EXPECT_EQ(top[0], 0);    // B
    EXPECT_EQ(top[1], 0);    // G
    EXPECT_EQ(top[2], 255);  // R
    EXPECT_EQ(top[3], 255);  // A
    EXPECT_EQ(top, surface.pixels() + surface.byteCount() - 4);
}

TEST(OffscreenGlSurface, AnEmptySizeGivesNoSurface) {
    for (const auto& [width, height] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-2, 4}}) {
        OffscreenGlSurface surface(width, height);
        EXPECT_FALSE(surface.valid()) << width << " x " << height;
        EXPECT_EQ(surface.byteCount(), 0u);
        EXPECT_FALSE(surface.makeCurrent());
    }
}

TEST(OffscreenGlSurface, MakeCurrentSendsDrawingBackToItsOwnBuffer) {
    OffscreenGlSurface first(4, 4);
    OffscreenGlSurface second(4, 4);  // now current
    ASSERT_TRUE(first.valid());
    ASSERT_TRUE(second.valid());

    ASSERT_TRUE(first.makeCurrent());
    clearRowsFrom(0, 4, 4, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(first.pixel(2, 2)[1], 255);
    EXPECT_EQ(second.pixel(2, 2)[1], 0);
    EXPECT_EQ(second.pixel(2, 2)[3], 0);
}

TEST(OffscreenGlSurface, ASurfaceMadeAfterAnotherIsReleasedWorks) {
    { OffscreenGlSurface gone(4, 4); }
    OffscreenGlSurface surface(4, 4);
    ASSERT_TRUE(surface.valid());
    clearRowsFrom(0, 4, 4, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(surface.pixel(0, 0)[0], 255);
}

}  // namespace
}  // namespace tavo
