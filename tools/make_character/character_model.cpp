#include "character_model.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "character_names.h"
#include "portable_math.h"
#include "part_builder.h"
#include "texture_layout.h"

namespace tavo::chara {
namespace {

namespace n = names;

const Vec3 kForward(0.0f, 0.0f, 1.0f);
const Vec3 kUp(0.0f, 1.0f, 0.0f);
const Vec3 kRight(1.0f, 0.0f, 0.0f);

std::vector<MaterialDesign> makeMaterials() {
    MaterialDesign skin = colourMaterial(n::kSkinMaterial, 0.98f, 0.98f, 0.98f);
    skin.texture = "tavo.png";
    std::vector<MaterialDesign> list = {
        skin,
        colourMaterial(n::kNoseMaterial, 0.82f, 0.44f, 0.40f),
        colourMaterial(n::kScarfMaterial, 0.84f, 0.30f, 0.22f),
        colourMaterial(n::kShoeMaterial, 0.45f, 0.29f, 0.20f),
        colourMaterial(n::kWoodMaterial, 0.58f, 0.40f, 0.24f),
        colourMaterial(n::kIronMaterial, 0.27f, 0.23f, 0.25f),
        colourMaterial(n::kHandMaterial, 0.91f, 0.78f, 0.60f),
        colourMaterial(n::kCapMaterial, 0.80f, 0.45f, 0.24f),
    };
    // The bone and anchor materials only name bones; their colours are never drawn.
    const char* bones[] = {n::kCenter, n::kTrunk,     n::kFace,    n::kEar1,  n::kEar2,
                           n::kEar3,   n::kUpperArm,  n::kForearm, n::kFist,  n::kThigh,
                           n::kShin,   n::kShoe,      n::kHem,     n::kPole,  n::kLantern};
    for (const char* bone : bones) {
        list.push_back(colourMaterial(bone, 0.60f, 0.55f, 0.35f));
    }
    return list;
}

Vec3 mirrored(const Vec3& v, float side) { return {v.x * side, v.y, v.z}; }

// The joints of the figure at rest: feet at y = 0, facing +z, its left at +x.
struct Joints {
    int32_t center, waist, neck, crown, hemTip;
    int32_t earBase[2], earMid[2], earBend[2], earTip[2];
    int32_t shoulder[2], elbow[2], wrist[2], knuckle[2];
    int32_t hip[2], knee[2], ankle[2], toe[2];
    int32_t hook, lanternBottom;
};

// Index 0 is the left side (+x), 1 the right; the right hand holds the lantern.
Joints addJoints(Rig& rig) {
    Joints j{};
    j.center = rig.addPoint({0.0f, 96.0f, 0.0f});
    j.waist = rig.addPoint({0.0f, 122.0f, 0.0f});
    j.neck = rig.addPoint({0.0f, 156.0f, 0.0f});
    j.crown = rig.addPoint({0.0f, 230.0f, 0.0f});
    j.hemTip = rig.addPoint({0.0f, 84.0f, 0.0f});
    for (int32_t s = 0; s < 2; ++s) {
        const float side = s == 0 ? 1.0f : -1.0f;
        j.earBase[s] = rig.addPoint(mirrored({23.0f, 236.0f, -6.0f}, side));
        j.earMid[s] = rig.addPoint(mirrored({40.0f, 251.0f, -8.0f}, side));
        j.earBend[s] = rig.addPoint(mirrored({67.0f, 254.0f, -10.0f}, side));
        j.earTip[s] = rig.addPoint(mirrored({97.0f, 238.0f, -11.0f}, side));
        j.shoulder[s] = rig.addPoint(mirrored({28.0f, 142.0f, 0.0f}, side));
        j.hip[s] = rig.addPoint(mirrored({16.0f, 88.0f, 0.0f}, side));
        j.knee[s] = rig.addPoint(mirrored({17.0f, 50.0f, 2.0f}, side));
        j.ankle[s] = rig.addPoint(mirrored({17.0f, 16.0f, 0.0f}, side));
        j.toe[s] = rig.addPoint(mirrored({17.0f, 6.0f, 22.0f}, side));
    }
    j.elbow[0] = rig.addPoint({44.0f, 114.0f, 4.0f});
    j.wrist[0] = rig.addPoint({52.0f, 88.0f, 10.0f});
    j.knuckle[0] = rig.addPoint({55.0f, 76.0f, 13.0f});
    j.elbow[1] = rig.addPoint({-47.0f, 117.0f, 12.0f});
    j.wrist[1] = rig.addPoint({-53.0f, 106.0f, 36.0f});
    j.knuckle[1] = rig.addPoint({-54.0f, 105.0f, 48.0f});
    j.hook = rig.addPoint({-100.0f, 243.0f, 40.0f});
    j.lanternBottom = rig.addPoint({-100.0f, 204.0f, 40.0f});
    return j;
}

void addBones(Rig& rig, const Joints& j) {
    rig.addBone(n::kCenter, j.center, j.waist, kForward);
    rig.addBone(n::kTrunk, j.waist, j.neck, kForward);
    rig.addBone(n::kFace, j.neck, j.crown, kForward);
    rig.addBone(n::kHem, j.waist, j.hemTip, kForward);
    for (int32_t s = 0; s < 2; ++s) {
        rig.addLink(j.crown, j.earBase[s]);
        rig.addBone(n::kEar1, j.earBase[s], j.earMid[s], kForward);
        rig.addBone(n::kEar2, j.earMid[s], j.earBend[s], kForward);
        rig.addBone(n::kEar3, j.earBend[s], j.earTip[s], kForward);
        // The right shoulder's line is drawn from the shoulder end: the
        // skeleton builder turns it round.
        if (s == 0) {
            rig.addLink(j.neck, j.shoulder[s]);
        } else {
            rig.addLink(j.shoulder[s], j.neck);
        }
        rig.addBone(n::kUpperArm, j.shoulder[s], j.elbow[s], kRight);
        rig.addBone(n::kForearm, j.elbow[s], j.wrist[s], kRight);
        rig.addBone(n::kFist, j.wrist[s], j.knuckle[s], kUp);
        rig.addLink(j.waist, j.hip[s]);
        rig.addBone(n::kThigh, j.hip[s], j.knee[s], kForward);
        rig.addBone(n::kShin, j.knee[s], j.ankle[s], kForward);
        rig.addBone(n::kShoe, j.ankle[s], j.toe[s], kUp);
    }
    rig.addBone(n::kPole, j.knuckle[1], j.hook, kForward);
    rig.addBone(n::kLantern, j.hook, j.lanternBottom, kForward);
    rig.finish();
}

constexpr float kPi = 3.1415927f;

void addHead(PartBuilder& b) {
    Mesh& head = b.part(n::kHeadPart);
    addEllipsoid(head, {0.0f, 196.0f, 2.0f}, {58.0f, 52.0f, 54.0f}, 20,
                 b.textured(layout::kHead, 32, kPi));
    Mesh& nose = b.part(n::kNosePart);
    addEllipsoid(nose, {0.0f, 189.0f, 55.0f}, {7.5f, 6.0f, 6.0f}, 6, b.plain(n::kNoseMaterial, 10));
    Mesh& cap = b.part(n::kCapPart);
    addLathe(cap, {0.0f, 232.0f, -3.0f},
             {{0.0f, 0.0f}, {1.0f, 27.0f}, {6.0f, 27.5f}, {12.0f, 24.0f}, {18.0f, 17.0f},
              {21.5f, 9.0f}, {23.0f, 5.0f}, {29.0f, 2.6f}, {30.0f, 0.0f}},
             0.95f, b.plain(n::kCapMaterial, 16));
}

void addBody(PartBuilder& b) {
    Mesh& trunk = b.part(n::kTrunkPart);
    addLathe(trunk, {0.0f, 0.0f, 0.0f},
             {{92.0f, 0.0f}, {94.0f, 24.0f}, {104.0f, 28.0f}, {118.0f, 28.5f}, {132.0f, 26.0f},
              {144.0f, 21.0f}, {152.0f, 14.0f}, {157.0f, 0.0f}},
             0.82f, b.textured(layout::kTrunk, 20, kPi));
    Mesh& scarf = b.part(n::kScarfPart);
    std::vector<Ring> loop;
    for (int32_t i = 0; i < 16; ++i) {
        const float a = 2.0f * kPi * i / 16;
        Ring ring;
        ring.center = {20.0f * portableSin(a), 150.0f + 1.5f * portableCos(a), 1.0f + 17.0f * portableCos(a)};
        const Vec3 tangent = Vec3(portableCos(a), 0.0f, -portableSin(a));
        ring.up = kUp;
        ring.across = ring.up.cross(tangent);
        ring.radiusAcross = 7.0f;
        ring.radiusUp = 6.0f;
        loop.push_back(ring);
    }
    addLoop(scarf, loop, b.plain(n::kScarfMaterial, 10));
    // The scarf's loose end hangs over the chest.
    const std::vector<Vec3> scarfEnd = smoothPath(
        {{8.0f, 150.0f, 21.0f}, {12.0f, 140.0f, 25.0f}, {13.0f, 126.0f, 26.0f}, {15.0f, 116.0f, 26.0f}},
        2);
    const std::vector<Ring> scarfRings =
        ringsAlong(scarfEnd, radiiAlong(scarfEnd.size(), [](float t) { return 6.0f - 1.0f * t; }),
                   radiiAlong(scarfEnd.size(), [](float) { return 2.2f; }), kForward);
    addTube(scarf, scarfRings, b.plain(n::kScarfMaterial, 8), scarfEnd.front() - Vec3(0.0f, -1.0f, 0.0f),
            scarfEnd.back() + Vec3(0.0f, -1.5f, 0.0f));

    Mesh& hips = b.part(n::kHipPart);
    addEllipsoid(hips, {0.0f, 96.0f, 0.0f}, {29.0f, 15.0f, 22.0f}, 10, b.textured(layout::kHip, 16, kPi));
    Mesh& bobtail = b.part(n::kTailPart);
    addEllipsoid(bobtail, {0.0f, 97.0f, -33.0f}, {10.0f, 9.5f, 9.0f}, 8, b.plain(n::kHandMaterial, 12));
    Mesh& hem = b.part(n::kHemPart);
    addLathe(hem, {0.0f, 0.0f, 0.0f},
             {{80.0f, 0.0f}, {80.5f, 37.0f}, {84.0f, 39.5f}, {92.0f, 36.5f}, {104.0f, 31.5f},
              {116.0f, 28.0f}, {123.0f, 26.0f}, {124.0f, 0.0f}},
             0.85f, b.textured(layout::kHem, 24, kPi));
}

void addLimbs(PartBuilder& b, const Rig& rig, const Joints& j) {
    const auto& p = rig.points();
    const char* hands[2] = {n::kHandLeftPart, n::kHandRightPart};
    const char* shoes[2] = {n::kShoeLeftPart, n::kShoeRightPart};
    for (int32_t s = 0; s < 2; ++s) {
        Mesh& hand = b.part(hands[s]);
        const Vec3 fist = (p[j.wrist[s]] + p[j.knuckle[s]]) * 0.5f;
        addEllipsoid(hand, fist, {9.0f, 9.5f, 9.0f}, 8, b.plain(n::kHandMaterial, 12));
        Mesh& shoe = b.part(shoes[s]);
        addEllipsoid(shoe, {p[j.ankle[s]].x, 9.0f, 6.0f}, {12.0f, 9.0f, 18.0f}, 8,
                     b.plain(n::kShoeMaterial, 14));
    }
}

void addLantern(PartBuilder& b, const Rig& rig, const Joints& j) {
    const auto& p = rig.points();
    Mesh& pole = b.part(n::kPolePart);
    const std::vector<Vec3> path = smoothPath(
        {{-51.0f, 80.0f, 47.0f}, p[j.knuckle[1]] - Vec3(0.0f, 0.0f, 4.0f), {-71.0f, 224.0f, 43.0f},
         {-78.0f, 242.0f, 42.0f}, {-88.0f, 250.0f, 41.0f}, {-97.0f, 249.0f, 40.0f},
         p[j.hook] + Vec3(0.0f, -1.0f, 0.0f)},
        3);
    const std::vector<Ring> rings =
        ringsAlong(path, radiiAlong(path.size(), [](float) { return 2.6f; }),
                   radiiAlong(path.size(), [](float) { return 2.6f; }), kForward);
    const Vec3 first = (path[1] - path[0]).normalized();
    const Vec3 last = (path.back() - path[path.size() - 2]).normalized();
    addTube(pole, rings, b.plain(n::kWoodMaterial, 8), path.front() - first * 2.0f,
            path.back() + last * 1.0f);

    Mesh& lantern = b.part(n::kLanternPart);
    const Vec3 top = p[j.hook];
    const Vec3 base = top - Vec3(0.0f, 42.0f, 0.0f);
    // Handle, lid, glass and foot from top to bottom.
    std::vector<Ring> handle;
    for (int32_t i = 0; i < 12; ++i) {
        const float a = 2.0f * kPi * i / 12;
        Ring ring;
        ring.center = top + Vec3(5.0f * portableSin(a), -6.0f + 5.0f * portableCos(a), 0.0f);
        const Vec3 tangent(portableCos(a), -portableSin(a), 0.0f);
        ring.up = kForward;
        ring.across = ring.up.cross(tangent);
        ring.radiusAcross = 1.3f;
        ring.radiusUp = 1.3f;
        handle.push_back(ring);
    }
    addLoop(lantern, handle, b.plain(n::kIronMaterial, 6));
    addLathe(lantern, base,
             {{29.0f, 0.0f}, {29.5f, 12.5f}, {32.0f, 11.0f}, {36.0f, 5.0f}, {37.5f, 0.0f}}, 1.0f,
             b.plain(n::kIronMaterial, 12));
    addLathe(lantern, base,
             {{5.0f, 0.0f}, {6.0f, 9.0f}, {12.0f, 11.5f}, {18.0f, 12.0f}, {24.0f, 11.5f},
              {29.0f, 9.5f}, {30.0f, 0.0f}},
             1.0f, b.textured(layout::kGlass, 16, kPi));
    addLathe(lantern, base, {{0.0f, 0.0f}, {0.5f, 8.0f}, {4.0f, 10.5f}, {6.0f, 10.0f}, {6.5f, 0.0f}},
             1.0f, b.plain(n::kIronMaterial, 12));
}

float earWidth(float t) { return 7.0f + 9.5f * portableSin(kPi * t * (1.2f - 0.2f * t)) * (1.0f - 0.3f * t); }
float earThickness(float t) { return 4.2f - 1.4f * t; }
float armRadius(float t) { return 8.5f - 2.8f * t; }
float legRadius(float t) { return 9.5f - 2.6f * t; }

void addSkinnedParts(PartBuilder& b, const Rig& rig, const Joints& j) {
    const char* ears[2] = {n::kEarLeft, n::kEarRight};
    const char* arms[2] = {n::kArmLeft, n::kArmRight};
    const char* legs[2] = {n::kLegLeft, n::kLegRight};
    for (int32_t s = 0; s < 2; ++s) {
        addSkinnedPart(b, {ears[s],
                           jointPath(rig, {j.earBase[s], j.earMid[s], j.earBend[s], j.earTip[s]}, 8.0f, 0.0f),
                           earWidth, earThickness, kForward, layout::kEar, 14, 1.5f, 6.0f});
        addSkinnedPart(b, {arms[s], jointPath(rig, {j.shoulder[s], j.elbow[s], j.wrist[s]}, 5.0f, 2.0f),
                           armRadius, armRadius, kRight, layout::kArm, 12, 2.0f, 1.5f});
        addSkinnedPart(b, {legs[s], jointPath(rig, {j.hip[s], j.knee[s], j.ankle[s]}, 8.0f, 5.0f),
                           legRadius, legRadius, kForward, layout::kLeg, 12, 1.5f, 1.5f});
    }
}

void addAnchors(PartBuilder& b, const Rig& rig, const Joints& j) {
    const auto& p = rig.points();
    const char* ears[2] = {n::kEarLeft, n::kEarRight};
    const char* arms[2] = {n::kArmLeft, n::kArmRight};
    const char* legs[2] = {n::kLegLeft, n::kLegRight};
    int32_t number = 1;
    auto anchor = [&](const char* target) -> Mesh& {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "anchor%02d|", number++);
        Mesh& mesh = b.part(std::string(prefix) + target);
        mesh.visible = false;
        return mesh;
    };
    for (int32_t s = 0; s < 2; ++s) {
        Mesh& ear = anchor(ears[s]);
        addAnchorBox(ear, p[j.earBase[s]], p[j.earMid[s]], kForward, 12.3f, 8.7f, 21.3f, 9.1f,
                     b.material(n::kEar1));
        addAnchorBox(ear, p[j.earMid[s]], p[j.earBend[s]], kForward, 8.9f, 9.3f, 21.7f, 9.3f,
                     b.material(n::kEar2));
        addAnchorBox(ear, p[j.earBend[s]], p[j.earTip[s]], kForward, 9.1f, 12.7f, 21.9f, 9.2f,
                     b.material(n::kEar3));
        Mesh& arm = anchor(arms[s]);
        addAnchorBox(arm, p[j.shoulder[s]], p[j.elbow[s]], kRight, 10.3f, 7.7f, 12.1f, 12.3f,
                     b.material(n::kUpperArm));
        addAnchorBox(arm, p[j.elbow[s]], p[j.wrist[s]], kRight, 7.9f, 6.3f, 11.7f, 11.9f,
                     b.material(n::kForearm));
        Mesh& leg = anchor(legs[s]);
        addAnchorBox(leg, p[j.hip[s]], p[j.knee[s]], kForward, 12.7f, 8.3f, 13.1f, 13.3f,
                     b.material(n::kThigh));
        addAnchorBox(leg, p[j.knee[s]], p[j.ankle[s]], kForward, 8.1f, 9.7f, 12.9f, 13.1f,
                     b.material(n::kShin));
    }
}

}  // namespace

int32_t CharacterModel::materialIndex(const std::string& name) const {
    for (size_t k = 0; k < materials.size(); ++k) {
        if (materials[k].name == name) {
            return static_cast<int32_t>(k);
        }
    }
    return -1;
}

CharacterModel buildCharacterModel() {
    CharacterModel model;
    model.materials = makeMaterials();
    const Joints joints = addJoints(model.rig);
    addBones(model.rig, joints);

    PartBuilder builder(model, n::kSkinMaterial);
    addHead(builder);
    addBody(builder);
    addLimbs(builder, model.rig, joints);
    addLantern(builder, model.rig, joints);
    addSkinnedParts(builder, model.rig, joints);
    builder.add(model.rig.boneObject(
        names::kBoneObject, [&model](const std::string& name) { return model.materialIndex(name); }));
    addAnchors(builder, model.rig, joints);
    builder.finish();
    return model;
}

}  // namespace tavo::chara
