// Curve evaluation: Catmull-Rom for position tracks, squad for rotation
// tracks, and the inner control points that squad needs.

#include "animation/curve_evaluation.h"

#include <algorithm>
#include <cmath>

namespace tavo {

namespace {

// Keys whose dot product lies outside (-0.95, 0.95) blend straight. The
// float dot product is compared with the double value 0.95, so that 0.95f,
// which lies just below it, still blends on the great arc.
constexpr double kStraightBlendDot = 0.95;

bool onGreatArc(float dot) {
    const double c = dot;
    return c > -kStraightBlendDot && c < kStraightBlendDot;
}

// Number of keys that every array of a track really has.
int32_t usableKeys(int32_t keyCount, size_t frames, size_t values) {
    const size_t shortest = std::min(frames, values);
    if (keyCount <= 0) {
        return 0;
    }
    return static_cast<int32_t>(std::min(static_cast<size_t>(keyCount), shortest));
}

Vec3 weighted(const Vec3& v, double weight) {
    return {static_cast<float>(v.x * weight), static_cast<float>(v.y * weight),
            static_cast<float>(v.z * weight)};
}

Vec3 catmullRom(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3, float t) {
    const double half = static_cast<double>(t) / 2.0;
    const double t2 = static_cast<double>(t) * t / 2.0;
    const double t3 = static_cast<double>(t) * t * t / 2.0;
    const double w3 = t3 - t2;
    const double w2 = 4.0 * t2 - 3.0 * t3 + half;
    const double w1 = 3.0 * t3 - 5.0 * t2 + 1.0;
    const double w0 = 2.0 * t2 - t3 - half;
    return weighted(p0, w0) + weighted(p1, w1) + weighted(p2, w2) + weighted(p3, w3);
}

Vec3 lerp(const Vec3& a, const Vec3& b, float t) {
    return a.scale(1.0f - t).add(b.scale(t));
}

// The straight-blend mode of a rotation track: shortest arc by sign, great
// arc unless the keys are close.
Quaternion linearRotation(const Quaternion& q1, Quaternion q2, float t) {
    float c = q1.dot(q2);
    if (c < 0.0f) {
        q2 = q2.scale(-1.0f);
        c = -c;
    }
    if (!onGreatArc(c)) {
        return q1.add(q2.subtract(q1).scale(t));
    }
    return slerpBlend(q1, q2, t);
}

}  // namespace

CurveSegment selectSegment(const std::vector<int32_t>& frames, int32_t keyCount, int32_t frame,
                           int32_t loop, int32_t endFrame) {
    CurveSegment segment;
    const int32_t n = usableKeys(keyCount, frames.size(), frames.size());
    if (n == 0) {
        return segment;
    }
    int32_t next = 0;
    while (next < n && frames[next] <= frame) {
        ++next;
    }
    if (next == 0) {
        return segment;  // before the first key: hold it (prev = 0)
    }
    segment.prev = next - 1;
    if (next == n) {
        if (loop == 0) {
            return segment;  // after the last key: hold it
        }
        next = 0;
    }
    segment.next = next;
    if (endFrame == 0) {
        return segment;
    }
    const int64_t span = static_cast<int64_t>(frames[next]) + endFrame - frames[segment.prev];
    const int64_t length = span % endFrame;
    if (length <= 0) {
        return segment;
    }
    segment.length = static_cast<int32_t>(length);
    segment.t = static_cast<float>(static_cast<double>(static_cast<int64_t>(frame) - frames[segment.prev]) /
                                   static_cast<double>(length));
    segment.hold = false;
    return segment;
}

Quaternion quaternionLog(const Quaternion& q) {
    const double theta = std::acos(static_cast<double>(q.w));
    const double sine = std::sin(theta);
    if (!(sine > 0.0)) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    const double factor = theta / sine;
    return {static_cast<float>(q.x * factor), static_cast<float>(q.y * factor),
            static_cast<float>(q.z * factor), 0.0f};
}

Quaternion quaternionExp(const Quaternion& v) {
    const double theta = std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y +
                                   static_cast<double>(v.z) * v.z);
    const float w = static_cast<float>(std::cos(theta));
    if (!(theta > 0.0)) {
        return {0.0f, 0.0f, 0.0f, w};
    }
    const double factor = std::sin(theta) / theta;
    return {static_cast<float>(v.x * factor), static_cast<float>(v.y * factor),
            static_cast<float>(v.z * factor), w};
}

