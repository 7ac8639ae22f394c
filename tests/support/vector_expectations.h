#pragma once

#include "math/quaternion.h"
#include "math/vec3.h"

namespace tavo::test {

// Component-wise EXPECT_NEAR for the math types, one failure line per
// component that is off.
void expectVec(const Vec3& actual, const Vec3& expected, float tolerance = 1e-5f);
void expectQuat(const Quaternion& actual, const Quaternion& expected, float tolerance = 1e-5f);

}  // namespace tavo::test
