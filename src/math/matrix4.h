#pragma once

#include "math/vec3.h"

namespace tavo {

struct Quaternion;

// Sixteen floats in OpenGL column-major order (element k is column k/4, row k%4).
struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    // Treats the first twelve floats as three rows of four: with a column-major
    // model-view matrix this applies the transpose of its rotation part.
    Vec3 transformRows(const Vec3& p) const;

    // This matrix times the point (x, y, z, 1), and times the direction (x, y, z, 0).
    Vec3 transformPoint(const Vec3& p) const;
    Vec3 transformDirection(const Vec3& d) const;
};

// a times b: b applies first.
Matrix4 multiply(const Matrix4& a, const Matrix4& b);
// Translation times rotation (a unit quaternion) times scale.
Matrix4 composeTransform(const Vec3& translation, const Quaternion& rotation, const Vec3& scale);

}  // namespace tavo