Quaternion slerpBlend(const Quaternion& a, const Quaternion& b, float u) {
    const float c = a.dot(b);
    if (onGreatArc(c)) {
        const double theta = std::acos(static_cast<double>(c));
        const float wa = static_cast<float>(std::sin((1.0 - u) * theta));
        const float wb = static_cast<float>(std::sin(u * theta));
        const float inverseSine = static_cast<float>(1.0 / std::sin(theta));
        return a.scale(wa).add(b.scale(wb)).scale(inverseSine);
    }
    return a.add(b.subtract(a).scale(u));
}

Quaternion squad(const Quaternion& q1, const Quaternion& q2, const Quaternion& s1,
                 const Quaternion& s2, float t) {
    return slerpBlend(slerpBlend(q1, q2, t), slerpBlend(s1, s2, t), 2.0f * t * (1.0f - t));
}

Vec3 sampleTrack(const VectorTrack& track, int32_t frame, int32_t loop, int32_t endFrame) {
    const int32_t n = usableKeys(track.keyCount, track.frames.size(), track.values.size());
    if (n == 0) {
        return Vec3();
    }
    const CurveSegment s = selectSegment(track.frames, n, frame, loop, endFrame);
    if (s.hold) {
        return track.values[s.prev];
    }
    if (track.spline == 0) {
        return lerp(track.values[s.prev], track.values[s.next], s.t);
    }
    const Vec3& p0 = track.values[(s.prev + n - 1) % n];
    const Vec3& p3 = track.values[(s.next + 1) % n];
    return catmullRom(p0, track.values[s.prev], track.values[s.next], p3, s.t);
}

Quaternion sampleTrack(const QuaternionTrack& track, int32_t frame, int32_t loop, int32_t endFrame) {
    const int32_t n = usableKeys(track.keyCount, track.frames.size(), track.keys.size());
    if (n == 0) {
        return Quaternion();
    }
    const CurveSegment s = selectSegment(track.frames, n, frame, loop, endFrame);
    if (s.hold) {
        return track.keys[s.prev];
    }
    const Quaternion& q1 = track.keys[s.prev];
    const Quaternion& q2 = track.keys[s.next];
    if (track.spline == 0) {
        return linearRotation(q1, q2, s.t);
    }
    if (track.controlPoints.size() < static_cast<size_t>(n)) {
        return slerpBlend(q1, q2, s.t);  // control points never computed
    }
    return squad(q1, q2, track.controlPoints[s.prev], track.controlPoints[s.next], s.t);
}

void computeControlPoints(QuaternionTrack& track) {
    const size_t n = track.keys.size();
    if (n < 2) {
        track.controlPoints.clear();
        return;
    }
    track.controlPoints.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const Quaternion& previous = track.keys[(n + i - 1) % n];
        const Quaternion& current = track.keys[i];
        const Quaternion& following = track.keys[(i + 1) % n];
        const Quaternion inverse = current.conjugate();
        const Quaternion a = quaternionLog(inverse.multiply(previous));
        const Quaternion b = quaternionLog(inverse.multiply(following));
        track.controlPoints[i] = current.multiply(quaternionExp(a.add(b).scale(-0.25f)));
    }
}

void computeControlPoints(std::vector<Motion>& motions) {
    for (Motion& motion : motions) {
        for (QuaternionTrack& track : motion.quaternionTracks) {
            computeControlPoints(track);
        }
    }
}

}  // namespace tavo
