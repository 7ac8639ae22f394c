#include "motion_set.h"

#include <cmath>

#include "character_names.h"
#include "portable_math.h"
#include "text_format.h"

namespace tavo::chara {
namespace {

namespace n = names;

constexpr double kPi = 3.14159265358979323846;

// Tavo's own moves on top of the generic ones.
class TavoPose : public Pose {
public:
    TavoPose(const Rig& rig, int32_t frame) : Pose(rig, frame) {}

    TavoPose& crouch(double degrees) {
        Pose::crouch(n::kThigh, n::kShin, n::kShoe, degrees);
        return *this;
    }
    // Turns the right arm out by `upper` and `fore` degrees (negative: in)
    // while the pole leans `lean` degrees further out than at rest and the
    // lantern swings `swing` degrees from hanging straight down.
    TavoPose& carry(double upper, double fore, double lean, double swing) {
        right(n::kUpperArm, kRoll, upper).right(n::kForearm, kRoll, fore);
        turn(n::kPole, kRoll, upper + fore + lean);
        turn(n::kLantern, kRoll, -lean + swing);
        return *this;
    }
    // Spins the pole about its straight shaft, so that the crook and the
    // lantern circle round it; the lantern keeps hanging.
    TavoPose& spinPole(double degrees) {
        const Vec3 axis(-17.0f, 119.0f, -5.0f);
        turn(n::kPole, axis, degrees);
        turn(n::kLantern, axis, -degrees);
        return *this;
    }
};

// The sway that the program plays over and over: the lantern swings from side
// to side on its pole, the figure bobs twice a beat and the ears follow late.
MotionDesign lanternSway(const Rig& rig) {
    MotionDesign m{n::kSwing, 48, 0, {}};
    for (int32_t k = 0; k <= 8; ++k) {
        const double a = 2.0 * kPi * (k % 8) / 8.0;
        const double bob = (1.0 - portableCos(2.0 * a)) * 0.5;
        TavoPose p(rig, k * 6);
        p.crouch(9.0 * bob);
        p.turn(n::kCenter, kRoll, -3.0 * portableSin(a)).turn(n::kCenter, kYaw, 3.0 * portableSin(a));
        p.turn(n::kTrunk, kRoll, -2.0 * portableSin(a)).turn(n::kTrunk, kPitch, 3.0 * bob);
        p.turn(n::kFace, kRoll, 8.0 * portableSin(a + 0.5)).turn(n::kFace, kPitch, -5.0 * bob);
        p.turn(n::kHem, kRoll, -5.0 * portableSin(a - 0.9)).turn(n::kHem, kPitch, -4.0 * bob);
        p.right(n::kUpperArm, kRoll, -1.0 - 7.0 * portableSin(a)).right(n::kUpperArm, kPitch, -8.0 * portableCos(a));
        p.right(n::kForearm, kRoll, -10.0 * portableSin(a - 0.6));
        p.turn(n::kPole, kRoll, 1.0 + 4.0 * portableSin(a - 1.0));
        p.turn(n::kLantern, kRoll, 18.0 * portableSin(a - 1.4)).turn(n::kLantern, kPitch, 7.0 * portableCos(a - 1.4));
        p.left(n::kUpperArm, kPitch, 14.0 * portableSin(a)).left(n::kUpperArm, kRoll, 6.0 + 4.0 * bob);
        p.left(n::kForearm, kPitch, -10.0 - 8.0 * portableSin(a - 0.5));
        const char* ears[3] = {n::kEar1, n::kEar2, n::kEar3};
        for (int32_t e = 0; e < 3; ++e) {
            const double lag = 0.8 + 0.6 * e;
            const double sway = (6.0 + 4.0 * e) * portableSin(a - lag);
            const double flap = (4.0 + 3.0 * e) * portableCos(2.0 * a - lag);
            p.left(ears[e], kRoll, sway - flap).right(ears[e], kRoll, -sway - flap);
        }
        m.keys.push_back(p.key());
    }
    return m;
}

// A quick hop: crouch, leap with the arms up, land and stand.
MotionDesign hop(const Rig& rig) {
    MotionDesign m{n::kHop, 15, 0, {}};
    m.keys.push_back(TavoPose(rig, 0).key());
    {
        TavoPose p(rig, 3);
        p.crouch(26.0).turn(n::kTrunk, kPitch, 12.0).turn(n::kFace, kPitch, -8.0);
        p.both(n::kUpperArm, kPitch, 25.0).both(n::kEar1, kRoll, 10.0).both(n::kEar2, kRoll, 8.0);
        m.keys.push_back(p.key());
    }
    {
        TavoPose p(rig, 7);
        p.lift({0.0f, 16.0f, 0.0f}).turn(n::kTrunk, kPitch, -4.0);
        p.left(n::kUpperArm, kRoll, 55.0).left(n::kForearm, kRoll, 20.0);
        p.carry(4.0, 0.0, 4.0, 10.0);
        p.both(n::kThigh, kPitch, -10.0).both(n::kShin, kPitch, 30.0).both(n::kShoe, kPitch, 15.0);
        p.both(n::kEar1, kRoll, -14.0).both(n::kEar2, kRoll, -16.0).both(n::kEar3, kRoll, -18.0);
        p.turn(n::kLantern, kPitch, 20.0).turn(n::kHem, kPitch, 8.0);
        m.keys.push_back(p.key());
    }
    {
        TavoPose p(rig, 11);
        p.crouch(20.0).turn(n::kTrunk, kPitch, 8.0);
        p.left(n::kUpperArm, kRoll, 15.0);
        p.carry(8.0, 0.0, 0.0, -10.0);
        p.both(n::kEar2, kRoll, 12.0).both(n::kEar3, kRoll, 18.0);
        p.turn(n::kLantern, kPitch, -14.0).turn(n::kHem, kPitch, -6.0);
        m.keys.push_back(p.key());
    }
    m.keys.push_back(TavoPose(rig, 15).key());
    return m;
}

// The lantern pole twirled once round its own length, held up in front; the
// lantern flies out a little as it circles.
MotionDesign twirl(const Rig& rig) {
    MotionDesign m{n::kTwirl, 36, 0, {}};
    for (int32_t k = 0; k <= 4; ++k) {
        const double spin = k == 4 ? 0.0 : 90.0 * k;
        const double raise = k == 0 || k == 4 ? 0.0 : 1.0;
        TavoPose p(rig, k * 9);
        p.right(n::kUpperArm, kPitch, -25.0 * raise);
        p.carry(-6.0 * raise, 0.0, -6.0 * raise, 0.0);
        p.spinPole(spin).turn(n::kLantern, kRoll, -6.0 * raise);
        p.turn(n::kFace, kRoll, 6.0 * raise).turn(n::kCenter, kYaw, -10.0 * raise);
        p.left(n::kUpperArm, kRoll, 18.0 * raise).both(n::kEar3, kRoll, 10.0 * raise);
        m.keys.push_back(p.key());
    }
    return m;
}

// A side-step dance that loops: sway, swap the arms, bob.
MotionDesign dance(const Rig& rig) {
    MotionDesign m{n::kDance, 32, 1, {}};
    for (int32_t k = 0; k < 4; ++k) {
        const double s = k % 2 == 0 ? 1.0 : -1.0;
        const bool down = k == 1 || k == 3;
        TavoPose p(rig, k * 8);
        if (down) {
            p.crouch(14.0);
        }
        p.lift({static_cast<float>(4.0 * s), 0.0f, 0.0f});
        p.turn(n::kCenter, kYaw, 14.0 * s).turn(n::kCenter, kRoll, -3.0 * s);
        p.turn(n::kFace, kRoll, 9.0 * s).turn(n::kTrunk, kRoll, 3.0 * s);
        p.left(n::kUpperArm, kRoll, s > 0 ? 70.0 : 15.0);
        p.carry(s > 0 ? 8.0 : 24.0, 0.0, s > 0 ? 8.0 : 2.0, -12.0 * s);
        p.both(n::kForearm, kPitch, -20.0);
        p.left(n::kEar2, kRoll, -12.0 * s).right(n::kEar2, kRoll, 12.0 * s);
        p.both(n::kEar3, kRoll, down ? 6.0 : -8.0);
        m.keys.push_back(p.key());
    }
    return m;
}

// Lantern held high, free hand on the hip, head and one ear tilted.
MotionDesign pose(const Rig& rig) {
    MotionDesign m{n::kPose, 60, 0, {}};
    m.keys.push_back(TavoPose(rig, 0).key());
    for (int32_t frame : {20, 60}) {
        TavoPose p(rig, frame);
        p.carry(12.0, 2.0, 6.0, -6.0);
        p.left(n::kUpperArm, kRoll, 35.0).left(n::kForearm, kRoll, -70.0).left(n::kForearm, kPitch, -10.0);
        p.turn(n::kFace, kRoll, -10.0).turn(n::kCenter, kYaw, -10.0).turn(n::kCenter, kRoll, -3.0);
        p.right(n::kEar2, kRoll, -18.0).right(n::kEar3, kRoll, -24.0).left(n::kEar1, kRoll, 6.0);
        p.left(n::kThigh, kRoll, 6.0).left(n::kShoe, kRoll, -6.0).right(n::kShin, kPitch, 6.0);
        m.keys.push_back(p.key());
    }
    return m;
}

std::string vectorLine(const Vec3& v) {
    return fixed(v.x, 6) + " " + fixed(v.y, 6) + " " + fixed(v.z, 6);
}

void appendTrackHead(std::string& out, const char* kind, const std::string& name, const char* cls,
                     const char* member) {
    appendLine(out, std::string("\t") + kind + " {");
    appendLine(out, "\t\tname = \"" + name + "\"");
    appendLine(out, std::string("\t\tclass = \"") + cls + "\"");
    appendLine(out, std::string("\t\tmember = \"") + member + "\"");
    appendLine(out, "\t\tcurve = \"spline\"");
}

}  // namespace

Quaternion boneKey(const RigBone& bone, const Quaternion& turn) {
    if (turn.x == 0.0f && turn.y == 0.0f && turn.z == 0.0f && turn.w == 1.0f) {
        return bone.restLocal;
    }
    const Quaternion inBoneFrame =
        multiplyPrecise(multiplyPrecise(bone.restRotation.conjugate(), turn), bone.restRotation);
    return multiplyPrecise(bone.restLocal, inBoneFrame);
}

std::vector<MotionDesign> buildMotions(const Rig& rig) {
    return {hop(rig), twirl(rig), dance(rig), lanternSway(rig), pose(rig)};
}

std::string writeMkm(const Rig& rig, const std::vector<MotionDesign>& motions) {
    const auto& bones = rig.bones();
    int32_t root = 0;
    for (size_t b = 0; b < bones.size(); ++b) {
        if (bones[b].parent < 0) {
            root = static_cast<int32_t>(b);
            break;
        }
    }
    const Vec3 restHead = rig.headPosition(root);
    std::string out;
    appendLine(out, "Mikoto Motion Ver 2");
    appendLine(out, "");
    for (const MotionDesign& motion : motions) {
        appendLine(out, "Motion {");
        appendLine(out, "\tname = \"" + motion.name + "\"");
        appendLine(out, "\tendframe = " + std::to_string(motion.endFrame));
        appendLine(out, "\tloop = " + std::to_string(motion.loop));
        appendTrackHead(out, "Vector", names::kPositionTrack, "Locate", "pos");
        for (const MotionKey& key : motion.keys) {
            appendLine(out, "\t\t" + std::to_string(key.frame) + " (" +
                                vectorLine(restHead + key.offset) + ")");
        }
        appendLine(out, "\t}");
        for (size_t b = 0; b < bones.size(); ++b) {
            appendTrackHead(out, "Quaternion", bones[b].name, "Bone", "rot");
            for (const MotionKey& key : motion.keys) {
                const Quaternion q = boneKey(bones[b], key.turns[b]);
                appendLine(out, "\t\t" + std::to_string(key.frame) + " (" + fixed(q.x, 6) + " " +
                                    fixed(q.y, 6) + " " + fixed(q.z, 6) + " " + fixed(q.w, 6) + ")");
            }
            appendLine(out, "\t}");
        }
        appendLine(out, "}");
    }
    appendLine(out, "Eof");
    return out;
}

}  // namespace tavo::chara
