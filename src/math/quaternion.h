#pragma once

#include "math/vec3.h"

namespace tavo {

struct Matrix4;

// Rotation quaternion (x, y, z, w) with the scalar part last.
// No operation renormalises.
struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    Quaternion() = default;
    Quaternion(float xValue, float yValue, float zValue, float wValue)
        : x(xValue), y(yValue), z(zValue), w(wValue) {}

    void set(float xValue, float yValue, float zValue, float wValue);
    static Quaternion fromVector(const Vec3& v, float wValue);
    Vec3 vector() const { return {x, y, z}; }

    Quaternion multiply(const Quaternion& p) const;  // Hamilton product this * p
    Quaternion conjugate() const { return {-x, -y, -z, w}; }
    Quaternion inverse() const;  // conjugate / squared norm, no guard for zero
    Quaternion add(const Quaternion& p) const { return {x + p.x, y + p.y, z + p.z, w + p.w}; }
    Quaternion subtract(const Quaternion& p) const { return {x - p.x, y - p.y, z - p.z, w - p.w}; }
    Quaternion scale(float s) const { return {s * x, s * y, s * z, s * w}; }
    float dot(const Quaternion& p) const { return x * p.x + y * p.y + z * p.z + w * p.w; }

    Vec3 rotate(const Vec3& v) const;  // vector part of q (v, 0) q^-1, two literal products
    Matrix4 toMatrix4() const;
};

// The Hamilton product formed in double precision and stored as floats.
Quaternion multiplyPrecise(const Quaternion& q, const Quaternion& p);

// Rotates v by the inverse of rotation r: a (v, 0) conjugate(a) with a = inverse(r).
Vec3 rotateByInverse(const Quaternion& r, const Vec3& v);

// Rotates v by unit rotation r: r (v, 0) conjugate(r).
Vec3 rotateByUnit(const Quaternion& r, const Vec3& v);

}  // namespace tavo
