#include "fuwari.h"

#include <cstdio>
#include <string>

#include "fuwari_names.h"
#include "part_builder.h"
#include "portable_math.h"

namespace tavo::chara::fuwari {
namespace {

namespace n = names;

const Vec3 kForward(0.0f, 0.0f, 1.0f);
const Vec3 kUp(0.0f, 1.0f, 0.0f);
const Vec3 kRight(1.0f, 0.0f, 0.0f);
constexpr float kPi = 3.1415927f;

std::vector<MaterialDesign> makeMaterials() {
    MaterialDesign feathers = colourMaterial(n::kFeatherMaterial, 0.98f, 0.98f, 0.98f);
    feathers.texture = kTextureName;
    std::vector<MaterialDesign> list = {
        feathers,
        colourMaterial(n::kBeakMaterial, 0.96f, 0.64f, 0.24f),
        colourMaterial(n::kFootMaterial, 0.90f, 0.50f, 0.38f),
    };
    // The bone and anchor materials only name bones; their colours are never drawn.
    const char* bones[] = {n::kWaist,  n::kChest, n::kHead,  n::kJaw,   n::kCrest1,
                           n::kCrest2, n::kWing1, n::kWing2, n::kTail1, n::kTail2,
                           n::kTail3,  n::kThigh, n::kShank, n::kToes};
    for (const char* bone : bones) {
        list.push_back(colourMaterial(bone, 0.45f, 0.55f, 0.60f));
    }
    return list;
}

Vec3 mirrored(const Vec3& v, float side) { return {v.x * side, v.y, v.z}; }

// The joints of the figure at rest: feet at y = 0, facing +z, its left at +x.
struct Joints {
    int32_t waist, chest, neck, crown, crestMid, crestTip, jaw, jawTip;
    int32_t tailBase, tail1, tail2, tailTip;
    int32_t shoulder[2], wingMid[2], wingTip[2];
    int32_t hip[2], knee[2], ankle[2], toe[2];
};

// Index 0 is the left side (+x), 1 the right.
Joints addJoints(Rig& rig) {
    Joints j{};
    j.waist = rig.addPoint({0.0f, 52.0f, 0.0f});
    j.chest = rig.addPoint({0.0f, 100.0f, 0.0f});
    j.neck = rig.addPoint({0.0f, 152.0f, 4.0f});
    j.crown = rig.addPoint({0.0f, 228.0f, 6.0f});
    j.crestMid = rig.addPoint({0.0f, 248.0f, 12.0f});
    j.crestTip = rig.addPoint({0.0f, 256.0f, 38.0f});
    j.jaw = rig.addPoint({0.0f, 171.0f, 46.0f});
    j.jawTip = rig.addPoint({0.0f, 166.0f, 70.0f});
    j.tailBase = rig.addPoint({0.0f, 90.0f, -48.0f});
    j.tail1 = rig.addPoint({0.0f, 110.0f, -72.0f});
    j.tail2 = rig.addPoint({0.0f, 130.0f, -92.0f});
    j.tailTip = rig.addPoint({0.0f, 154.0f, -110.0f});
    for (int32_t s = 0; s < 2; ++s) {
        const float side = s == 0 ? 1.0f : -1.0f;
        j.shoulder[s] = rig.addPoint(mirrored({54.0f, 136.0f, 8.0f}, side));
        j.wingMid[s] = rig.addPoint(mirrored({73.0f, 104.0f, 2.0f}, side));
        j.wingTip[s] = rig.addPoint(mirrored({70.0f, 66.0f, -16.0f}, side));
        j.hip[s] = rig.addPoint(mirrored({22.0f, 62.0f, 6.0f}, side));
        j.knee[s] = rig.addPoint(mirrored({22.0f, 36.0f, 8.0f}, side));
        j.ankle[s] = rig.addPoint(mirrored({22.0f, 10.0f, 6.0f}, side));
        j.toe[s] = rig.addPoint(mirrored({22.0f, 3.0f, 30.0f}, side));
    }
    return j;
}

void addBones(Rig& rig, const Joints& j) {
    rig.addBone(n::kWaist, j.waist, j.chest, kForward);
    rig.addBone(n::kChest, j.chest, j.neck, kForward);
    rig.addBone(n::kHead, j.neck, j.crown, kForward);
    rig.addBone(n::kCrest1, j.crown, j.crestMid, kForward);
    rig.addBone(n::kCrest2, j.crestMid, j.crestTip, kUp);
    rig.addLink(j.crown, j.jaw);
    rig.addBone(n::kJaw, j.jaw, j.jawTip, kUp);
    rig.addLink(j.chest, j.tailBase);
    rig.addBone(n::kTail1, j.tailBase, j.tail1, kUp);
    rig.addBone(n::kTail2, j.tail1, j.tail2, kUp);
    rig.addBone(n::kTail3, j.tail2, j.tailTip, kUp);
    for (int32_t s = 0; s < 2; ++s) {
        rig.addLink(j.neck, j.shoulder[s]);
        rig.addBone(n::kWing1, j.shoulder[s], j.wingMid[s], kRight);
        rig.addBone(n::kWing2, j.wingMid[s], j.wingTip[s], kRight);
        rig.addLink(j.chest, j.hip[s]);
        rig.addBone(n::kThigh, j.hip[s], j.knee[s], kForward);
        rig.addBone(n::kShank, j.knee[s], j.ankle[s], kForward);
        rig.addBone(n::kToes, j.ankle[s], j.toe[s], kUp);
    }
    rig.finish();
}

// A tapering closed tube through the given points, for beaks and toes.
void addSpike(Mesh& mesh, const std::vector<Vec3>& path, float baseAcross, float baseUp,
              float tipScale, const Vec3& reference, const TubeStyle& style) {
    const size_t count = path.size();
    const std::vector<Ring> rings = ringsAlong(
        path, radiiAlong(count, [&](float t) { return baseAcross * (1.0f - (1.0f - tipScale) * t); }),
        radiiAlong(count, [&](float t) { return baseUp * (1.0f - (1.0f - tipScale) * t); }), reference);
    const Vec3 first = (path[1] - path[0]).normalized();
    const Vec3 last = (path.back() - path[count - 2]).normalized();
    addTube(mesh, rings, style, path.front() - first * (baseUp * 0.6f),
            path.back() + last * (baseUp * tipScale * 1.2f));
}

void addHead(PartBuilder& b, const Rig& rig, const Joints& j) {
    const auto& p = rig.points();
    Mesh& head = b.part(n::kHeadPart);
    addEllipsoid(head, {0.0f, 186.0f, 8.0f}, {52.0f, 46.0f, 48.0f}, 20,
                 b.textured(layout::kHead, 32, kPi));
    // The upper beak is fixed to the head; the lower one opens on its own bone.
    Mesh& beak = b.part(n::kBeakPart);
    addSpike(beak, {{0.0f, 179.0f, 44.0f}, {0.0f, 177.0f, 58.0f}, {0.0f, 173.5f, 75.0f}}, 11.0f, 6.5f,
             0.12f, kUp, b.plain(n::kBeakMaterial, 12));
    Mesh& jaw = b.part(n::kJawPart);
    addSpike(jaw, {p[j.jaw], (p[j.jaw] + p[j.jawTip]) * 0.5f, p[j.jawTip] - Vec3(0.0f, 0.0f, 2.0f)},
             9.0f, 4.0f, 0.15f, kUp, b.plain(n::kBeakMaterial, 12));
}

void addLegs(PartBuilder& b, const Rig& rig, const Joints& j) {
    const auto& p = rig.points();
    const char* shanks[2] = {n::kShankLeftPart, n::kShankRightPart};
    const char* toes[2] = {n::kToesLeftPart, n::kToesRightPart};
    for (int32_t s = 0; s < 2; ++s) {
        const float side = s == 0 ? 1.0f : -1.0f;
        Mesh& shank = b.part(shanks[s]);
        const Vec3 knee = p[j.knee[s]] + Vec3(0.0f, 8.0f, 0.0f);
        const Vec3 ankle = p[j.ankle[s]];
        addSpike(shank, {knee, (knee + ankle) * 0.5f, ankle}, 5.2f, 5.2f, 0.8f, kForward,
                 b.plain(n::kFootMaterial, 10));
        // Three toes fanned forward and one behind, all from the ankle.
        Mesh& foot = b.part(toes[s]);
        const Vec3 heel = ankle - Vec3(0.0f, 5.0f, 0.0f);
        const float spread[3] = {-0.45f, 0.0f, 0.45f};
        for (float a : spread) {
            const Vec3 reach(side * 23.0f * portableSin(a), -3.0f, 23.0f * portableCos(a));
            addSpike(foot, {heel, heel + reach * 0.5f + Vec3(0.0f, 1.0f, 0.0f), heel + reach}, 3.6f,
                     3.0f, 0.75f, kUp, b.plain(n::kFootMaterial, 8));
        }
        addSpike(foot, {heel, heel + Vec3(0.0f, -1.5f, -7.0f), heel + Vec3(0.0f, -3.0f, -13.0f)}, 3.4f,
                 2.8f, 0.75f, kUp, b.plain(n::kFootMaterial, 8));
    }
}

float crestWidth(float t) {
    return 3.2f + 8.5f * static_cast<float>(portableExp(-(t - 0.8) * (t - 0.8) / 0.04));
}
float crestThickness(float t) { return 3.6f + 2.6f * t; }
float wingWidth(float t) { return 7.0f + 17.0f * portableSin(kPi * (0.22f + 0.72f * t)); }
float wingThickness(float t) { return 8.5f - 4.5f * t; }
float tailWidth(float t) { return 10.0f + 10.0f * t - 4.0f * t * t; }
float tailThickness(float t) { return 7.0f - 2.0f * t; }

void addSkinnedParts(PartBuilder& b, const Rig& rig, const Joints& j) {
    Mesh& body = b.part(std::string("sdef:") + n::kBodyPart);
    addEllipsoid(body, {0.0f, 94.0f, 0.0f}, {68.0f, 70.0f, 62.0f}, 20, b.textured(layout::kBody, 28, kPi));
    addSkinnedPart(b, {n::kCrestPart, jointPath(rig, {j.crown, j.crestMid, j.crestTip}, 6.0f, 2.0f),
                       crestWidth, crestThickness, kRight, layout::kCrest, 10, 1.0f, 5.0f});
    const char* wings[2] = {n::kWingLeft, n::kWingRight};
    for (int32_t s = 0; s < 2; ++s) {
        addSkinnedPart(b, {wings[s], jointPath(rig, {j.shoulder[s], j.wingMid[s], j.wingTip[s]}, 4.0f, 4.0f),
                           wingWidth, wingThickness, kRight, layout::kWing, 12, 2.0f, 6.0f});
    }
    addSkinnedPart(b, {n::kTailPart, jointPath(rig, {j.tailBase, j.tail1, j.tail2, j.tailTip}, 0.0f, 4.0f),
                       tailWidth, tailThickness, kRight, layout::kTail, 12, 2.0f, 8.0f});
}

void addAnchors(PartBuilder& b, const Rig& rig, const Joints& j) {
    const auto& p = rig.points();
    int32_t number = 1;
    auto anchor = [&](const char* target) -> Mesh& {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "anchor%02d|", number++);
        Mesh& mesh = b.part(std::string(prefix) + target);
        mesh.visible = false;
        return mesh;
    };
    // The body's two boxes are far wider than the body, so that a vertex's
    // weights follow its height: the waist below, the chest above, blended
    // over the overlap in the middle.
    Mesh& body = anchor(n::kBodyPart);
    addAnchorBox(body, p[j.waist], p[j.chest], kForward, 33.3f, 22.7f, 95.1f, 95.3f, b.material(n::kWaist));
    addAnchorBox(body, p[j.chest], p[j.neck], kForward, 22.1f, 16.9f, 95.3f, 95.1f, b.material(n::kChest));
    Mesh& crest = anchor(n::kCrestPart);
    addAnchorBox(crest, p[j.crown], p[j.crestMid], kForward, 9.3f, 7.1f, 12.1f, 21.3f, b.material(n::kCrest1));
    addAnchorBox(crest, p[j.crestMid], p[j.crestTip], kUp, 7.7f, 9.1f, 12.3f, 21.1f, b.material(n::kCrest2));
    const char* wings[2] = {n::kWingLeft, n::kWingRight};
    for (int32_t s = 0; s < 2; ++s) {
        Mesh& wing = anchor(wings[s]);
        addAnchorBox(wing, p[j.shoulder[s]], p[j.wingMid[s]], kRight, 10.3f, 9.7f, 33.1f, 15.3f,
                     b.material(n::kWing1));
        addAnchorBox(wing, p[j.wingMid[s]], p[j.wingTip[s]], kRight, 9.9f, 14.3f, 33.3f, 15.1f,
                     b.material(n::kWing2));
    }
    Mesh& tail = anchor(n::kTailPart);
    addAnchorBox(tail, p[j.tailBase], p[j.tail1], kUp, 12.1f, 9.3f, 33.1f, 24.3f, b.material(n::kTail1));
    addAnchorBox(tail, p[j.tail1], p[j.tail2], kUp, 9.1f, 9.7f, 33.3f, 24.1f, b.material(n::kTail2));
    addAnchorBox(tail, p[j.tail2], p[j.tailTip], kUp, 9.3f, 17.1f, 33.1f, 24.3f, b.material(n::kTail3));
}

}  // namespace

CharacterModel buildModel() {
    CharacterModel model;
    model.materials = makeMaterials();
    const Joints joints = addJoints(model.rig);
    addBones(model.rig, joints);

    PartBuilder builder(model, n::kFeatherMaterial);
    addHead(builder, model.rig, joints);
    addLegs(builder, model.rig, joints);
    addSkinnedParts(builder, model.rig, joints);
    builder.add(model.rig.boneObject(
        "bone", [&model](const std::string& name) { return model.materialIndex(name); }));
    addAnchors(builder, model.rig, joints);
    builder.finish();
    return model;
}

}  // namespace tavo::chara::fuwari
