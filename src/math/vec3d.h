#pragma once

namespace tavo {

// Double-precision scratch vector, used where rotations are composed precisely.
struct Vec3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Vec3d() = default;
    Vec3d(double xValue, double yValue, double zValue) : x(xValue), y(yValue), z(zValue) {}

    void set(double xValue, double yValue, double zValue) {
        x = xValue;
        y = yValue;
        z = zValue;
    }

    Vec3d add(const Vec3d& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vec3d scale(double s) const { return {s * x, s * y, s * z}; }
    double dot(const Vec3d& b) const { return x * b.x + y * b.y + z * b.z; }
    Vec3d cross(const Vec3d& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }
};

}  // namespace tavo
