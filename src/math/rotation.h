#pragma once

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo {

// Rotation by angle (radians) about a unit axis.
Quaternion axisAngle(const Vec3& axis, float angle);
// q scaled to unit length; the identity for a zero or non-finite q.
Quaternion unitQuaternion(const Quaternion& q);
// The shortest rotation that turns unit vector from onto unit vector to.
Quaternion rotationBetween(const Vec3& from, const Vec3& to);
// Shortest-arc spherical blend of unit rotations, t in [0, 1].
Quaternion slerp(const Quaternion& a, const Quaternion& b, float t);

}  // namespace tavo
