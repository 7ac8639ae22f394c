#pragma once

#include "math/vec3.h"

namespace tavo {

// Sixteen floats in OpenGL column-major order (element k is column k/4, row k%4).
struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    // Treats the first twelve floats as three rows of four: with a column-major
    // model-view matrix this applies the transpose of its rotation part.
    Vec3 transformRows(const Vec3& p) const;
};

}  // namespace tavo
