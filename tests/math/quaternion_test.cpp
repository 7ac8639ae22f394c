#include <gtest/gtest.h>

#include <cmath>

#include "math/matrix3.h"
#include "math/matrix4.h"
#include "math/quaternion.h"

namespace tavo {
namespace {

TEST(Quaternion, IdentityAndBasisProducts) {
    const Quaternion p(0.1f, -0.2f, 0.3f, 0.9f);
    const Quaternion r = Quaternion(0, 0, 0, 1).multiply(p);
    EXPECT_FLOAT_EQ(r.x, p.x);
    EXPECT_FLOAT_EQ(r.w, p.w);
    const Quaternion k = Quaternion(1, 0, 0, 0).multiply(Quaternion(0, 1, 0, 0));
    EXPECT_FLOAT_EQ(k.x, 0.0f);
    EXPECT_FLOAT_EQ(k.y, 0.0f);
    EXPECT_FLOAT_EQ(k.z, 1.0f);
    EXPECT_FLOAT_EQ(k.w, 0.0f);
}

TEST(Quaternion, QuarterTurnRoundTripsThroughMatrices) {
    const float s = std::sin(static_cast<float>(M_PI) / 4.0f);
    const Matrix4 m = Quaternion(0, 0, s, s).toMatrix4();
    // OpenGL multiplies column vectors: column 0 is the image of the x axis.
    EXPECT_NEAR(m.m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m.m[1], 1.0f, 1e-6f);
    const Quaternion q =
        Matrix3::fromColumns({0, 1, 0}, {-1, 0, 0}, {0, 0, 1}).toQuaternion();
    EXPECT_NEAR(q.z, -s, 1e-6f);
    EXPECT_NEAR(q.w, s, 1e-6f);
}

}  // namespace
}  // namespace tavo
