#include "math/rotation.h"

#include <cmath>

namespace tavo {

Quaternion axisAngle(const Vec3& axis, float angle) {
    const float s = std::sin(angle * 0.5f);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle * 0.5f)};
}

Quaternion unitQuaternion(const Quaternion& q) {
    const float length = std::sqrt(q.dot(q));
    if (!(length > 0.0f) || !std::isfinite(length)) return {0.0f, 0.0f, 0.0f, 1.0f};
    return q.scale(1.0f / length);
}

Quaternion rotationBetween(const Vec3& from, const Vec3& to) {
    const float cosine = from.dot(to);
    if (cosine < -0.999999f) {
        // Opposite: half a turn about any axis at right angles to from.
        Vec3 axis = Vec3(1.0f, 0.0f, 0.0f).cross(from);
        if (axis.length() < 1e-6f) axis = Vec3(0.0f, 1.0f, 0.0f).cross(from);
        return axisAngle(axis.normalized(), 3.14159265f);
    }
    const Vec3 axis = from.cross(to);
    return unitQuaternion({axis.x, axis.y, axis.z, 1.0f + cosine});
}

Quaternion slerp(const Quaternion& a, const Quaternion& b, float t) {
    Quaternion end = b;
    float cosine = a.dot(b);
    if (cosine < 0.0f) {
        end = b.scale(-1.0f);
        cosine = -cosine;
    }
    if (cosine > 0.9995f) return unitQuaternion(a.scale(1.0f - t).add(end.scale(t)));
    const float angle = std::acos(cosine);
    const float sine = std::sin(angle);
    return a.scale(std::sin((1.0f - t) * angle) / sine).add(end.scale(std::sin(t * angle) / sine));
}

}  // namespace tavo
