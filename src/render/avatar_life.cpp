#include "render/avatar_life.h"

#include <cmath>

#include "math/rotation.h"

namespace tavo {

namespace {

constexpr float kDegree = 3.14159265f / 180.0f;
// The frame's camera (see FrameRenderer::renderFrame): 480 in front, 20
// below the figure's centre, 45 degrees high, the figure lowered by 140.
constexpr float kCameraDistance = 480.0f;
constexpr float kCameraHeight = -20.0f;
constexpr float kViewHeight = 397.65f;  // 2 * 480 * tan(22.5 degrees)
constexpr float kFigureDrop = -140.0f;
// The cursor is looked at within this many window heights of its centre.
constexpr float kLookingReach = 1.5f;

// From the figure's own space to the frame's: turned by pitch about x after
// yaw about y (degrees).
Quaternion figureTurn(float pitch, float yaw) {
    return multiplyPrecise(axisAngle(Vec3(1, 0, 0), pitch * kDegree), axisAngle(Vec3(0, 1, 0), yaw * kDegree));
}

}  // namespace

void AvatarLife::reset() { *this = AvatarLife(); }

const AvatarInputs& AvatarLife::inputsFor(const MascotState& state, float lift) {
    const float seconds = static_cast<float>(state.frameElapsedMs) * 0.001f;
    const float unit = kViewHeight / static_cast<float>(state.surfaceHeight > 0 ? state.surfaceHeight : 1);
    const Vec3 drop(0.0f, kFigureDrop + lift, 0.0f);
    const Quaternion turn = figureTurn(state.pitch, state.yaw);
    inputs_.seconds = seconds;
    inputs_.blink = blink_.advance(seconds);
    surprise_ += ((state.fleeing != 0 ? 1.0f : 0.0f) - surprise_) * (1.0f - std::exp(-10.0f * seconds));
    inputs_.surprise = surprise_;

    // The cursor, half way between the viewer and the figure, where it
    // covers the pixel it is on.
    const float dx = static_cast<float>(state.cursor.x) - (state.posX + 0.5f * static_cast<float>(state.surfaceWidth));
    const float dy = static_cast<float>(state.cursor.y) - (state.posY + 0.5f * static_cast<float>(state.surfaceHeight));
    inputs_.looking = std::sqrt(dx * dx + dy * dy) < kLookingReach * static_cast<float>(state.surfaceHeight);
    const Vec3 camera(0.0f, kCameraHeight, kCameraDistance);
    const Vec3 onScreen(dx * unit, kCameraHeight - dy * unit, 0.0f);
    const Vec3 target = camera + (onScreen - camera) * 0.5f;
    inputs_.lookTarget = rotateByInverse(turn, target) - drop;

    // A point that stays put on the screen, seen from the figure after this
    // frame's move and turn; a jump (a wrap round the desktop) carries nothing.
    inputs_.carried = CarriedMotion();
    if (started_) {
        const float moveX = state.posX - lastX_;
        const float moveY = state.posY - lastY_;
        const bool jumped = std::fabs(moveX) > static_cast<float>(state.surfaceWidth) ||
                            std::fabs(moveY) > static_cast<float>(state.surfaceHeight);
        const Quaternion before = figureTurn(lastPitch_, lastYaw_);
        const Quaternion rotation = multiplyPrecise(turn.conjugate(), before);
        const Vec3 moved = jumped ? Vec3() : Vec3(moveX * unit, -moveY * unit, 0.0f);
        inputs_.carried.rotation = rotation;
        inputs_.carried.shift = rotateByUnit(rotation, drop) - drop - rotateByInverse(turn, moved);
    }
    started_ = true;
    lastX_ = state.posX;
    lastY_ = state.posY;
    lastPitch_ = state.pitch;
    lastYaw_ = state.yaw;
    return inputs_;
}

}  // namespace tavo
