#pragma once

#include <cstdint>
#include <vector>

#include "math/quaternion.h"
#include "motion/motion.h"

namespace tavo {

// The stretch of a track that a frame falls into. When `hold` is set the
// frame shows key `prev` unchanged (no keys to blend between, a frame at or
// after the last key of a motion that does not loop, a frame before the
// first key, or degenerate timing: an end frame of 0 or a segment of no
// positive length). Otherwise it lies `t` of the way from key `prev` to key
// `next`, `length` frames apart.
struct CurveSegment {
    int32_t prev = 0;
    int32_t next = 0;
    int32_t length = 0;
    float t = 0.0f;
    bool hold = true;
};

// Segment selection over the first `keyCount` entries of `frames`, which
// are taken to ascend. With keyCount 0 the result holds key 0 and callers
// must not read it.
CurveSegment selectSegment(const std::vector<int32_t>& frames, int32_t keyCount, int32_t frame,
                           int32_t loop, int32_t endFrame);

// Pure quaternion (x, y, z, 0) of a unit quaternion; zero where the angle has
// no sine.
Quaternion quaternionLog(const Quaternion& q);
// Unit quaternion of a pure quaternion.
Quaternion quaternionExp(const Quaternion& v);
// Great-arc blend of a and b for -0.95 < a.b < 0.95, otherwise the straight
// one. Never flips a sign and never renormalises.
Quaternion slerpBlend(const Quaternion& a, const Quaternion& b, float u);
// Spherical quadrangle blend from q1 to q2 with inner control points s1, s2.
Quaternion squad(const Quaternion& q1, const Quaternion& q2, const Quaternion& s1,
                 const Quaternion& s2, float t);

// A position track at a frame: Catmull-Rom through the keys.
Vec3 sampleTrack(const VectorTrack& track, int32_t frame, int32_t loop, int32_t endFrame);
// A rotation track at a frame: squad over its control points.
Quaternion sampleTrack(const QuaternionTrack& track, int32_t frame, int32_t loop, int32_t endFrame);
// The inner control points of a rotation track, once its keys are read.
void computeControlPoints(QuaternionTrack& track);
// The same for every rotation track of the motions.
void computeControlPoints(std::vector<Motion>& motions);

}  // namespace tavo
