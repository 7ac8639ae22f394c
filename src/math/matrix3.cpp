#include "math/matrix3.h"

#include <cmath>

namespace tavo {

Matrix3 Matrix3::fromColumns(const Vec3& a, const Vec3& b, const Vec3& c) {
    Matrix3 result;
    result.m[0][0] = a.x;
    result.m[0][1] = b.x;
    result.m[0][2] = c.x;
    result.m[1][0] = a.y;
    result.m[1][1] = b.y;
    result.m[1][2] = c.y;
    result.m[2][0] = a.z;
    result.m[2][1] = b.z;
    result.m[2][2] = c.z;
    return result;
}

float Matrix3::determinant() const {
    return m[0][0] * m[1][1] * m[2][2] - m[0][0] * m[1][2] * m[2][1] -
           m[0][1] * m[1][0] * m[2][2] + m[0][1] * m[1][2] * m[2][0] +
           m[0][2] * m[1][0] * m[2][1] - m[0][2] * m[1][1] * m[2][0];
}

// Branches are tested in this order: positive trace, then the largest
// diagonal element (ties go to the earlier one).
Quaternion Matrix3::toQuaternion() const {
    const float trace = m[0][0] + m[1][1] + m[2][2];
    Quaternion q;
    if (trace > 0.0f) {
        const float s = 0.5f * std::sqrt(trace + 1.0f);
        q.w = s;
        q.x = (m[1][2] - m[2][1]) / (4.0f * s);
        q.y = (m[2][0] - m[0][2]) / (4.0f * s);
        q.z = (m[0][1] - m[1][0]) / (4.0f * s);
    } else if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
        const float s = 0.5f * std::sqrt(m[0][0] - m[1][1] - m[2][2] + 1.0f);
        q.x = s;
        q.y = (m[1][0] + m[0][1]) / (4.0f * s);
        q.z = (m[2][0] + m[0][2]) / (4.0f * s);
        q.w = (m[1][2] - m[2][1]) / (4.0f * s);
    } else if (m[1][1] >= m[0][0] && m[1][1] >= m[2][2]) {
        const float s = 0.5f * std::sqrt(m[1][1] - m[0][0] - m[2][2] + 1.0f);
        q.y = s;
        q.x = (m[1][0] + m[0][1]) / (4.0f * s);
        q.z = (m[2][1] + m[1][2]) / (4.0f * s);
        q.w = (m[2][0] - m[0][2]) / (4.0f * s);
    } else {
        const float s = 0.5f * std::sqrt(m[2][2] - m[0][0] - m[1][1] + 1.0f);
        q.z = s;
        q.x = (m[2][0] + m[0][2]) / (4.0f * s);
        q.y = (m[2][1] + m[1][2]) / (4.0f * s);
        q.w = (m[0][1] - m[1][0]) / (4.0f * s);
    }
    return q;
}

}  // namespace tavo
