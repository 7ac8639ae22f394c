#pragma once

namespace tavo::chara {

// Sine, cosine and exponential from nothing but IEEE additions, products,
// quotients and exact scalings, so that every platform's build of the
// generator computes the same bits (library versions differ in the last one,
// which can tip a rounded coordinate in the written model).
double portableSin(double x);
double portableCos(double x);
double portableExp(double x);

inline float portableSin(float x) { return static_cast<float>(portableSin(static_cast<double>(x))); }
inline float portableCos(float x) { return static_cast<float>(portableCos(static_cast<double>(x))); }

}  // namespace tavo::chara
