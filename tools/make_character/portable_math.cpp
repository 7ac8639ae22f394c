#include "portable_math.h"

#include <cmath>

namespace tavo::chara {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Taylor series of the sine on [-pi/2, pi/2], to well below double rounding.
double sineSeries(double x) {
    const double x2 = x * x;
    double term = x;
    double sum = x;
    for (int k = 1; k <= 12; ++k) {
        term = -term * x2 / ((2.0 * k) * (2.0 * k + 1.0));
        sum += term;
    }
    return sum;
}

}  // namespace

double portableSin(double x) {
    // fmod is exact; fold into [-pi, pi], then onto [-pi/2, pi/2].
    double r = std::fmod(x, 2.0 * kPi);
    if (r > kPi) {
        r -= 2.0 * kPi;
    } else if (r < -kPi) {
        r += 2.0 * kPi;
    }
    if (r > kPi / 2.0) {
        r = kPi - r;
    } else if (r < -kPi / 2.0) {
        r = -kPi - r;
    }
    return sineSeries(r);
}

double portableCos(double x) { return portableSin(x + kPi / 2.0); }

double portableExp(double x) {
    constexpr double kLn2 = 0.69314718055994530942;
    const double k = std::floor(x / kLn2 + 0.5);
    const double r = x - k * kLn2;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 20; ++n) {
        term = term * r / n;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

}  // namespace tavo::chara
