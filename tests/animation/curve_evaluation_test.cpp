#include "animation/curve_evaluation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/vector_expectations.h"

namespace tavo {
namespace {

using test::expectQuat;

VectorTrack vectorTrack(std::vector<int32_t> frames, std::vector<float> xs) {
    VectorTrack track;
    track.frames = std::move(frames);
    for (float x : xs) {
        track.values.emplace_back(x, 2.0f * x, -x);
    }
    track.keyCount = static_cast<int32_t>(track.frames.size());
    return track;
}

QuaternionTrack rotationTrack(std::vector<int32_t> frames, std::vector<Quaternion> keys) {
    QuaternionTrack track;
    track.frames = std::move(frames);
    track.keys = std::move(keys);
    track.keyCount = static_cast<int32_t>(track.frames.size());
    computeControlPoints(track);
    return track;
}

// Rotation by `degrees` about the unit axis (x, y, z).
Quaternion rotation(float degrees, float x, float y, float z) {
    const double half = degrees * M_PI / 360.0;
    const float s = static_cast<float>(std::sin(half));
    return {x * s, y * s, z * s, static_cast<float>(std::cos(half))};
}

float length(const Quaternion& q) {
    return std::sqrt(q.dot(q));
}

TEST(CurveSegmentTest, WrapSegmentOfALoopingMotion) {
    const std::vector<int32_t> frames = {0, 8, 15, 22};
    const CurveSegment s = selectSegment(frames, 4, 25, 1, 29);
    EXPECT_FALSE(s.hold);
    EXPECT_EQ(s.prev, 3);
    EXPECT_EQ(s.next, 0);
    EXPECT_EQ(s.length, 7);
    EXPECT_FLOAT_EQ(s.t, 3.0f / 7.0f);

    // A key exactly at the frame starts its segment.
    const CurveSegment at = selectSegment(frames, 4, 8, 1, 29);
    EXPECT_EQ(at.prev, 1);
    EXPECT_EQ(at.next, 2);
    EXPECT_EQ(at.length, 7);
    EXPECT_EQ(at.t, 0.0f);

    // At the end frame the wrap segment reaches the first key.
    EXPECT_EQ(selectSegment(frames, 4, 29, 1, 29).t, 1.0f);
    // Without looping the last key holds.
    const CurveSegment held = selectSegment(frames, 4, 25, 0, 29);
    EXPECT_TRUE(held.hold);
    EXPECT_EQ(held.prev, 3);
}

TEST(CurveSegmentTest, DegenerateTimingHoldsTheNearestKey) {
    struct Case {
        std::vector<int32_t> frames;
        int32_t frame, loop, endFrame;
        int32_t heldKey;
    };
    const Case cases[] = {
        {{5, 10}, 2, 1, 29, 0},          // before the first key
        {{5, 10}, 2, 0, 29, 0},
        {{0, 8}, 4, 1, 0, 0},            // end frame 0
        {{0, 8}, 12, 1, 0, 1},
        {{3}, 10, 1, 29, 0},             // one key, looping: a segment of length 0
        {{0, 29}, 10, 1, 29, 0},         // keys one end frame apart
        {{0, 29}, 29, 1, 29, 1},
        {{0, 40}, 45, 1, 29, 1},         // last key beyond the end frame
        {{}, 5, 1, 29, 0},
    };
    for (const Case& c : cases) {
        const CurveSegment s = selectSegment(c.frames, static_cast<int32_t>(c.frames.size()),
                                             c.frame, c.loop, c.endFrame);
        EXPECT_TRUE(s.hold) << c.frame;
        EXPECT_EQ(s.prev, c.heldKey) << c.frame;
    }
}

TEST(VectorTrackTest, CatmullRomPassesThroughKeysAndWrapsItsNeighbours) {
    VectorTrack track = vectorTrack({0, 10, 20, 30}, {0, 1, 2, 3});
    // Keys are met exactly.
    EXPECT_EQ(sampleTrack(track, 10, 0, 40).x, 1.0f);
    EXPECT_EQ(sampleTrack(track, 20, 1, 40).y, 4.0f);
    // Between K0 and K1 the key before K0 is K3, looping or not:
    // 0.5 (-0.125 * 3 + 1.125 * 0 + 1.125 * 1 - 0.125 * 2) = 0.25.
    EXPECT_FLOAT_EQ(sampleTrack(track, 5, 0, 40).x, 0.25f);
    EXPECT_FLOAT_EQ(sampleTrack(track, 5, 1, 40).z, -0.25f);
    // Evenly spaced neighbours make the curve straight.
    EXPECT_FLOAT_EQ(sampleTrack(track, 15, 0, 40).x, 1.5f);
    // Not looping: after the last key its value holds unchanged.
    EXPECT_EQ(sampleTrack(track, 35, 0, 40).x, 3.0f);
    EXPECT_EQ(sampleTrack(track, 40, 0, 40).x, 3.0f);
    // Looping: the wrap segment (30 -> 40 = first key) ends on the first key.
    EXPECT_EQ(sampleTrack(track, 40, 1, 40).x, 0.0f);
    // Before the first key the first key holds.
    VectorTrack late = vectorTrack({5, 10}, {7, 9});
    EXPECT_EQ(sampleTrack(late, 0, 1, 20).x, 7.0f);
}

TEST(VectorTrackTest, TracksWithoutUsableTimingNeverReadOutsideTheirKeys) {
    VectorTrack none;
    EXPECT_EQ(sampleTrack(none, 3, 1, 10).x, 0.0f);

    VectorTrack single = vectorTrack({4}, {6});
    for (int32_t frame : {0, 4, 9, 100}) {
        EXPECT_EQ(sampleTrack(single, frame, 1, 10).x, 6.0f);
        EXPECT_EQ(sampleTrack(single, frame, 1, 0).x, 6.0f);
    }

    // A key count above the real array sizes is limited to them.
    VectorTrack lying = vectorTrack({0, 10}, {1, 2});
    lying.keyCount = 50;
    EXPECT_EQ(sampleTrack(lying, 30, 0, 40).x, 2.0f);
    lying.keyCount = -3;
    EXPECT_EQ(sampleTrack(lying, 30, 0, 40).x, 0.0f);
}

TEST(VectorTrackTest, StraightModeBlendsLinearly) {
    VectorTrack track = vectorTrack({0, 10, 20, 30}, {0, 4, 0, 8});
    track.spline = 0;
    EXPECT_FLOAT_EQ(sampleTrack(track, 5, 0, 40).x, 2.0f);
    EXPECT_FLOAT_EQ(sampleTrack(track, 35, 1, 40).x, 4.0f);
}

TEST(QuaternionTrackTest, EqualKeysGiveThatKeyEverywhere) {
    const Quaternion key = rotation(70.0f, 0.0f, 0.6f, 0.8f);
    QuaternionTrack track = rotationTrack({0, 5, 12}, {key, key, key});
    ASSERT_EQ(track.controlPoints.size(), 3u);
    for (const Quaternion& point : track.controlPoints) {
        expectQuat(point, key, 1e-6f);
    }
    for (int32_t frame = -3; frame <= 20; ++frame) {
        expectQuat(sampleTrack(track, frame, 1, 20), key, 1e-6f);
        expectQuat(sampleTrack(track, frame, 0, 20), key, 1e-6f);
    }
}

TEST(QuaternionTrackTest, SquadMeetsItsKeysAndStaysNearUnitLength) {
    const std::vector<Quaternion> keys = {rotation(0, 0, 0, 1), rotation(60, 0, 0, 1),
                                          rotation(90, 1, 0, 0), rotation(150, 0, 1, 0)};
    QuaternionTrack track = rotationTrack({0, 10, 20, 30}, keys);
    for (size_t k = 0; k < keys.size(); ++k) {
        expectQuat(sampleTrack(track, static_cast<int32_t>(10 * k), 1, 40), keys[k]);
    }
    expectQuat(sampleTrack(track, 40, 1, 40), keys[0]);  // the wrap segment closes the loop
    for (int32_t frame = 0; frame <= 40; ++frame) {
        EXPECT_NEAR(length(sampleTrack(track, frame, 1, 40)), 1.0f, 0.02f) << frame;
    }
    // Not looping: frames after the last key show it exactly.
    const Quaternion last = sampleTrack(track, 35, 0, 40);
    EXPECT_EQ(last.x, keys[3].x);
    EXPECT_EQ(last.w, keys[3].w);
}

TEST(QuaternionTrackTest, MissingControlPointsAndSingleKeysAreSafe) {
    QuaternionTrack single = rotationTrack({0}, {rotation(40, 1, 0, 0)});
    EXPECT_TRUE(single.controlPoints.empty());
    expectQuat(sampleTrack(single, 7, 1, 20), rotation(40, 1, 0, 0));

    QuaternionTrack bare;
    bare.frames = {0, 10};
    bare.keys = {rotation(0, 0, 0, 1), rotation(90, 0, 0, 1)};
    bare.keyCount = 2;  // control points never computed
    expectQuat(sampleTrack(bare, 5, 0, 20), rotation(45, 0, 0, 1));

    QuaternionTrack none;
    expectQuat(sampleTrack(none, 5, 1, 20), Quaternion());
}

TEST(QuaternionTrackTest, StraightModeTakesTheShortArc) {
    QuaternionTrack track;
    track.frames = {0, 10};
    track.keys = {rotation(0, 0, 0, 1), rotation(90, 0, 0, 1).scale(-1.0f)};
    track.keyCount = 2;
    track.spline = 0;
    expectQuat(sampleTrack(track, 5, 0, 20), rotation(45, 0, 0, 1));
}

TEST(QuaternionBlendTest, GreatArcBelowTheThresholdStraightAbove) {
    const Quaternion a = rotation(0, 0, 0, 1);
    // Dot product cos 45 degrees: blended on the great arc, unit length.
    const Quaternion arc = slerpBlend(a, rotation(90, 0, 0, 1), 0.5f);
    expectQuat(arc, rotation(45, 0, 0, 1));
    // Dot product cos 15 degrees >= 0.95: component-wise, slightly short.
    const Quaternion b = rotation(30, 0, 0, 1);
    const Quaternion straight = slerpBlend(a, b, 0.5f);
    EXPECT_FLOAT_EQ(straight.z, b.z / 2.0f);
    EXPECT_FLOAT_EQ(straight.w, (1.0f + b.w) / 2.0f);
    EXPECT_LT(length(straight), 1.0f);
    // No sign flip: opposite quaternions blend straight through zero.
    const Quaternion through = slerpBlend(a, a.scale(-1.0f), 0.5f);
    EXPECT_EQ(length(through), 0.0f);
    // squad with t = 0 is the first key whatever the control points are.
    expectQuat(squad(a, b, rotation(80, 1, 0, 0), rotation(10, 0, 1, 0), 0.0f), a);
}

// The threshold is the real number 0.95: the float nearest to it lies just
// below and still blends on the great arc, in both directions.
TEST(QuaternionBlendTest, DotProductOfNinetyFiveHundredthsAsFloatIsStillOnTheArc) {
    const Quaternion a(0.0f, 0.0f, 0.0f, 1.0f);
    const float w = 0.95f;
    const Quaternion b(std::sqrt(1.0f - w * w), 0.0f, 0.0f, w);
    ASSERT_EQ(a.dot(b), 0.95f);
    const double theta = std::acos(static_cast<double>(w));
    const Quaternion arc = slerpBlend(a, b, 0.5f);
    EXPECT_NEAR(arc.w, std::cos(theta / 2.0), 1e-6);
    EXPECT_NEAR(length(arc), 1.0f, 1e-6);

    const Quaternion opposite = slerpBlend(a, b.scale(-1.0f), 0.5f);
    EXPECT_NEAR(length(opposite), 1.0f, 1e-6);

    // The straight mode of a track switches at the same value.
    QuaternionTrack track;
    track.frames = {0, 10};
    track.keys = {a, b};
    track.keyCount = 2;
    track.spline = 0;
    EXPECT_NEAR(length(sampleTrack(track, 5, 0, 20)), 1.0f, 1e-6);
}

TEST(QuaternionBlendTest, LogAndExpAreInverse) {
    const float n = 1.0f / std::sqrt(14.0f);
    const Quaternion q = rotation(100, n, 2 * n, 3 * n);
    const Quaternion v = quaternionLog(q);
    EXPECT_EQ(v.w, 0.0f);
    EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 50.0 * M_PI / 180.0, 1e-5);
    expectQuat(quaternionExp(v), q);

    expectQuat(quaternionLog(Quaternion()), Quaternion(0, 0, 0, 0), 0.0f);
    expectQuat(quaternionLog(Quaternion(0, 0, 0, 1.0000001f)), Quaternion(0, 0, 0, 0), 0.0f);
    expectQuat(quaternionExp(Quaternion(0, 0, 0, 0)), Quaternion(), 0.0f);
}

TEST(QuaternionBlendTest, ControlPointsFollowTheirNeighbours) {
    // Keys evenly spaced on one great circle: each inner control point is the
    // key itself, because the logarithms towards both neighbours cancel.
    const std::vector<Quaternion> keys = {rotation(0, 0, 0, 1), rotation(40, 0, 0, 1),
                                          rotation(80, 0, 0, 1)};
    QuaternionTrack track = rotationTrack({0, 10, 20}, keys);
    expectQuat(track.controlPoints[1], keys[1]);
    // The end points wrap to the other end: key 0 sees key 2 as its
    // predecessor, so its control point is pulled off the key.
    EXPECT_GT(std::fabs(track.controlPoints[0].z - keys[0].z), 1e-3f);
}

}  // namespace
}  // namespace tavo
