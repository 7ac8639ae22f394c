#include "animation/clip_sampling.h"

#include <cmath>
#include <cstddef>

#include "animation/curve_evaluation.h"

// Sampling writes only what a channel drives, so a clip that animates a few
// joints leaves the others where they stand.

namespace tavo {
namespace {

// The keys around time t: the one at or before it, the next one and how far
// t lies between them. Before the first key and after the last, that key
// holds.
struct KeySpan {
    size_t prev = 0;
    size_t next = 0;
    float u = 0.0f;
    float length = 0.0f;
};

KeySpan findSpan(const std::vector<float>& times, size_t count, float t) {
    KeySpan span;
    if (count == 0 || !(t > times[0])) {
        return span;  // also a time that is not a number
    }
    if (t >= times[count - 1]) {
        span.prev = span.next = count - 1;
        return span;
    }
    size_t low = 0;
    size_t high = count - 1;  // times[low] <= t < times[high]
    while (high - low > 1) {
        const size_t middle = low + (high - low) / 2;
        if (times[middle] <= t) {
            low = middle;
        } else {
            high = middle;
        }
    }
    span.prev = low;
    span.next = high;
    span.length = times[high] - times[low];
    span.u = span.length > 0.0f ? (t - times[low]) / span.length : 0.0f;
    return span;
}

// Floats a key takes in the values: the width, three times over for cubic
// splines (in-tangent, value, out-tangent).
size_t keyStride(const Channel& channel, size_t width) {
    return channel.interpolation == Interpolation::CubicSpline ? 3 * width : width;
}

// Keys that both lists hold completely.
size_t usableKeys(const Channel& channel, size_t width) {
    const size_t stride = keyStride(channel, width);
    if (stride == 0) {
        return 0;
    }
    const size_t byValues = channel.values.size() / stride;
    return channel.times.size() < byValues ? channel.times.size() : byValues;
}

// Component c of the value (not a tangent) of key k.
float valueAt(const Channel& channel, size_t width, size_t k, size_t c) {
    const size_t stride = keyStride(channel, width);
    const size_t offset = channel.interpolation == Interpolation::CubicSpline ? width : 0;
    return channel.values[k * stride + offset + c];
}

// Component c at span: held, straight or Hermite blend of the two keys.
float blendComponent(const Channel& channel, size_t width, const KeySpan& span, size_t c) {
    const float a = valueAt(channel, width, span.prev, c);
    if (span.prev == span.next || channel.interpolation == Interpolation::Step) {
        return a;
    }
    const float b = valueAt(channel, width, span.next, c);
    const float u = span.u;
    if (channel.interpolation != Interpolation::CubicSpline) {
        return a + (b - a) * u;
    }
    const size_t stride = 3 * width;
    const float outTangent = channel.values[span.prev * stride + 2 * width + c] * span.length;
    const float inTangent = channel.values[span.next * stride + c] * span.length;
    const float u2 = u * u;
    const float u3 = u2 * u;
    return (2.0f * u3 - 3.0f * u2 + 1.0f) * a + (u3 - 2.0f * u2 + u) * outTangent +
           (-2.0f * u3 + 3.0f * u2) * b + (u3 - u2) * inTangent;
}

Quaternion normalizedOrIdentity(const Quaternion& q) {
    const float length = std::sqrt(q.dot(q));
    if (!(length > 0.0f) || !std::isfinite(length)) {
        return Quaternion();
    }
    return q.scale(1.0f / length);
}

// The shortest-arc spherical blend of two unit rotations.
Quaternion slerpShortest(const Quaternion& a, Quaternion b, float u) {
    float cosine = a.dot(b);
    if (cosine < 0.0f) {
        b = b.scale(-1.0f);
        cosine = -cosine;
    }
    if (cosine > 0.9995f) {
        return normalizedOrIdentity(a.add(b.subtract(a).scale(u)));
    }
    const float angle = std::acos(cosine);
    const float sine = std::sin(angle);
    const float wa = std::sin((1.0f - u) * angle) / sine;
    const float wb = std::sin(u * angle) / sine;
    return normalizedOrIdentity(a.scale(wa).add(b.scale(wb)));
}

Quaternion rotationKey(const Channel& channel, size_t k) {
    return {valueAt(channel, 4, k, 0), valueAt(channel, 4, k, 1), valueAt(channel, 4, k, 2),
            valueAt(channel, 4, k, 3)};
}

void sampleWeights(const Channel& channel, float t, std::vector<float>& weights) {
    const size_t width = static_cast<size_t>(channel.morphWeightCount > 0 ? channel.morphWeightCount : 0);
    const size_t count = usableKeys(channel, width);
    if (count == 0) {
        return;
    }
    const KeySpan span = findSpan(channel.times, count, t);
    const size_t written = width < weights.size() ? width : weights.size();
    for (size_t c = 0; c < written; ++c) {
        weights[c] = blendComponent(channel, width, span, c);
    }
}

void sampleFrameChannel(const Rig& rig, const Clip& clip, const Channel& channel, int32_t frame,
                        LocalPose& pose) {
    JointTransform& joint = pose.joints[static_cast<size_t>(channel.joint)];
    if (channel.target == ChannelTarget::Rotation) {
        if (rig.joints[static_cast<size_t>(channel.joint)].carriesMeshes) {
            joint.rotation = sampleTrack(channel.rotationKeys, frame, clip.loop, clip.endFrame);
        }
    } else if (channel.target == ChannelTarget::Translation) {
        joint.translation = sampleTrack(channel.positionKeys, frame, clip.loop, clip.endFrame);
    }
}

void sampleTimeChannel(const Rig& rig, const Channel& channel, float t, LocalPose& pose) {
    JointTransform& joint = pose.joints[static_cast<size_t>(channel.joint)];
    switch (channel.target) {
    case ChannelTarget::Translation:
        if (usableKeys(channel, 3) > 0) {
            joint.translation = sampleVector(channel, t);
        }
        break;
    case ChannelTarget::Scale:
        if (usableKeys(channel, 3) > 0) {
            joint.scale = sampleVector(channel, t);
        }
        break;
    case ChannelTarget::Rotation:
        if (usableKeys(channel, 4) > 0 && rig.joints[static_cast<size_t>(channel.joint)].carriesMeshes) {
            joint.rotation = sampleRotation(channel, t);
        }
        break;
    case ChannelTarget::MorphWeights:
    case ChannelTarget::Expression:
        break;
    }
}

}  // namespace

int32_t phaseToFrame(float phase, int32_t endFrame) {
    if (phase > 1.0f) {
        phase = 1.0f;
    }
    if (!(phase >= 0.0f)) {
        phase = 0.0f;
    }
    const float frame = phase * static_cast<float>(endFrame);
    // An end frame near the top of the range rounds up to 2^31 as a float,
    // which no int32_t holds.
    if (frame >= 2147483648.0f) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(frame);
}

Vec3 sampleVector(const Channel& channel, float t) {
    const size_t count = usableKeys(channel, 3);
    if (count == 0) {
        return Vec3();
    }
    const KeySpan span = findSpan(channel.times, count, t);
    return {blendComponent(channel, 3, span, 0), blendComponent(channel, 3, span, 1),
            blendComponent(channel, 3, span, 2)};
}

Quaternion sampleRotation(const Channel& channel, float t) {
    const size_t count = usableKeys(channel, 4);
    if (count == 0) {
        return Quaternion();
    }
    const KeySpan span = findSpan(channel.times, count, t);
    if (span.prev == span.next || channel.interpolation == Interpolation::Step) {
        return normalizedOrIdentity(rotationKey(channel, span.prev));
    }
    if (channel.interpolation == Interpolation::Linear) {
        return slerpShortest(normalizedOrIdentity(rotationKey(channel, span.prev)),
                             normalizedOrIdentity(rotationKey(channel, span.next)), span.u);
    }
    return normalizedOrIdentity({blendComponent(channel, 4, span, 0), blendComponent(channel, 4, span, 1),
                                 blendComponent(channel, 4, span, 2), blendComponent(channel, 4, span, 3)});
}

bool sampleClip(const Rig& rig, const Clip& clip, float phase, CharacterPose& pose) {
    if (!pose.fits(rig)) {
        return false;
    }
    const int32_t frame = phaseToFrame(phase, clip.endFrame);
    const float clamped = phase > 1.0f ? 1.0f : phase >= 0.0f ? phase : 0.0f;
    const float time = clamped * clip.duration;
    for (const Channel& channel : clip.channels) {
        if (channel.target == ChannelTarget::MorphWeights) {
            if (channel.joint >= 0 && static_cast<size_t>(channel.joint) < pose.morphWeights.size()) {
                sampleWeights(channel, time, pose.morphWeights[static_cast<size_t>(channel.joint)]);
            }
            continue;
        }
        if (channel.target == ChannelTarget::Expression) {
            if (channel.joint >= 0 && static_cast<size_t>(channel.joint) < pose.expressionWeights.size() &&
                usableKeys(channel, 1) > 0) {
                const KeySpan span = findSpan(channel.times, usableKeys(channel, 1), time);
                pose.expressionWeights[static_cast<size_t>(channel.joint)] = blendComponent(channel, 1, span, 0);
            }
            continue;
        }
        if (!rig.validJoint(channel.joint)) {
            continue;
        }
        if (channel.interpolation == Interpolation::KeyframeSpline) {
            sampleFrameChannel(rig, clip, channel, frame, pose.local);
        } else {
            sampleTimeChannel(rig, channel, time, pose.local);
        }
    }
    return true;
}

}  // namespace tavo
