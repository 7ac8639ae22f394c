#include <cmath>

#include "fuwari.h"
#include "paint_tools.h"
#include "portable_math.h"

namespace tavo::chara::fuwari {
namespace {

using namespace paint;

constexpr double kPi = 3.14159265358979323846;

const Colour kSky{0.50, 0.64, 0.91};
const Colour kSkyDeep{0.30, 0.38, 0.70};
const Colour kIndigo{0.24, 0.27, 0.55};
const Colour kCream{0.97, 0.95, 0.87};
const Colour kLemon{0.99, 0.88, 0.52};
const Colour kEye{0.10, 0.10, 0.17};
const Colour kShine{0.98, 0.98, 0.96};
const Colour kBlush{0.98, 0.62, 0.66};

double lit(double a, double l) {
    return frontLight(portableSin(a) * portableCos(l), portableSin(l), portableCos(a) * portableCos(l));
}

// The head: a = angle from the front, l = latitude; a pale face under a sky-blue cap.
Colour head(double u, double v) {
    const double a = 2.0 * kPi * (u - 0.5);
    const double l = kPi / 2.0 - 2.0 * kPi * v;
    const double x = a * portableCos(l * 0.5);
    const double ax = std::abs(x);
    const double side = x < 0 ? -1.0 : 1.0;
    Colour c = mix(kSky, kCream, inside(ellipse(x, l, 0.0, -0.32, 1.20, 0.62), 0.10));
    c = scaled(c, lit(a, l));
    // Cheeks, then the big round eyes with their shine.
    c = mix(c, kBlush, 0.75 * inside(ellipse(ax, l, 0.74, -0.30, 0.17, 0.11), 0.07));
    const double eye = ellipse(ax, l, 0.40, 0.02, 0.14, 0.17);
    c = mix(c, kEye, inside(eye, 0.02));
    c = mix(c, kShine, inside(ellipse(x, l, side * 0.40 - 0.045, 0.09, 0.05, 0.055), 0.014));
    c = mix(c, kShine, 0.8 * inside(ellipse(x, l, side * 0.40 + 0.05, -0.06, 0.022, 0.024), 0.01));
    return c;
}

// The body: s round from the back, t from the top; sky-blue back, lemon
// breast with a cream bib, and faint scallops of feathers on the back.
Colour body(double s, double t) {
    const double a = 2.0 * kPi * (s - 0.5);
    const double l = kPi / 2.0 - kPi * t;
    const double front = portableCos(a);
    Colour c = kSky;
    const double scallop = std::abs(std::fmod(s * 36.0, 1.0) - 0.5) * 2.0;
    const double row = std::fmod(t * 14.0 + 0.25 * scallop * scallop, 1.0);
    c = mix(c, kSkyDeep, 0.22 * inside((0.16 - row) * 30.0, 1.0) * inside((front + 0.1) * 8.0, 1.0));
    c = mix(c, kLemon, inside((0.35 - front - 0.25 * (t - 0.6)) * 3.5, 1.0) * inside((0.18 - t) * 20.0, 1.0));
    c = mix(c, kCream, inside(ellipse(a, l, 0.0, 0.75, 0.95, 0.55), 0.12));
    return scaled(c, lit(a, l));
}

// A wing: s round the section, t from the shoulder to the tip; a white bar
// and darker flight feathers with pale edges.
Colour wing(double s, double t) {
    Colour c = mix(kSky, kSkyDeep, (t - 0.45) / 0.4);
    c = mix(c, kCream, inside((std::abs(t - 0.38) - 0.04) * 60.0, 1.0));
    const double feather = std::abs(std::fmod(s * 8.0, 1.0) - 0.5) * 2.0;
    c = mix(c, kIndigo, 0.6 * inside((0.72 - t + 0.05 * feather) * 40.0, 1.0) * (t > 0.5 ? 1.0 : 0.0));
    c = mix(c, kCream, 0.5 * inside((feather - 0.9) * 40.0, 1.0) * (t > 0.55 ? 1.0 : 0.0));
    return scaled(c, 0.86 + 0.14 * std::abs(portableSin(2.0 * kPi * s)));
}

// The tail: indigo feathers with a pale band at the end.
Colour tail(double s, double t) {
    Colour c = mix(kSkyDeep, kIndigo, t / 0.6);
    const double feather = std::abs(std::fmod(s * 10.0, 1.0) - 0.5) * 2.0;
    c = scaled(c, 0.92 + 0.08 * feather);
    c = mix(c, kCream, inside((0.84 - t) * 50.0, 1.0));
    return scaled(c, 0.86 + 0.14 * std::abs(portableSin(2.0 * kPi * s)));
}

// The plume: sky blue at the crown, indigo at its curled end.
Colour crest(double s, double t) {
    const Colour c = mix(kSky, kIndigo, (t - 0.3) / 0.5);
    return scaled(c, 0.86 + 0.14 * std::abs(portableSin(2.0 * kPi * s)));
}

Colour sample(double u, double v) {
    const double pad = layout::kPixel;
    double s = 0.0;
    double t = 0.0;
    if (within(layout::kHead, u, v, pad, s, t)) return head(u, v);
    if (within(layout::kBody, u, v, pad, s, t)) return body(s, t);
    if (within(layout::kWing, u, v, pad, s, t)) return wing(s, t);
    if (within(layout::kTail, u, v, pad, s, t)) return tail(s, t);
    if (within(layout::kCrest, u, v, pad, s, t)) return crest(s, t);
    return kSky;
}

}  // namespace

std::vector<uint8_t> paintTexture() { return paint::paintSquare(kTextureSize, sample); }

}  // namespace tavo::chara::fuwari
