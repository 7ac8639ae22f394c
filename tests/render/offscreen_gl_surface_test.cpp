#include "render/offscreen_gl_surface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "resources/gl_api.h"

namespace tavo {
namespace {

// Clears the rows from `firstRow` (counted from the bottom) up to the top to
// the given colour, and finishes the frame.
void clearRowsFrom(OffscreenGlSurface& surface, int32_t firstRow, float r, float g, float b) {
    const int32_t width = surface.width();
    const int32_t height = surface.height();
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, firstRow, width, height - firstRow);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    surface.finishFrame();
}

// Every test runs with each back end; one that gives no context on this
// machine is skipped.
class OffscreenGlSurfaceTest : public ::testing::TestWithParam<GlChoice> {
protected:
    void SetUp() override {
        OffscreenGlSurface probe(1, 1, GetParam());
        if (!probe.valid()) {
            GTEST_SKIP() << "no context from this back end here";
        }
    }
};

TEST_P(OffscreenGlSurfaceTest, RendersIntoABottomUpBgraBuffer) {
    OffscreenGlSurface surface(8, 4, GetParam());
    ASSERT_TRUE(surface.valid());
    EXPECT_STREQ(surface.backEndName(), GetParam() == GlChoice::Egl ? "egl" : "osmesa");
    EXPECT_NE(surface.renderer().find("OpenGL"), std::string::npos);
    EXPECT_EQ(surface.width(), 8);
    EXPECT_EQ(surface.height(), 4);
    ASSERT_EQ(surface.byteCount(), 8u * 4u * 4u);

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    clearRowsFrom(surface, 3, 1.0f, 0.0f, 0.0f);  // the top row red

    const uint8_t* bottom = surface.pixel(0, 0);
    EXPECT_EQ(bottom[0] | bottom[1] | bottom[2] | bottom[3], 0);
    const uint8_t* top = surface.pixel(7, 3);
    EXPECT_EQ(top[0], 0);    // B
    EXPECT_EQ(top[1], 0);    // G
    EXPECT_EQ(top[2], 255);  // R
    EXPECT_EQ(top[3], 255);  // A
    EXPECT_EQ(top, surface.pixels() + surface.byteCount() - 4);
}

TEST_P(OffscreenGlSurfaceTest, AnEmptySizeGivesNoSurface) {
    for (const auto& [width, height] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-2, 4}}) {
        OffscreenGlSurface surface(width, height, GetParam());
        EXPECT_FALSE(surface.valid()) << width << " x " << height;
        EXPECT_EQ(surface.byteCount(), 0u);
        EXPECT_FALSE(surface.makeCurrent());
    }
}

TEST_P(OffscreenGlSurfaceTest, MakeCurrentSendsDrawingBackToItsOwnBuffer) {
    OffscreenGlSurface first(4, 4, GetParam());
    OffscreenGlSurface second(4, 4, GetParam());  // now current
    ASSERT_TRUE(first.valid());
    ASSERT_TRUE(second.valid());

    ASSERT_TRUE(first.makeCurrent());
    clearRowsFrom(first, 0, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(first.pixel(2, 2)[1], 255);
    EXPECT_EQ(second.pixel(2, 2)[1], 0);
    EXPECT_EQ(second.pixel(2, 2)[3], 0);
}

TEST_P(OffscreenGlSurfaceTest, ASurfaceMadeAfterAnotherIsReleasedWorks) {
    { OffscreenGlSurface gone(4, 4, GetParam()); }
    OffscreenGlSurface surface(4, 4, GetParam());
    ASSERT_TRUE(surface.valid());
    clearRowsFrom(surface, 0, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(surface.pixel(0, 0)[0], 255);
}

INSTANTIATE_TEST_SUITE_P(BackEnds, OffscreenGlSurfaceTest, ::testing::Values(GlChoice::Osmesa, GlChoice::Egl),
                         [](const ::testing::TestParamInfo<GlChoice>& info) {
                             return info.param == GlChoice::Egl ? "egl" : "osmesa";
                         });

// TAVO_GL forces a back end; anything else is named in a warning.
TEST(GlChoice, ComesFromTavoGl) {
    std::string warning;
    for (const auto& [value, choice] : {std::pair{"osmesa", GlChoice::Osmesa}, std::pair{"egl", GlChoice::Egl},
                                        std::pair{"", GlChoice::Automatic}}) {
        setenv("TAVO_GL", value, 1);
        EXPECT_EQ(glChoiceFromEnvironment(warning), choice) << value;
        EXPECT_EQ(warning, "");
    }
    setenv("TAVO_GL", "vulkan", 1);
    EXPECT_EQ(glChoiceFromEnvironment(warning), GlChoice::Automatic);
    EXPECT_NE(warning.find("TAVO_GL=vulkan"), std::string::npos);
    unsetenv("TAVO_GL");
}

}  // namespace
}  // namespace tavo
