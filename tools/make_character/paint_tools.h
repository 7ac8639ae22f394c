#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "mesh_builder.h"

// Small helpers for painting a character's texture from functions of the
// texture coordinates.
namespace tavo::chara::paint {

struct Colour {
    double r, g, b;
};

inline Colour mix(const Colour& a, const Colour& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Colour scaled(const Colour& c, double s) { return {c.r * s, c.g * s, c.b * s}; }

// 1 inside, 0 outside, with a soft edge `soft` wide (in the same units).
inline double inside(double distanceOutside, double soft) {
    return std::clamp(0.5 - distanceOutside / soft, 0.0, 1.0);
}

// Roughly the distance outside an axis-aligned ellipse (negative inside).
inline double ellipse(double x, double y, double cx, double cy, double rx, double ry) {
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return (std::sqrt(dx * dx + dy * dy) - 1.0) * std::min(rx, ry);
}

// Soft light from the upper front, baked in because the program draws unlit.
inline double frontLight(double nx, double ny, double nz) {
    const double lx = 0.25, ly = 0.55, lz = 0.80;
    const double d = (nx * lx + ny * ly + nz * lz) / std::sqrt(lx * lx + ly * ly + lz * lz);
    return 0.80 + 0.20 * std::max(0.0, d);
}

// Position of (u, v) inside an area as fractions, or false when it lies
// more than `pad` outside.
inline bool within(const UvRect& r, double u, double v, double pad, double& s, double& t) {
    if (u < r.u0 - pad || u > r.u1 + pad || v < r.v0 - pad || v > r.v1 + pad) {
        return false;
    }
    s = std::clamp((u - r.u0) / (r.u1 - r.u0), 0.0, 1.0);
    t = std::clamp((v - r.v0) / (r.v1 - r.v0), 0.0, 1.0);
    return true;
}

// A square RGBA picture, rows from top to bottom, fully opaque, each pixel
// the mean of 3 x 3 samples of colourAt(u, v). No channel exceeds 250, so no
// texel can reach the blue 255 of the colour key.
std::vector<uint8_t> paintSquare(int32_t size, const std::function<Colour(double, double)>& colourAt);

}  // namespace tavo::chara::paint
