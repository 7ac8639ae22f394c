#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <tuple>

#include "avatar/avatar.h"
#include "mesh_builder.h"
#include "paint_tools.h"
#include "png_encoder.h"

namespace tavo::chara::avatar {

namespace {

constexpr float kPi = 3.14159265f;

// --- The rig -----------------------------------------------------------------

enum Joint : int32_t {
    kHips, kSpine, kChest, kNeck, kHead,
    kLeftUpperLeg, kLeftLowerLeg, kLeftFoot, kRightUpperLeg, kRightLowerLeg, kRightFoot,
    kLeftShoulder, kLeftUpperArm, kLeftLowerArm, kLeftHand,
    kRightShoulder, kRightUpperArm, kRightLowerArm, kRightHand,
    kLeftTail1, kLeftTail2, kLeftTail3, kLeftTailEnd,
    kRightTail1, kRightTail2, kRightTail3, kRightTailEnd,
};

std::vector<AvatarJoint> buildRig() {
    std::vector<AvatarJoint> joints = {
        {"Hips", "hips", -1, {0.0f, 0.50f, 0.0f}},
        {"Spine", "spine", kHips, {0.0f, 0.58f, 0.0f}},
        {"Chest", "chest", kSpine, {0.0f, 0.67f, 0.0f}},
        {"Neck", "neck", kChest, {0.0f, 0.77f, 0.0f}},
        {"Head", "head", kNeck, {0.0f, 0.81f, 0.0f}},
    };
    for (const float side : {1.0f, -1.0f}) {
        const std::string s = side > 0 ? "Left" : "Right";
        const std::string b = side > 0 ? "left" : "right";
        const int32_t upper = static_cast<int32_t>(joints.size());
        joints.push_back({s + "UpperLeg", b + "UpperLeg", kHips, {0.065f * side, 0.47f, 0.0f}});
        joints.push_back({s + "LowerLeg", b + "LowerLeg", upper, {0.065f * side, 0.27f, 0.0f}});
        joints.push_back({s + "Foot", b + "Foot", upper + 1, {0.065f * side, 0.065f, 0.0f}});
    }
    for (const float side : {1.0f, -1.0f}) {
        const std::string s = side > 0 ? "Left" : "Right";
        const std::string b = side > 0 ? "left" : "right";
        const int32_t shoulder = static_cast<int32_t>(joints.size());
        joints.push_back({s + "Shoulder", b + "Shoulder", kChest, {0.035f * side, 0.745f, 0.0f}});
        joints.push_back({s + "UpperArm", b + "UpperArm", shoulder, {0.095f * side, 0.745f, 0.0f}});
        joints.push_back({s + "LowerArm", b + "LowerArm", shoulder + 1, {0.215f * side, 0.745f, 0.0f}});
        joints.push_back({s + "Hand", b + "Hand", shoulder + 2, {0.325f * side, 0.745f, 0.0f}});
    }
    for (const float side : {1.0f, -1.0f}) {
        const std::string s = side > 0 ? "Left" : "Right";
        const int32_t first = static_cast<int32_t>(joints.size());
        joints.push_back({"HairTail" + s + "1", "", kHead, {0.150f * side, 1.070f, -0.030f}});
        joints.push_back({"HairTail" + s + "2", "", first, {0.205f * side, 0.975f, -0.045f}});
        joints.push_back({"HairTail" + s + "3", "", first + 1, {0.225f * side, 0.860f, -0.050f}});
        joints.push_back({"HairTail" + s + "End", "", first + 2, {0.225f * side, 0.740f, -0.050f}});
    }
    return joints;
}

// --- Skinning ----------------------------------------------------------------

// Weights along a chain of joints: joint k owns the stretch from path point
// k to k + 1, and neighbours blend over the middle of the bend.
struct Chain {
    std::vector<int32_t> joints;
    std::vector<Vec3> path;  // joints.size() + 1 points
};

void weightsAlong(const Chain& chain, const Vec3& p, uint16_t* joints, float* weights) {
    float best = 1e30f;
    float along = 0.0f;
    for (size_t k = 0; k + 1 < chain.path.size(); ++k) {
        const Vec3 a = chain.path[k];
        const Vec3 d = chain.path[k + 1] - a;
        const float t = std::clamp((p - a).dot(d) / std::max(d.dot(d), 1e-12f), 0.0f, 1.0f);
        const float distance = (a + d * t - p).length();
        if (distance < best) {
            best = distance;
            along = static_cast<float>(k) + t;
        }
    }
    std::vector<std::pair<float, int32_t>> found;
    for (size_t k = 0; k < chain.joints.size(); ++k) {
        const float w = std::clamp((0.8f - std::fabs(along - (static_cast<float>(k) + 0.5f))) / 0.6f, 0.0f, 1.0f);
        const bool end = (k == 0 && along < 0.5f) || (k + 1 == chain.joints.size() && along > k + 0.5f);
        if (w > 0.0f || end) found.push_back({end ? 1.0f : w, chain.joints[k]});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    found.resize(std::min<size_t>(found.size(), 4));
    float sum = 0.0f;
    for (const auto& [w, j] : found) sum += w;
    for (size_t i = 0; i < 4; ++i) {
        joints[i] = i < found.size() ? static_cast<uint16_t>(found[i].second) : 0;
        weights[i] = i < found.size() ? found[i].first / sum : 0.0f;
    }
}

// --- Meshes ------------------------------------------------------------------

// The builder's faces (shared corners, a UV per corner) become glTF vertices:
// one per distinct corner and UV, smooth normals, triangles from fans.
AvatarMesh toAvatarMesh(const Mesh& source, const std::string& name, const std::string& material, const Chain& chain) {
    std::vector<Vec3> smooth(source.vertices.size());
    for (const MeshFace& face : source.faces) {
        for (size_t k = 1; k + 1 < face.corners.size(); ++k) {
            const Vec3& a = source.vertices[static_cast<size_t>(face.corners[0])];
            const Vec3 n = (source.vertices[static_cast<size_t>(face.corners[k])] - a)
                               .cross(source.vertices[static_cast<size_t>(face.corners[k + 1])] - a);
            for (size_t c : {size_t{0}, k, k + 1}) smooth[static_cast<size_t>(face.corners[c])] = smooth[static_cast<size_t>(face.corners[c])] + n;
        }
    }
    AvatarMesh mesh;
    mesh.name = name;
    mesh.material = material;
    std::map<std::tuple<int32_t, float, float>, uint32_t> made;
    for (const MeshFace& face : source.faces) {
        std::vector<uint32_t> corners;
        for (size_t c = 0; c < face.corners.size(); ++c) {
            const TexturePoint uv = c < face.uvs.size() ? face.uvs[c] : TexturePoint{};
            const auto key = std::make_tuple(face.corners[c], uv.u, uv.v);
            auto found = made.find(key);
            if (found == made.end()) {
                const Vec3& p = source.vertices[static_cast<size_t>(face.corners[c])];
                Vec3 n = smooth[static_cast<size_t>(face.corners[c])].normalized();
                if (!(n.length() > 0.5f)) n = Vec3(0.0f, 1.0f, 0.0f);
                mesh.positions.push_back(p);
                mesh.normals.push_back(n);
                mesh.uvs.push_back(uv.u);
                mesh.uvs.push_back(uv.v);
                mesh.joints.resize(mesh.joints.size() + 4);
                mesh.weights.resize(mesh.weights.size() + 4);
                weightsAlong(chain, p, &mesh.joints[mesh.joints.size() - 4], &mesh.weights[mesh.weights.size() - 4]);
                found = made.emplace(key, static_cast<uint32_t>(mesh.positions.size() - 1)).first;
            }
            corners.push_back(found->second);
        }
        for (size_t k = 1; k + 1 < corners.size(); ++k) {
            mesh.indices.insert(mesh.indices.end(), {corners[0], corners[k], corners[k + 1]});
        }
    }
    return mesh;
}

void append(AvatarMesh& into, const AvatarMesh& more) {
    const uint32_t base = static_cast<uint32_t>(into.positions.size());
    into.positions.insert(into.positions.end(), more.positions.begin(), more.positions.end());
    into.normals.insert(into.normals.end(), more.normals.begin(), more.normals.end());
    into.uvs.insert(into.uvs.end(), more.uvs.begin(), more.uvs.end());
    into.joints.insert(into.joints.end(), more.joints.begin(), more.joints.end());
    into.weights.insert(into.weights.end(), more.weights.begin(), more.weights.end());
    for (uint32_t index : more.indices) into.indices.push_back(base + index);
}

TubeStyle style(const UvRect& area, int32_t segments, float phase = 0.0f) {
    TubeStyle s;
    s.segments = segments;
    s.phase = phase;
    s.uv = area;
    s.textured = true;
    return s;
}

// Rings along a path with radii from a profile of the path's fraction.
std::vector<Ring> sweep(const std::vector<Vec3>& path, const std::function<float(float)>& radius, const Vec3& reference,
                        int32_t steps) {
    std::vector<Vec3> points;
    std::vector<float> radii;
    for (int32_t i = 0; i <= steps; ++i) {
        const float f = static_cast<float>(i) / static_cast<float>(steps);
        const float at = f * static_cast<float>(path.size() - 1);
        const size_t k = std::min(static_cast<size_t>(at), path.size() - 2);
        points.push_back(path[k] + (path[k + 1] - path[k]) * (at - static_cast<float>(k)));
        radii.push_back(radius(f));
    }
    return ringsAlong(points, radii, radii, reference);
}

// Where the body picture keeps each part.
namespace area {
constexpr UvRect kDress{0.0f, 0.0f, 1.0f, 0.5f};
constexpr UvRect kSkin{0.0f, 0.52f, 1.0f, 0.73f};
constexpr UvRect kStocking{0.0f, 0.77f, 0.48f, 1.0f};
constexpr UvRect kShoe{0.52f, 0.77f, 1.0f, 1.0f};
}  // namespace area

const Vec3 kHeadCentre(0.0f, 0.985f, 0.0f);
const Vec3 kHeadRadii(0.165f, 0.160f, 0.155f);

// A point on the head's surface at a latitude and a longitude (0 to the
// front, positive towards +X), pushed out by lift.
Vec3 onHead(float latitude, float longitude, float lift) {
    return kHeadCentre + Vec3((kHeadRadii.x + lift) * std::cos(latitude) * std::sin(longitude),
                              (kHeadRadii.y + lift) * std::sin(latitude),
                              (kHeadRadii.z + lift) * std::cos(latitude) * std::cos(longitude));
}

AvatarMesh buildBody(const std::vector<AvatarJoint>& rig) {
    const auto at = [&](int32_t j) { return rig[static_cast<size_t>(j)].position; };
    AvatarMesh body;
    body.name = "Body";
    body.material = "Body";
    {  // the dress from the hips to the collar
        Mesh mesh;
        const std::vector<Vec3> path = {Vec3(0, 0.42f, 0), Vec3(0, 0.82f, 0)};
        const auto radius = [](float f) { return 0.085f + 0.025f * std::sin(f * kPi * 0.9f) - 0.04f * f * f; };
        addTube(mesh, sweep(path, radius, Vec3(0, 0, 1), 10), style(area::kDress, 16, kPi), Vec3(0, 0.42f, 0), Vec3(0, 0.83f, 0));
        const Chain chain{{kHips, kSpine, kChest, kNeck}, {Vec3(0, 0.40f, 0), at(kSpine), at(kChest), at(kNeck), Vec3(0, 0.85f, 0)}};
        append(body, toAvatarMesh(mesh, "", "", chain));
    }
    for (const float side : {1.0f, -1.0f}) {
        const int32_t o = side > 0 ? 0 : 4;
        const Chain arm{{kLeftShoulder + o, kLeftUpperArm + o, kLeftLowerArm + o, kLeftHand + o},
                        {at(kLeftShoulder + o), at(kLeftUpperArm + o), at(kLeftLowerArm + o), at(kLeftHand + o),
                         at(kLeftHand + o) + Vec3(0.075f * side, 0, 0)}};
        Mesh sleeve;
        addTube(sleeve, sweep({Vec3(0.05f * side, 0.745f, 0), Vec3(0.205f * side, 0.745f, 0)},
                              [](float f) { return 0.042f - 0.010f * f; }, Vec3(0, 1, 0), 5),
                style(area::kDress, 10), Vec3(0.05f * side, 0.745f, 0), Vec3(0.205f * side, 0.745f, 0));
        append(body, toAvatarMesh(sleeve, "", "", arm));
        Mesh forearm;
        const Vec3 tip = at(kLeftHand + o) + Vec3(0.075f * side, 0, 0);
        addTube(forearm, sweep({Vec3(0.195f * side, 0.745f, 0), tip},
                               [](float f) { return f < 0.6f ? 0.025f - 0.006f * f : 0.032f * std::sqrt(std::max(0.0f, 1.0f - (f - 0.6f) * 2.3f)) + 0.004f; },
                               Vec3(0, 1, 0), 8),
                style(area::kSkin, 10), Vec3(0.195f * side, 0.745f, 0), tip + Vec3(0.004f * side, 0, 0));
        append(body, toAvatarMesh(forearm, "", "", arm));

        const int32_t l = side > 0 ? 0 : 3;
        const Chain leg{{kLeftUpperLeg + l, kLeftLowerLeg + l, kLeftFoot + l},
                        {at(kLeftUpperLeg + l) + Vec3(0, 0.03f, 0), at(kLeftLowerLeg + l), at(kLeftFoot + l), at(kLeftFoot + l) + Vec3(0, -0.06f, 0.1f)}};
        Mesh stocking;
        addTube(stocking, sweep({at(kLeftUpperLeg + l) + Vec3(0, 0.02f, 0), at(kLeftFoot + l) + Vec3(0, -0.01f, 0)},
                                [](float f) { return 0.040f - 0.014f * f; }, Vec3(0, 0, 1), 8),
                style(area::kStocking, 10), at(kLeftUpperLeg + l) + Vec3(0, 0.03f, 0), at(kLeftFoot + l) + Vec3(0, -0.02f, 0));
        append(body, toAvatarMesh(stocking, "", "", leg));
        Mesh shoe;
        addEllipsoid(shoe, at(kLeftFoot + l) + Vec3(0, -0.030f, 0.025f), Vec3(0.037f, 0.034f, 0.066f), 8, style(area::kShoe, 12));
        append(body, toAvatarMesh(shoe, "", "", Chain{{kLeftFoot + l}, {at(kLeftFoot + l), at(kLeftFoot + l) + Vec3(0, -0.06f, 0.1f)}}));
    }
    return body;
}

// The skirt: an open cone from the waist, seen from both sides; its hem is
// cut out of the picture (a masked material).
AvatarMesh buildSkirt(const std::vector<AvatarJoint>& rig) {
    AvatarMesh skirt;
    skirt.name = "Skirt";
    skirt.material = "Skirt";
    const int32_t segments = 24;
    const int32_t rows = 5;
    Mesh mesh;
    for (int32_t r = 0; r <= rows; ++r) {
        const float f = static_cast<float>(r) / rows;
        const float y = 0.57f - 0.27f * f;
        const float radius = 0.105f + 0.13f * f - 0.03f * f * f;
        for (int32_t j = 0; j <= segments; ++j) {
            const float a = 2.0f * kPi * static_cast<float>(j) / segments;
            mesh.addVertex(Vec3(radius * std::sin(a), y, radius * std::cos(a) * 0.9f));
        }
    }
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t j = 0; j < segments; ++j) {
            const int32_t a = r * (segments + 1) + j;
            const int32_t b = a + segments + 1;
            const float u0 = static_cast<float>(j) / segments;
            const float u1 = static_cast<float>(j + 1) / segments;
            const float v0 = static_cast<float>(r) / rows;
            const float v1 = static_cast<float>(r + 1) / rows;
            mesh.addFace({a, b, b + 1, a + 1}, -1, {{u0, v0}, {u0, v1}, {u1, v1}, {u1, v0}});
        }
    }
    const Vec3 hips = rig[kHips].position;
    append(skirt, toAvatarMesh(mesh, "", "", Chain{{kHips}, {hips + Vec3(0, 0.1f, 0), hips}}));
    return skirt;
}

// The head with the face painted on, and two eyelids that the blink target
// closes over the eyes.
AvatarMesh buildFace(const std::vector<AvatarJoint>& rig) {
    AvatarMesh face;
    face.name = "Face";
    face.material = "Face";
    const Chain head{{kHead}, {rig[kHead].position, kHeadCentre + Vec3(0, 0.2f, 0)}};
    Mesh ball;
    addEllipsoid(ball, kHeadCentre, kHeadRadii, 16, style(UvRect{0.0f, 0.0f, 1.0f, 1.0f}, 32, kPi));
    append(face, toAvatarMesh(ball, "", "", head));
    face.blink.assign(face.positions.size(), Vec3());
    // Each lid: 3 rows of 5, from just above the eye; closed, its rows reach
    // down over the whole eye.
    for (const float side : {1.0f, -1.0f}) {
        const float centre = 0.40f * side;
        const uint32_t base = static_cast<uint32_t>(face.positions.size());
        for (int32_t r = 0; r < 3; ++r) {
            for (int32_t c = 0; c < 5; ++c) {
                const float longitude = centre + (static_cast<float>(c) - 2.0f) * 0.1f;
                const float open = 0.045f - 0.012f * static_cast<float>(r);
                const float closed = 0.045f - 0.16f * static_cast<float>(r);
                const Vec3 p = onHead(open, longitude, 0.004f);
                face.positions.push_back(p);
                face.normals.push_back((p - kHeadCentre).normalized());
                face.uvs.push_back(0.5f + longitude / (2.0f * kPi));
                face.uvs.push_back(0.5f - 0.30f / kPi);  // skin, above the eyes
                face.joints.insert(face.joints.end(), {static_cast<uint16_t>(kHead), 0, 0, 0});
                face.weights.insert(face.weights.end(), {1.0f, 0.0f, 0.0f, 0.0f});
                face.blink.push_back(onHead(closed, longitude, 0.004f + 0.002f * static_cast<float>(r)) - p);
            }
        }
        for (uint32_t r = 0; r < 2; ++r) {
            for (uint32_t c = 0; c < 4; ++c) {
                const uint32_t a = base + r * 5 + c;
                // Seen from the front the rows run down and the columns
                // towards +X: counter-clockwise is a, a + 5, a + 6.
                face.indices.insert(face.indices.end(), {a, a + 5, a + 6, a, a + 6, a + 1});
            }
        }
    }
    return face;
}

// The hair: a masked shell round the head with the face left open, a
// blended fringe over the forehead, and twin tails that swing.
AvatarMesh buildHair(const std::vector<AvatarJoint>& rig) {
    AvatarMesh hair;
    hair.name = "Hair";
    hair.material = "Hair";
    const Chain head{{kHead}, {rig[kHead].position, kHeadCentre + Vec3(0, 0.2f, 0)}};
    Mesh shell;
    addEllipsoid(shell, kHeadCentre + Vec3(0, 0.008f, -0.004f), kHeadRadii + Vec3(0.014f, 0.016f, 0.016f), 16,
                 style(UvRect{0.0f, 0.0f, 1.0f, 0.5f}, 32, kPi));
    append(hair, toAvatarMesh(shell, "", "", head));
    for (const float side : {1.0f, -1.0f}) {
        const int32_t o = side > 0 ? 0 : 4;
        std::vector<Vec3> path;
        for (int32_t k = 0; k < 4; ++k) path.push_back(rig[static_cast<size_t>(kLeftTail1 + o + k)].position);
        Mesh tail;
        addTube(tail, sweep(path, [](float f) { return 0.030f * (1.0f - 0.75f * f) + 0.012f * std::sin(f * kPi); }, Vec3(0, 0, 1), 12),
                style(UvRect{0.0f, 0.5f, 1.0f, 0.75f}, 10), path.front() + Vec3(0, 0.02f, 0), path.back() + Vec3(0, -0.02f, 0));
        append(hair, toAvatarMesh(tail, "", "", Chain{{kLeftTail1 + o, kLeftTail2 + o, kLeftTail3 + o}, path}));
    }
    return hair;
}

AvatarMesh buildFringe(const std::vector<AvatarJoint>& rig) {
    AvatarMesh fringe;
    fringe.name = "Fringe";
    fringe.material = "Fringe";
    const int32_t columns = 12;
    const int32_t rows = 4;
    Mesh mesh;
    for (int32_t r = 0; r <= rows; ++r) {
        const float latitude = 0.75f - 0.62f * static_cast<float>(r) / rows;
        for (int32_t c = 0; c <= columns; ++c) {
            const float longitude = -0.95f + 1.9f * static_cast<float>(c) / columns;
            mesh.addVertex(onHead(latitude, longitude, 0.022f + 0.004f * static_cast<float>(r)));
        }
    }
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            const int32_t a = r * (columns + 1) + c;
            const float u0 = static_cast<float>(c) / columns;
            const float u1 = static_cast<float>(c + 1) / columns;
            const float v0 = static_cast<float>(r) / rows;
            const float v1 = static_cast<float>(r + 1) / rows;
            mesh.addFace({a, a + columns + 1, a + columns + 2, a + 1}, -1, {{u0, v0}, {u0, v1}, {u1, v1}, {u1, v0}});
        }
    }
    append(fringe, toAvatarMesh(mesh, "", "", Chain{{kHead}, {rig[kHead].position, kHeadCentre + Vec3(0, 0.2f, 0)}}));
    return fringe;
}

