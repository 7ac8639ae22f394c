#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavo {

// A rectangle of the window, top-down; empty when width or height is 0.
struct FigureBox {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
    FigureBox unite(const FigureBox& other) const;
};

// One rectangle of a shape, laid out like the X shape extension's.
struct ShapeRectangle {
    int16_t x;
    int16_t y;
    uint16_t width;
    uint16_t height;
};

// The opaque pixels (alpha 128 or more) of a picture as the X shape
// extension takes them: rectangles in bands from the top down, sorted by x
// inside a band, with rows of the same runs joined into one band (YXBanded).
class FigureShape {
public:
    // Traces a picture of 32-bit B, G, R, A pixels with bottom-up rows.
    void trace(const uint8_t* pixels, int32_t width, int32_t height);

    const std::vector<ShapeRectangle>& rectangles() const { return rectangles_; }
    // The smallest box that holds every opaque pixel.
    const FigureBox& box() const { return box_; }
    bool sameAs(const FigureShape& other) const;
    void swap(FigureShape& other);

private:
    bool rowContinuesBand() const;

    std::vector<ShapeRectangle> rectangles_;
    std::vector<ShapeRectangle> row_;  // runs of the row being traced
    size_t bandStart_ = 0;         // first rectangle of the last band
    FigureBox box_;
};

}  // namespace tavo
