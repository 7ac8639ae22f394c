#include "motion_pose.h"

#include "portable_math.h"

namespace tavo::chara {
namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

Quaternion axisAngle(const Vec3& axis, double degrees) {
    const Vec3 a = axis.normalized();
    const double half = degrees * kPi / 360.0;
    const double s = portableSin(half);
    return {static_cast<float>(a.x * s), static_cast<float>(a.y * s), static_cast<float>(a.z * s),
            static_cast<float>(portableCos(half))};
}

std::string withSide(const char* mirroredName, char side) {
    std::string name(mirroredName);
    return name.substr(0, name.size() - 2) + "[" + side + "]";
}

Pose::Pose(const Rig& rig, int32_t frame) : rig_(rig) {
    key_.frame = frame;
    key_.turns.assign(rig.bones().size(), Quaternion());
}

Pose& Pose::turn(const std::string& bone, const Vec3& axis, double degrees) {
    const int32_t index = rig_.find(bone);
    if (index >= 0 && degrees != 0.0) {
        key_.turns[index] = multiplyPrecise(axisAngle(axis, degrees), key_.turns[index]);
    }
    return *this;
}

Pose& Pose::left(const char* bone, const Vec3& axis, double degrees) {
    return turn(withSide(bone, 'L'), axis, degrees);
}

Pose& Pose::right(const char* bone, const Vec3& axis, double degrees) {
    return turn(withSide(bone, 'R'), {axis.x, -axis.y, -axis.z}, degrees);
}

Pose& Pose::both(const char* bone, const Vec3& axis, double degrees) {
    return left(bone, axis, degrees).right(bone, axis, degrees);
}

Pose& Pose::crouch(const char* thigh, const char* shin, const char* foot, double degrees) {
    both(thigh, kPitch, -degrees).both(shin, kPitch, 2.0 * degrees);
    both(foot, kPitch, -degrees);
    // Hip to ankle, as the thigh and shin run at rest.
    double legLength = 0.0;
    for (const char* bone : {thigh, shin}) {
        const int32_t index = rig_.find(withSide(bone, 'L'));
        legLength += (rig_.tipPosition(index) - rig_.headPosition(index)).length();
    }
    const double drop = legLength * (1.0 - portableCos(degrees * kPi / 180.0));
    return lift({0.0f, static_cast<float>(-drop), 0.0f});
}

Pose& Pose::lift(const Vec3& offset) {
    key_.offset = key_.offset + offset;
    return *this;
}

}  // namespace tavo::chara