// --- Pictures ----------------------------------------------------------------

using paint::Colour;

// RGBA rows from the top, each pixel the mean of 3 x 3 samples of
// paintAt(u, v, alpha); no colour channel above 250.
std::vector<uint8_t> paintRgba(int32_t size, const std::function<Colour(double, double, double&)>& paintAt) {
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * static_cast<size_t>(size) * 4);
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            double sum[4] = {0, 0, 0, 0};
            for (int32_t sy = 0; sy < 3; ++sy) {
                for (int32_t sx = 0; sx < 3; ++sx) {
                    double alpha = 1.0;
                    const Colour c = paintAt((x + (sx + 0.5) / 3.0) / size, (y + (sy + 0.5) / 3.0) / size, alpha);
                    sum[0] += c.r;
                    sum[1] += c.g;
                    sum[2] += c.b;
                    sum[3] += alpha;
                }
            }
            uint8_t* out = &pixels[(static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)) * 4];
            for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(std::clamp(sum[c] / 9.0, 0.0, 1.0) * 250.0 + 0.5);
            out[3] = static_cast<uint8_t>(std::clamp(sum[3] / 9.0, 0.0, 1.0) * 255.0 + 0.5);
        }
    }
    return pixels;
}

const Colour kSkinColour{0.98, 0.86, 0.78};
const Colour kHairColour{0.42, 0.27, 0.22};
const Colour kDressColour{0.36, 0.58, 0.86};

