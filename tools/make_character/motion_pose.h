#pragma once

#include <string>
#include <vector>

#include "character_rig.h"

namespace tavo::chara {

// Turn axes in the model's rest frame (the figure faces +z, its left is +x).
inline const Vec3 kPitch(1.0f, 0.0f, 0.0f);  // positive swings a hanging limb backwards
inline const Vec3 kYaw(0.0f, 1.0f, 0.0f);    // positive turns the front towards +x
inline const Vec3 kRoll(0.0f, 0.0f, 1.0f);   // positive swings a hanging limb towards +x

// One key of a motion: how far the figure is lifted or shifted, and for each
// bone a turn expressed in the model's rest axes (identity where unchanged).
struct MotionKey {
    int32_t frame = 0;
    Vec3 offset;
    std::vector<Quaternion> turns;  // indexed like the rig's bones
};

struct MotionDesign {
    std::string name;
    int32_t endFrame = 0;
    int32_t loop = 0;
    std::vector<MotionKey> keys;
};

Quaternion axisAngle(const Vec3& axis, double degrees);

// "base[]" with the side letter: withSide("arm[]", 'L') is "arm[L]".
std::string withSide(const char* mirroredName, char side);

// Builds one key. Turns are given in the model's rest axes and pile up: a
// later turn of the same bone is applied after the earlier ones. Turns of the
// right side are mirrored through the x = 0 plane unless they say otherwise.
class Pose {
public:
    Pose(const Rig& rig, int32_t frame);

    Pose& turn(const std::string& bone, const Vec3& axis, double degrees);
    Pose& left(const char* bone, const Vec3& axis, double degrees);
    Pose& right(const char* bone, const Vec3& axis, double degrees);
    Pose& both(const char* bone, const Vec3& axis, double degrees);
    // Bends both knees by `degrees` with the feet kept flat and on the
    // ground: the mirrored thigh, shin and foot bones of a leg.
    Pose& crouch(const char* thigh, const char* shin, const char* foot, double degrees);
    Pose& lift(const Vec3& offset);
    MotionKey key() const { return key_; }
    const Rig& rig() const { return rig_; }

private:
    const Rig& rig_;
    MotionKey key_;
};

}  // namespace tavo::chara
