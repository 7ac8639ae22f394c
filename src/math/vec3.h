#pragma once

#include <cmath>

namespace tavo {

// A 32-bit float vector: position, direction, normal or RGB colour.
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3() = default;
    Vec3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

    void set(float xValue, float yValue, float zValue) {
        x = xValue;
        y = yValue;
        z = zValue;
    }

    Vec3 add(const Vec3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vec3 subtract(const Vec3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vec3 scale(float s) const { return {s * x, s * y, s * z}; }
    float dot(const Vec3& b) const { return x * b.x + y * b.y + z * b.z; }
    float length() const { return std::sqrt(x * x + y * y + z * z); }

    Vec3 cross(const Vec3& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }

    // Only an exactly zero length falls back to (1, 0, 0); there is no epsilon.
    Vec3 normalized() const {
        const float len = length();
        if (len == 0.0f) {
            return {1.0f, 0.0f, 0.0f};
        }
        return {x / len, y / len, z / len};
    }

    void normalize() { *this = normalized(); }
};

inline Vec3 operator+(const Vec3& a, const Vec3& b) { return a.add(b); }
inline Vec3 operator-(const Vec3& a, const Vec3& b) { return a.subtract(b); }
inline Vec3 operator*(const Vec3& a, float s) { return a.scale(s); }
inline Vec3 operator*(float s, const Vec3& a) { return a.scale(s); }

}  // namespace tavo