double within(const UvRect& r, double u, double v) { return u >= r.u0 && u <= r.u1 && v >= r.v0 && v <= r.v1; }

Colour bodyAt(double u, double v, double&) {
    if (within(area::kDress, u, v)) {
        const double du = std::fmod(u * 12.0, 1.0) - 0.5;
        const double dv = std::fmod(v * 12.0 + (static_cast<int>(u * 12.0) % 2) * 0.5, 1.0) - 0.5;
        const double dot = paint::inside(std::sqrt(du * du + dv * dv) - 0.16, 0.08);
        return paint::mix(kDressColour, Colour{0.96, 0.96, 0.92}, dot);
    }
    if (within(area::kStocking, u, v)) return Colour{0.95, 0.94, 0.92};
    if (within(area::kShoe, u, v)) return Colour{0.45, 0.25, 0.16};
    return kSkinColour;
}

// The head's picture: u round the head (0.5 is the front), v from the top.
Colour faceAt(double u, double v, double&) {
    Colour c = kSkinColour;
    for (const double side : {1.0, -1.0}) {
        const double eyeU = 0.5 + 0.40 * side / (2.0 * kPi);
        const double eyeV = 0.5 + 0.11 / kPi;
        const double white = paint::inside(paint::ellipse(u, v, eyeU, eyeV, 0.030, 0.045), 0.004);
        const double iris = paint::inside(paint::ellipse(u, v, eyeU, eyeV + 0.004, 0.021, 0.036), 0.004);
        const double pupil = paint::inside(paint::ellipse(u, v, eyeU, eyeV + 0.008, 0.010, 0.018), 0.004);
        const double shine = paint::inside(paint::ellipse(u, v, eyeU + 0.008 * side, eyeV - 0.014, 0.006, 0.008), 0.003);
        const double lash = paint::inside(std::fabs(paint::ellipse(u, v, eyeU, eyeV, 0.032, 0.047)) - 0.003, 0.003) * (v < eyeV ? 1.0 : 0.3);
        c = paint::mix(c, Colour{0.99, 0.99, 0.98}, white);
        c = paint::mix(c, paint::mix(Colour{0.35, 0.55, 0.30}, Colour{0.15, 0.30, 0.16}, (eyeV + 0.03 - v) / 0.06), iris);
        c = paint::mix(c, Colour{0.08, 0.10, 0.08}, pupil);
        c = paint::mix(c, Colour{1.0, 1.0, 1.0}, shine);
        c = paint::mix(c, Colour{0.22, 0.13, 0.10}, lash);
        const double blush = paint::inside(paint::ellipse(u, v, 0.5 + 0.55 * side / (2.0 * kPi), 0.5 + 0.25 / kPi, 0.028, 0.014), 0.012);
        c = paint::mix(c, Colour{0.98, 0.62, 0.60}, blush * 0.6);
    }
    const double mouth = paint::inside(paint::ellipse(u, v, 0.5, 0.5 + 0.34 / kPi, 0.012, 0.005), 0.003);
    return paint::mix(c, Colour{0.75, 0.32, 0.30}, mouth);
}

