#include "math/quaternion.h"

#include "math/matrix4.h"
#include "math/vec3d.h"

namespace tavo {

void Quaternion::set(float xValue, float yValue, float zValue, float wValue) {
    x = xValue;
    y = yValue;
    z = zValue;
    w = wValue;
}

Quaternion Quaternion::fromVector(const Vec3& v, float wValue) {
    return {v.x, v.y, v.z, wValue};
}

Quaternion Quaternion::multiply(const Quaternion& p) const {
    const Vec3 qv = vector();
    const Vec3 pv = p.vector();
    const Vec3 v = pv.scale(w).add(qv.scale(p.w)).add(qv.cross(pv));
    return {v.x, v.y, v.z, w * p.w - qv.dot(pv)};
}

Quaternion Quaternion::inverse() const {
    const float n = x * x + y * y + z * z + w * w;
    return {-x / n, -y / n, -z / n, w / n};
}

Vec3 Quaternion::rotate(const Vec3& v) const {
    return multiply(fromVector(v, 0.0f)).multiply(inverse()).vector();
}

Matrix4 Quaternion::toMatrix4() const {
    Matrix4 result;
    float* m = result.m;
    m[0] = 1.0f - 2.0f * y * y - 2.0f * z * z;
    m[1] = 2.0f * (w * z + x * y);
    m[2] = 2.0f * (x * z) - 2.0f * (w * y);
    m[3] = 0.0f;
    m[4] = 2.0f * (x * y) - 2.0f * (w * z);
    m[5] = 1.0f - 2.0f * x * x - 2.0f * z * z;
    m[6] = 2.0f * (y * z + w * x);
    m[7] = 0.0f;
    m[8] = 2.0f * (x * z + w * y);
    m[9] = 2.0f * (y * z) - 2.0f * (w * x);
    m[10] = 1.0f - 2.0f * x * x - 2.0f * y * y;
    m[11] = 0.0f;
    m[12] = 0.0f;
    m[13] = 0.0f;
    m[14] = 0.0f;
    m[15] = 1.0f;
    return result;
}

Quaternion multiplyPrecise(const Quaternion& q, const Quaternion& p) {
    const Vec3d a(q.x, q.y, q.z);
    const Vec3d b(p.x, p.y, p.z);
    const Vec3d v = a.cross(b).add(b.scale(q.w)).add(a.scale(p.w));
    const double w = static_cast<double>(q.w) * p.w - a.dot(b);
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z),
            static_cast<float>(w)};
}

Vec3 rotateByInverse(const Quaternion& r, const Vec3& v) {
    const Quaternion a = r.inverse();
    return a.multiply(Quaternion::fromVector(v, 0.0f)).multiply(a.conjugate()).vector();
}

Vec3 rotateByUnit(const Quaternion& r, const Vec3& v) {
    return r.multiply(Quaternion::fromVector(v, 0.0f)).multiply(r.conjugate()).vector();
}

}  // namespace tavo
