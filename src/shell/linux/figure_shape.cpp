#include "shell/linux/figure_shape.h"

#include <algorithm>
#include <cstring>

namespace tavo {

namespace {

const uint64_t kAlphaHighBits = 0x8000000080000000ull;  // bit 7 of the alpha of two pixels

// Four pixels from x on, as the alpha high bits of two pixel pairs.
void loadFour(const uint8_t* row, int32_t x, uint64_t& first, uint64_t& second) {
    std::memcpy(&first, row + x * 4, 8);
    std::memcpy(&second, row + x * 4 + 8, 8);
    first &= kAlphaHighBits;
    second &= kAlphaHighBits;
}

bool opaque(const uint8_t* row, int32_t x) { return (row[x * 4 + 3] & 0x80) != 0; }

// The runs of opaque pixels of one row as one-pixel-high rectangles at row
// y. Transparent and opaque stretches are crossed four pixels at a time.
void appendOpaqueRuns(const uint8_t* row, int32_t width, int32_t y, std::vector<ShapeRectangle>& runs) {
    int32_t x = 0;
    uint64_t first = 0;
    uint64_t second = 0;
    while (x < width) {
        while (x + 4 <= width && (loadFour(row, x, first, second), (first | second) == 0)) x += 4;
        while (x < width && !opaque(row, x)) ++x;
        const int32_t start = x;
        while (x + 4 <= width && (loadFour(row, x, first, second), (first & second) == kAlphaHighBits)) x += 4;
        while (x < width && opaque(row, x)) ++x;
        if (x > start) {
            runs.push_back({static_cast<int16_t>(start), static_cast<int16_t>(y),
                            static_cast<uint16_t>(x - start), 1});
        }
    }
}

}  // namespace

FigureBox FigureBox::unite(const FigureBox& other) const {
    if (empty()) return other;
    if (other.empty()) return *this;
    const int32_t left = std::min(x, other.x);
    const int32_t top = std::min(y, other.y);
    const int32_t right = std::max(x + width, other.x + other.width);
    const int32_t bottom = std::max(y + height, other.y + other.height);
    return {left, top, right - left, bottom - top};
}

bool FigureShape::rowContinuesBand() const {
    const size_t bandSize = rectangles_.size() - bandStart_;
    if (bandSize != row_.size() || bandSize == 0) {
        return false;
    }
    const ShapeRectangle& band = rectangles_[bandStart_];
    if (band.y + band.height != row_.front().y) {
        return false;
    }
    for (size_t i = 0; i < bandSize; ++i) {
        const ShapeRectangle& a = rectangles_[bandStart_ + i];
        if (a.x != row_[i].x || a.width != row_[i].width) {
            return false;
        }
    }
    return true;
}

void FigureShape::trace(const uint8_t* pixels, int32_t width, int32_t height) {
    rectangles_.clear();
    bandStart_ = 0;
    box_ = FigureBox();
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    int32_t left = width;
    int32_t right = 0;
    for (int32_t y = 0; y < height; ++y) {
        row_.clear();
        appendOpaqueRuns(pixels + static_cast<size_t>(height - 1 - y) * rowBytes, width, y, row_);
        if (row_.empty()) {
            continue;
        }
        left = std::min<int32_t>(left, row_.front().x);
        right = std::max<int32_t>(right, row_.back().x + row_.back().width);
        if (rowContinuesBand()) {
            for (size_t i = bandStart_; i < rectangles_.size(); ++i) {
                ++rectangles_[i].height;
            }
            continue;
        }
        bandStart_ = rectangles_.size();
        rectangles_.insert(rectangles_.end(), row_.begin(), row_.end());
    }
    if (!rectangles_.empty()) {
        const int32_t top = rectangles_.front().y;
        const int32_t bottom = rectangles_.back().y + rectangles_.back().height;
        box_ = {left, top, right - left, bottom - top};
    }
}

bool FigureShape::sameAs(const FigureShape& other) const {
    return rectangles_.size() == other.rectangles_.size() &&
           std::equal(rectangles_.begin(), rectangles_.end(), other.rectangles_.begin(),
                      [](const ShapeRectangle& a, const ShapeRectangle& b) {
                          return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
                      });
}

void FigureShape::swap(FigureShape& other) {
    rectangles_.swap(other.rectangles_);
    std::swap(bandStart_, other.bandStart_);
    std::swap(box_, other.box_);
}

}  // namespace tavo
