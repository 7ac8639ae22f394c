#include <gtest/gtest.h>

#include "math/vec3.h"
#include "math/vec3d.h"

namespace tavo {
namespace {

void expectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(Vec3, NormalisingFallsBackOnlyForAnExactlyZeroLength) {
    expectVec(Vec3(0, 0, 0).normalized(), 1, 0, 0);
    expectVec(Vec3(0, 0, 0.000001f).normalized(), 0, 0, 1);
    expectVec(Vec3(0, -3, 4).normalized(), 0, -0.6f, 0.8f);

    Vec3 zero;
    zero.normalize();
    expectVec(zero, 1, 0, 0);
    Vec3 tiny(0, 0.000001f, 0);
    tiny.normalize();
    expectVec(tiny, 0, 1, 0);
}

TEST(Vec3, ArithmeticAndCrossProductOrientation) {
    const Vec3 a(1, 2, 3);
    const Vec3 b(-4, 5, 0.5f);
    expectVec(a.add(b), -3, 7, 3.5f);
    expectVec(a.subtract(b), 5, -3, 2.5f);
    expectVec(a.scale(-2), -2, -4, -6);
    EXPECT_FLOAT_EQ(Vec3(2, 3, 6).length(), 7.0f);
    expectVec(Vec3(1, 0, 0).cross(Vec3(0, 1, 0)), 0, 0, 1);
    expectVec(Vec3(0, 1, 0).cross(Vec3(1, 0, 0)), 0, 0, -1);
    const Vec3 c = a.cross(b);
    EXPECT_NEAR(c.dot(a), 0.0f, 1e-5f);
    EXPECT_NEAR(c.dot(b), 0.0f, 1e-5f);
}

TEST(Vec3d, DoublePrecisionProducts) {
    const Vec3d a(1, 0, 0);
    const Vec3d k = a.cross(Vec3d(0, 1, 0));
    EXPECT_DOUBLE_EQ(k.z, 1.0);
    EXPECT_DOUBLE_EQ(Vec3d(1, 2, 3).dot(Vec3d(4, 5, 6)), 32.0);
    // A sum that float would round away survives in double.
    const Vec3d sum = Vec3d(1e8, 0, 0).add(Vec3d(1, 0, 0).scale(0.5));
    EXPECT_DOUBLE_EQ(sum.x, 100000000.5);
}

}  // namespace
}  // namespace tavo
