#include "fuwari.h"
#include "fuwari_names.h"
#include "portable_math.h"

namespace tavo::chara::fuwari {
namespace {

namespace n = names;

constexpr double kPi = 3.14159265358979323846;

double sine(double a) { return portableSin(a); }
double cosine(double a) { return portableCos(a); }

// Fuwari's own moves on top of the generic ones.
class BirdPose : public Pose {
public:
    BirdPose(const Rig& rig, int32_t frame) : Pose(rig, frame) {}

    BirdPose& crouch(double degrees) {
        Pose::crouch(n::kThigh, n::kShank, n::kToes, degrees);
        return *this;
    }
    // Both wings out from the body: `upper` at the shoulder, `outer` more at
    // the middle joint (degrees; 0 is folded).
    BirdPose& spread(double upper, double outer) {
        both(n::kWing1, kRoll, upper).both(n::kWing2, kRoll, outer);
        return *this;
    }
    // The tail raised (positive) or lowered, and swung to the figure's left.
    BirdPose& tail(double raise, double swing) {
        const char* bones[3] = {n::kTail1, n::kTail2, n::kTail3};
        for (int32_t k = 0; k < 3; ++k) {
            turn(bones[k], kPitch, raise * (0.5 + 0.25 * k));
            turn(bones[k], kYaw, -swing * (0.6 + 0.2 * k));
        }
        return *this;
    }
    // The plume bends forward (positive) or back, the tip following late.
    BirdPose& plume(double bend, double tip) {
        turn(n::kCrest1, kPitch, bend);
        turn(n::kCrest2, kPitch, tip);
        return *this;
    }
    BirdPose& beak(double open) {
        turn(n::kJaw, kPitch, open);
        return *this;
    }
};

// The song that the program plays over and over: Fuwari sways from foot to
// foot, tilts its head, chirps four times, and its plume and tail follow.
MotionDesign song(const Rig& rig) {
    MotionDesign m{n::kSing, 48, 0, {}};
    for (int32_t k = 0; k <= 8; ++k) {
        const double a = 2.0 * kPi * (k % 8) / 8.0;
        const double bob = (1.0 - cosine(2.0 * a)) * 0.5;
        BirdPose p(rig, k * 6);
        p.crouch(7.0 * bob);
        p.turn(n::kWaist, kRoll, 4.0 * sine(a)).turn(n::kWaist, kYaw, 5.0 * sine(a - 0.4));
        p.turn(n::kChest, kRoll, -3.0 * sine(a - 0.5)).turn(n::kChest, kPitch, -4.0 * bob);
        p.turn(n::kHead, kRoll, 11.0 * sine(a + 0.7)).turn(n::kHead, kPitch, -6.0 * bob);
        p.turn(n::kHead, kYaw, 9.0 * sine(a + 0.3));
        p.beak(k % 2 == 1 ? 20.0 : 0.0);
        p.plume(10.0 * cosine(2.0 * a - 0.9) - 2.0, 14.0 * cosine(2.0 * a - 1.6));
        p.tail(6.0 + 8.0 * bob, 12.0 * sine(a - 0.9));
        p.spread(5.0 + 9.0 * bob, 4.0 + 8.0 * bob);
        m.keys.push_back(p.key());
    }
    return m;
}

// Bows down and pecks twice at the ground, then looks up pleased.
MotionDesign peck(const Rig& rig) {
    MotionDesign m{n::kPeck, 40, 0, {}};
    m.keys.push_back(BirdPose(rig, 0).key());
    struct Step {
        int32_t frame;
        double bow, nod, open, tailUp;
    };
    const Step steps[] = {{8, 26.0, 12.0, 0.0, 18.0},
                          {12, 30.0, 22.0, 12.0, 22.0},
                          {16, 28.0, 10.0, 0.0, 20.0},
                          {20, 30.0, 22.0, 12.0, 22.0},
                          {28, 8.0, -4.0, 0.0, 8.0}};
    for (const Step& s : steps) {
        BirdPose p(rig, s.frame);
        p.turn(n::kWaist, kPitch, s.bow * 0.15).turn(n::kChest, kPitch, s.bow * 0.75);
        p.turn(n::kHead, kPitch, s.nod);
        p.beak(s.open);
        p.tail(s.tailUp, 0.0).plume(-s.nod * 0.6, -s.nod * 0.4).spread(4.0, 6.0);
        p.crouch(s.bow * 0.3);
        m.keys.push_back(p.key());
    }
    BirdPose pleased(rig, 34);
    pleased.turn(n::kHead, kRoll, -14.0).turn(n::kHead, kPitch, -8.0);
    pleased.beak(16.0);
    pleased.plume(-8.0, 12.0).tail(10.0, -8.0);
    m.keys.push_back(pleased.key());
    m.keys.push_back(BirdPose(rig, 40).key());
    return m;
}

// Crouches, flaps up into the air three beats and lands.
MotionDesign flap(const Rig& rig) {
    MotionDesign m{n::kFlap, 32, 0, {}};
    m.keys.push_back(BirdPose(rig, 0).key());
    {
        BirdPose p(rig, 4);
        p.crouch(22.0).spread(20.0, 10.0).tail(-6.0, 0.0).plume(-6.0, -8.0);
        p.turn(n::kChest, kPitch, 8.0);
        m.keys.push_back(p.key());
    }
    for (int32_t beat = 0; beat < 4; ++beat) {
        const bool up = beat % 2 == 0;
        BirdPose p(rig, 8 + 4 * beat);
        p.lift({0.0f, static_cast<float>(up ? 22.0 : 17.0) + 3.0f * static_cast<float>(beat % 3), 0.0f});
        p.spread(up ? 105.0 : 35.0, up ? 20.0 : -10.0);
        p.both(n::kThigh, kPitch, -12.0).both(n::kShank, kPitch, 20.0).both(n::kToes, kPitch, 30.0);
        p.tail(up ? -10.0 : 14.0, 0.0).plume(up ? 12.0 : -2.0, up ? 16.0 : -4.0);
        p.beak(beat == 1 ? 18.0 : 0.0).turn(n::kHead, kPitch, -8.0);
        m.keys.push_back(p.key());
    }
    {
        BirdPose p(rig, 26);
        p.crouch(16.0).spread(30.0, 12.0).tail(12.0, 0.0).plume(10.0, 14.0);
        m.keys.push_back(p.key());
    }
    m.keys.push_back(BirdPose(rig, 32).key());
    return m;
}

// Looks to the left and to the right, head cocked; a loop.
MotionDesign lookAround(const Rig& rig) {
    MotionDesign m{n::kLookAround, 48, 1, {}};
    for (int32_t k = 0; k < 4; ++k) {
        const double side = k == 1 ? 1.0 : (k == 3 ? -1.0 : 0.0);
        const double tilt = k % 2 == 0 ? (k == 0 ? 10.0 : -10.0) : 0.0;
        BirdPose p(rig, k * 12);
        p.turn(n::kHead, kYaw, 50.0 * side).turn(n::kHead, kRoll, tilt - 6.0 * side);
        p.turn(n::kChest, kYaw, 12.0 * side).turn(n::kWaist, kYaw, 4.0 * side);
        p.tail(8.0, -18.0 * side).plume(4.0 * side, -6.0 * side);
        p.spread(side != 0.0 ? 8.0 : 3.0, 2.0);
        m.keys.push_back(p.key());
    }
    return m;
}

// A hop with a full turn in the air.
MotionDesign spin(const Rig& rig) {
    MotionDesign m{n::kSpin, 28, 0, {}};
    m.keys.push_back(BirdPose(rig, 0).key());
    {
        BirdPose p(rig, 4);
        p.crouch(20.0).spread(15.0, 8.0).tail(-8.0, 0.0);
        m.keys.push_back(p.key());
    }
    for (int32_t k = 1; k <= 3; ++k) {
        BirdPose p(rig, 4 + 4 * k);
        p.turn(n::kWaist, kYaw, 120.0 * k);
        if (k < 3) {
            p.lift({0.0f, k == 1 ? 18.0f : 20.0f, 0.0f});
            p.spread(70.0, 10.0).tail(16.0, 0.0);
            p.plume(-4.0, -6.0).beak(14.0);
        } else {
            p.crouch(14.0).spread(20.0, 6.0).plume(12.0, 16.0);
        }
        m.keys.push_back(p.key());
    }
    m.keys.push_back(BirdPose(rig, 28).key());
    return m;
}

}  // namespace

std::vector<MotionDesign> buildMotions(const Rig& rig) {
    return {peck(rig), flap(rig), lookAround(rig), song(rig), spin(rig)};
}

}  // namespace tavo::chara::fuwari
