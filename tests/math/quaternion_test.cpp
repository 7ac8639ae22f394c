#include <gtest/gtest.h>

#include <cmath>

#include "math/matrix3.h"
#include "math/matrix4.h"
#include "math/quaternion.h"

namespace tavo {
namespace {

const float kHalfRoot2 = std::sin(static_cast<float>(M_PI) / 4.0f);

void expectQuat(const Quaternion& q, float x, float y, float z, float w, float tolerance = 1e-6f) {
    EXPECT_NEAR(q.x, x, tolerance);
    EXPECT_NEAR(q.y, y, tolerance);
    EXPECT_NEAR(q.z, z, tolerance);
    EXPECT_NEAR(q.w, w, tolerance);
}

void expectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

// A unit quaternion for `angle` radians about the normalised axis.
Quaternion axisAngle(Vec3 axis, float angle) {
    const Vec3 v = axis.normalized().scale(std::sin(angle / 2));
    return {v.x, v.y, v.z, std::cos(angle / 2)};
}

// What OpenGL does with a column vector: element k is column k/4, row k%4.
Vec3 multiplyColumn(const Matrix4& m, const Vec3& v) {
    return {m.m[0] * v.x + m.m[4] * v.y + m.m[8] * v.z + m.m[12],
            m.m[1] * v.x + m.m[5] * v.y + m.m[9] * v.z + m.m[13],
            m.m[2] * v.x + m.m[6] * v.y + m.m[10] * v.z + m.m[14]};
}

TEST(Quaternion, HamiltonProductOfBasisElements) {
    const Quaternion p(0.1f, -0.2f, 0.3f, 0.9f);
    expectQuat(Quaternion(0, 0, 0, 1).multiply(p), p.x, p.y, p.z, p.w, 0);
    expectQuat(p.multiply(Quaternion(0, 0, 0, 1)), p.x, p.y, p.z, p.w, 0);
    const Quaternion i(1, 0, 0, 0), j(0, 1, 0, 0), k(0, 0, 1, 0);
    expectQuat(i.multiply(j), 0, 0, 1, 0, 0);
    expectQuat(j.multiply(i), 0, 0, -1, 0, 0);
    expectQuat(j.multiply(k), 1, 0, 0, 0, 0);
    expectQuat(i.multiply(i), 0, 0, 0, -1, 0);
}

TEST(Quaternion, InverseUndoesEvenNonUnitQuaternions) {
    const Quaternion q(1, -2, 0.5f, 3);
    expectQuat(q.multiply(q.inverse()), 0, 0, 0, 1);
    expectQuat(Quaternion(0, 0, 0, 2).inverse(), 0, 0, 0, 0.5f);
    expectQuat(q.conjugate(), -1, 2, -0.5f, 3, 0);
    Quaternion s;
    s.set(1, 2, 3, 4);
    expectQuat(s.add(q).scale(2), 4, 0, 7, 14, 0);
    expectQuat(Quaternion::fromVector(Vec3(7, 8, 9), 0), 7, 8, 9, 0, 0);
}

TEST(Quaternion, RotationsAgreeWithTheirMatrices) {
    const Quaternion quarterZ(0, 0, kHalfRoot2, kHalfRoot2);
    expectVec(quarterZ.rotate({1, 0, 0}), 0, 1, 0);
    expectVec(multiplyColumn(quarterZ.toMatrix4(), {1, 0, 0}), 0, 1, 0);
    expectVec(rotateByInverse(quarterZ, {1, 0, 0}), 0, -1, 0);
    expectVec(rotateByUnit(quarterZ, {0, 1, 0}), -1, 0, 0);

    const Quaternion q = axisAngle({1, -2, 0.5f}, 2.1f);
    const Matrix4 m = q.toMatrix4();
    for (const Vec3& v : {Vec3(1, 0, 0), Vec3(0, 1, 0), Vec3(0.3f, -0.7f, 2)}) {
        const Vec3 byQuaternion = q.rotate(v);
        const Vec3 byMatrix = multiplyColumn(m, v);
        expectVec(byMatrix, byQuaternion.x, byQuaternion.y, byQuaternion.z, 1e-5f);
        // transformRows applies the transpose: the inverse rotation.
        const Vec3 back = m.transformRows(byMatrix);
        expectVec(back, v.x, v.y, v.z, 1e-5f);
    }
    EXPECT_EQ(m.m[3], 0.0f);
    EXPECT_EQ(m.m[7], 0.0f);
    EXPECT_EQ(m.m[11], 0.0f);
    EXPECT_EQ(m.m[12], 0.0f);
    EXPECT_EQ(m.m[15], 1.0f);
}

TEST(Quaternion, PreciseProductMatchesTheFloatProduct) {
    const Quaternion i(1, 0, 0, 0), j(0, 1, 0, 0);
    expectQuat(multiplyPrecise(i, j), 0, 0, 1, 0, 0);
    const Quaternion a = axisAngle({0.2f, 1, -0.4f}, 0.7f);
    const Quaternion b = axisAngle({-1, 0.3f, 0.9f}, -2.3f);
    const Quaternion fast = a.multiply(b);
    expectQuat(multiplyPrecise(a, b), fast.x, fast.y, fast.z, fast.w, 1e-6f);
    const Quaternion reversed = b.multiply(a);
    expectQuat(multiplyPrecise(b, a), reversed.x, reversed.y, reversed.z, reversed.w, 1e-6f);
}

TEST(Matrix4, TransformRowsIgnoresTheTranslationColumn) {
    Matrix4 m;
    m.m[12] = 10;
    m.m[13] = 20;
    m.m[14] = 30;
    expectVec(m.transformRows({1, 2, 3}), 1, 2, 3, 0);
    m.m[3] = 5;  // the bottom row is added
    expectVec(m.transformRows({1, 2, 3}), 6, 2, 3, 0);
}

TEST(Matrix3, QuarterTurnGivesTheInverseRotation) {
    const Matrix3 m = Matrix3::fromColumns({0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
    EXPECT_FLOAT_EQ(m.m[0][1], -1.0f);
    EXPECT_FLOAT_EQ(m.m[1][0], 1.0f);
    const Quaternion q = m.toQuaternion();
    expectQuat(q, 0, 0, -kHalfRoot2, kHalfRoot2);
    expectVec(q.conjugate().rotate({1, 0, 0}), 0, 1, 0);
}

TEST(Matrix3, BranchesFollowTraceThenLargestDiagonal) {
    // A cyclic permutation of the axes has trace exactly 0 and a three-way
    // tie on the diagonal: the x branch, not the trace branch, is taken.
    const Matrix3 cyclic = Matrix3::fromColumns({0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    const Quaternion c = cyclic.toQuaternion();
    expectQuat(c, 0.5f, 0.5f, 0.5f, -0.5f, 0);
    expectVec(c.conjugate().rotate({1, 0, 0}), 0, 1, 0);
    expectVec(c.conjugate().rotate({0, 0, 1}), 1, 0, 0);

    expectQuat(Matrix3::fromColumns({1, 0, 0}, {0, -1, 0}, {0, 0, -1}).toQuaternion(), 1, 0, 0, 0, 0);
    expectQuat(Matrix3::fromColumns({-1, 0, 0}, {0, 1, 0}, {0, 0, -1}).toQuaternion(), 0, 1, 0, 0, 0);
    expectQuat(Matrix3::fromColumns({-1, 0, 0}, {0, -1, 0}, {0, 0, 1}).toQuaternion(), 0, 0, 1, 0, 0);
}

TEST(Matrix3, RoundTripThroughAGeneralRotation) {
    const Quaternion q = axisAngle({0.3f, -1, 0.6f}, 1.9f);
    const Matrix3 m = Matrix3::fromColumns(q.rotate({1, 0, 0}), q.rotate({0, 1, 0}), q.rotate({0, 0, 1}));
    EXPECT_NEAR(m.determinant(), 1.0f, 1e-5f);
    Quaternion back = m.toQuaternion().conjugate();
    if (back.w * q.w < 0) {
        back = back.scale(-1);
    }
    expectQuat(back, q.x, q.y, q.z, q.w, 1e-5f);
}

TEST(Matrix3, DeterminantOfScaledAndMirroredBases) {
    EXPECT_FLOAT_EQ(Matrix3::fromColumns({2, 0, 0}, {0, 3, 0}, {0, 0, 4}).determinant(), 24.0f);
    EXPECT_FLOAT_EQ(Matrix3::fromColumns({0, 1, 0}, {1, 0, 0}, {0, 0, 1}).determinant(), -1.0f);
    EXPECT_FLOAT_EQ(Matrix3::fromColumns({1, 2, 3}, {2, 4, 6}, {0, 1, 5}).determinant(), 0.0f);
    EXPECT_FLOAT_EQ(Matrix3::fromColumns({1, 0, 0}, {5, 1, 0}, {7, 3, 2}).determinant(), 2.0f);
}

}  // namespace
}  // namespace tavo
