#include "texture_painter.h"

#include <algorithm>
#include <cmath>

#include "paint_tools.h"
#include "portable_math.h"
#include "texture_layout.h"

namespace tavo::chara {
namespace {

using namespace paint;

constexpr double kPi = 3.14159265358979323846;

const Colour kFur{0.93, 0.80, 0.62};
const Colour kFurDark{0.52, 0.35, 0.24};
const Colour kInnerEar{0.95, 0.67, 0.63};
const Colour kEye{0.19, 0.13, 0.14};
const Colour kIris{0.42, 0.26, 0.17};
const Colour kShine{0.98, 0.97, 0.93};
const Colour kBlush{0.97, 0.58, 0.52};
const Colour kMouth{0.46, 0.20, 0.18};
const Colour kTunic{0.34, 0.57, 0.35};
const Colour kTunicLight{0.63, 0.79, 0.44};
const Colour kCream{0.95, 0.88, 0.68};
const Colour kButton{0.86, 0.64, 0.28};
const Colour kPants{0.22, 0.35, 0.40};
const Colour kSockA{0.92, 0.52, 0.30};
const Colour kGlowCore{0.99, 0.90, 0.52};
const Colour kGlowEdge{0.97, 0.58, 0.20};
const Colour kIron{0.27, 0.23, 0.25};

// The head: a = angle from the front towards the figure's left, l = latitude.
Colour head(double u, double v) {
    const double a = 2.0 * kPi * (u - 0.5);
    const double l = kPi / 2.0 - 2.0 * kPi * v;
    Colour c = scaled(kFur, frontLight(portableSin(a) * portableCos(l), portableSin(l), portableCos(a) * portableCos(l)));
    const double x = a * portableCos(l * 0.6);
    const double side = x < 0 ? -1.0 : 1.0;
    const double ax = std::abs(x);
    // Cheeks, then the eyes with their shine and a small smile.
    c = mix(c, kBlush, 0.55 * inside(ellipse(ax, l, 0.60, -0.17, 0.13, 0.09), 0.05));
    const double eye = ellipse(ax, l, 0.37, 0.03, 0.165, 0.21);
    c = mix(c, kEye, inside(eye, 0.02));
    c = mix(c, kIris, 0.8 * inside(ellipse(ax, l, 0.36, -0.05, 0.10, 0.10), 0.03) * inside(eye, 0.02));
    c = mix(c, kShine, inside(ellipse(x, l, side * 0.36 - 0.05, 0.10, 0.055, 0.06), 0.015));
    c = mix(c, kShine, 0.8 * inside(ellipse(x, l, side * 0.36 + 0.05, -0.06, 0.025, 0.025), 0.012));
    const double smile = std::abs(std::sqrt(x * x + (l + 0.19) * (l + 0.19) * 1.69) - 0.11);
    c = mix(c, kMouth, inside(smile - 0.021, 0.012) * (l < -0.215 ? 1.0 : 0.0));
    return c;
}

// A long ear: s round the section (0.25 is its front face), t from base to tip.
Colour ear(double s, double t) {
    const double facing = portableCos(2.0 * kPi * (s - 0.25));
    Colour c = scaled(kFur, 0.86 + 0.14 * facing);
    const double across = std::abs(s - 0.25);
    const double halfWidth = 0.17 * portableSin(kPi * std::clamp((t - 0.08) / 0.80, 0.0, 1.0));
    c = mix(c, scaled(kInnerEar, 0.92 + 0.08 * facing), inside((across - halfWidth) * 4.0, 0.06));
    return mix(c, kFurDark, (t - 0.78) / 0.18);
}

double roundShade(double s) {
    const double a = 2.0 * kPi * (s - 0.5);
    return frontLight(portableSin(a), 0.0, portableCos(a));
}

Colour arm(double s, double t) {
    Colour c = t < 0.62 ? kTunic : (t < 0.72 ? kCream : kFur);
    return scaled(c, 0.88 + 0.12 * portableCos(2.0 * kPi * s));
}

Colour leg(double s, double t) {
    Colour c = kPants;
    if (t > 0.52) {
        c = static_cast<int>((t - 0.52) / 0.075) % 2 == 0 ? kSockA : kCream;
    }
    return scaled(c, 0.88 + 0.12 * portableCos(2.0 * kPi * s));
}

Colour trunk(double s, double t) {
    Colour c = kTunic;
    // A band of leaves round the middle.
    const double wave = 0.55 + 0.035 * portableSin(s * 2.0 * kPi * 10.0);
    c = mix(c, kTunicLight, inside((std::abs(t - wave) - 0.045) * 128.0, 1.5));
    // Buttons down the front.
    for (double bt : {0.28, 0.42, 0.72}) {
        const double d = std::sqrt((s - 0.5) * (s - 0.5) * 30976.0 + (t - bt) * (t - bt) * 4225.0) - 3.2;
        c = mix(c, kButton, inside(d, 0.8));
    }
    return scaled(c, roundShade(s));
}

Colour hem(double s, double t) {
    Colour c = kTunic;
    const double tooth = std::abs(std::fmod(s * 24.0, 1.0) - 0.5) * 2.0;  // 0..1 zigzag
    c = mix(c, kCream, inside((0.62 + 0.18 * tooth - t) * 64.0, 1.2));
    return scaled(c, roundShade(s));
}

Colour glass(double s, double t) {
    const double across = std::abs(std::fmod(s * 4.0 + 0.5, 1.0) - 0.5);  // 0 at each bar
    const double glow = portableExp(-(t - 0.55) * (t - 0.55) / 0.1225);
    Colour c = mix(kGlowEdge, kGlowCore, glow);
    return mix(c, kIron, inside((across - 0.05) * 64.0, 1.0));
}

Colour hip(double s, double) { return scaled(kPants, roundShade(s)); }

Colour sample(double u, double v) {
    double s = 0.0;
    double t = 0.0;
    if (within(layout::kHead, u, v, layout::kPixel, s, t)) return head(u, v);
    if (within(layout::kEar, u, v, layout::kPixel, s, t)) return ear(s, t);
    if (within(layout::kArm, u, v, layout::kPixel, s, t)) return arm(s, t);
    if (within(layout::kLeg, u, v, layout::kPixel, s, t)) return leg(s, t);
    if (within(layout::kTrunk, u, v, layout::kPixel, s, t)) return trunk(s, t);
    if (within(layout::kHem, u, v, layout::kPixel, s, t)) return hem(s, t);
    if (within(layout::kGlass, u, v, layout::kPixel, s, t)) return glass(s, t);
    if (within(layout::kHip, u, v, layout::kPixel, s, t)) return hip(s, t);
    return kFur;
}

}  // namespace

std::vector<uint8_t> paintTexture() { return paint::paintSquare(kTextureSize, sample); }

}  // namespace tavo::chara
