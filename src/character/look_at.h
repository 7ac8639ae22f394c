#pragma once

#include "math/vec3.h"

namespace tavo {

// How far the eyes turn for how far away the target lies: up to
// inputMaxDegrees of the target's angle maps linearly onto up to
// outputScale (degrees for eye bones, a weight of 0 to 1 for expressions).
struct LookAtRange {
    float inputMaxDegrees = 90.0f;
    float outputScale = 10.0f;
};

// How an avatar looks at something: by turning its eye bones or by the
// expressions lookLeft, lookRight, lookUp and lookDown. The eyes are at
// offset from the head joint (in the head's rest axes).
struct LookAt {
    enum class Kind { None, Bones, Expressions };
    Kind kind = Kind::None;
    Vec3 offset;
    LookAtRange horizontalInner;
    LookAtRange horizontalOuter;
    LookAtRange verticalDown;
    LookAtRange verticalUp;
};

}  // namespace tavo
