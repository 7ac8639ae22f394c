#include "math/matrix4.h"

#include "math/quaternion.h"

namespace tavo {

Vec3 Matrix4::transformRows(const Vec3& p) const {
    return {m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3],
            m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
            m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}

Vec3 Matrix4::transformPoint(const Vec3& p) const {
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
            m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

Vec3 Matrix4::transformDirection(const Vec3& d) const {
    return {m[0] * d.x + m[4] * d.y + m[8] * d.z, m[1] * d.x + m[5] * d.y + m[9] * d.z,
            m[2] * d.x + m[6] * d.y + m[10] * d.z};
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 product;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            }
            product.m[column * 4 + row] = sum;
        }
    }
    return product;
}

Matrix4 composeTransform(const Vec3& translation, const Quaternion& rotation, const Vec3& scale) {
    Matrix4 result = rotation.toMatrix4();
    const float factors[3] = {scale.x, scale.y, scale.z};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            result.m[column * 4 + row] *= factors[column];
        }
    }
    result.m[12] = translation.x;
    result.m[13] = translation.y;
    result.m[14] = translation.z;
    return result;
}

}  // namespace tavo
