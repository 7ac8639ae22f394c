#include "shell/linux/figure_shape.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavo {
namespace {

// A keyed picture (B, G, R, A, rows bottom-up) from rows of text written
// top-down: '#' is opaque, anything else transparent.
std::vector<uint8_t> picture(const std::vector<std::string>& rows) {
    const size_t width = rows.front().size();
    std::vector<uint8_t> pixels(width * rows.size() * 4, 0);
    for (size_t y = 0; y < rows.size(); ++y) {
        const size_t bottomUp = rows.size() - 1 - y;
        for (size_t x = 0; x < width; ++x) {
            pixels[(bottomUp * width + x) * 4 + 3] = rows[y][x] == '#' ? 255 : 0;
        }
    }
    return pixels;
}

std::string describe(const std::vector<ShapeRectangle>& rectangles) {
    std::string text;
    for (const ShapeRectangle& r : rectangles) {
        text += std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
                std::to_string(r.height) + ";";
    }
    return text;
}

// Rows with the same runs become one band; the runs are found across the
// four-pixel steps and at both ends of a row.
TEST(FigureShape, TracesOpaqueRunsAsBandsTopDown) {
    const std::vector<uint8_t> pixels = picture({
        "..........",
        ".######..#",
        ".######..#",
        "#.#.......",
        "#.#.......",
        "#.#.......",
        "..........",
    });
    FigureShape shape;
    shape.trace(pixels.data(), 10, 7);
    EXPECT_EQ(describe(shape.rectangles()), "1,1 6x2;9,1 1x2;0,3 1x3;2,3 1x3;");
    const FigureBox box = shape.box();
    EXPECT_EQ(box.x, 0);
    EXPECT_EQ(box.y, 1);
    EXPECT_EQ(box.width, 10);
    EXPECT_EQ(box.height, 5);

    FigureShape same;
    same.trace(pixels.data(), 10, 7);
    EXPECT_TRUE(same.sameAs(shape));
    const std::vector<uint8_t> empty = picture({"....", "...."});
    same.trace(empty.data(), 4, 2);
    EXPECT_TRUE(same.rectangles().empty());
    EXPECT_TRUE(same.box().empty());
    EXPECT_FALSE(same.sameAs(shape));
    EXPECT_EQ(box.unite(same.box()).width, 10);
}

}  // namespace
}  // namespace tavo
