#pragma once

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

// Row-major 3x3 matrix, always built from three columns.
struct Matrix3 {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    static Matrix3 fromColumns(const Vec3& a, const Vec3& b, const Vec3& c);
    float determinant() const;
    // The quaternion of the transposed matrix; take its conjugate for the
    // rotation that carries the axes onto the columns.
    Quaternion toQuaternion() const;
};

}  // namespace tavo