// The hair shell (top half) with the face left open, and the tails (below).
Colour hairAt(double u, double v, double& alpha) {
    const double strand = 0.9 + 0.1 * std::sin(u * 2.0 * kPi * 24.0);
    if (v < 0.5) {
        const double front = std::fabs(u - 0.5) * 2.0 * kPi;  // angle from the front
        const double latitude = (0.5 - v * 2.0) * kPi;        // the shell's v runs over 0 .. 0.5
        const double open = front < 1.15 && latitude < 0.35 + 0.25 * (front / 1.15) * (front / 1.15);
        alpha = open ? 0.0 : 1.0;
    }
    return paint::scaled(kHairColour, strand);
}

// The fringe's strands taper to feathered tips.
Colour fringeAt(double u, double v, double& alpha) {
    const double strand = std::fabs(std::sin(u * kPi * 9.0));
    const double length = 0.55 + 0.4 * strand;
    alpha = std::clamp((length - v) / 0.25, 0.0, 1.0);
    return paint::scaled(kHairColour, 0.92 + 0.08 * strand);
}

// Scallops cut into the hem; a white band above them.
Colour skirtAt(double u, double v, double& alpha) {
    const double scallop = 0.86 + 0.10 * std::fabs(std::sin(u * kPi * 16.0));
    alpha = v < scallop ? 1.0 : 0.0;
    const double band = paint::inside(std::fabs(v - (scallop - 0.08)) - 0.025, 0.01);
    return paint::mix(Colour{0.30, 0.45, 0.78}, Colour{0.96, 0.96, 0.94}, band);
}

std::vector<AvatarPicture> paintPictures() {
    const auto png = [](const std::function<Colour(double, double, double&)>& at, int32_t size) {
        return encodePng(size, size, paintRgba(size, at));
    };
    return {
        {"Body", "image/jpeg", encodeJpeg(256, 256, paintRgba(256, bodyAt), 90)},
        {"Face", "image/png", png(faceAt, 512)},
        {"Hair", "image/png", png(hairAt, 256)},
        {"Fringe", "image/png", png(fringeAt, 128)},
        {"Skirt", "image/png", png(skirtAt, 256)},
    };
}

}  // namespace

AvatarModel buildAvatar() {
    AvatarModel model;
    model.joints = buildRig();
    model.meshes = {buildBody(model.joints), buildSkirt(model.joints), buildFace(model.joints), buildHair(model.joints),
                    buildFringe(model.joints)};
    model.pictures = paintPictures();
    model.springChains = {{kLeftTail1, kLeftTail2, kLeftTail3, kLeftTailEnd}, {kRightTail1, kRightTail2, kRightTail3, kRightTailEnd}};
    return model;
}

}  // namespace tavo::chara::avatar
