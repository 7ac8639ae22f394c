#include "part_builder.h"

#include <utility>

namespace tavo::chara {

MaterialDesign colourMaterial(const char* name, float r, float g, float b) {
    MaterialDesign m;
    m.name = name;
    m.color[0] = r;
    m.color[1] = g;
    m.color[2] = b;
    return m;
}

TubeStyle PartBuilder::textured(const UvRect& area, int32_t segments, float phase) const {
    TubeStyle style;
    style.segments = segments;
    style.phase = phase;
    style.material = model_.materialIndex(texturedMaterial_);
    style.uv = area;
    style.textured = true;
    return style;
}

TubeStyle PartBuilder::plain(const char* material, int32_t segments) const {
    TubeStyle style;
    style.segments = segments;
    style.material = model_.materialIndex(material);
    return style;
}

Mesh& PartBuilder::part(const std::string& name) {
    parts_.emplace_back();
    parts_.back().name = name;
    return parts_.back();
}

void PartBuilder::add(Mesh mesh) { parts_.push_back(std::move(mesh)); }

void PartBuilder::finish() {
    for (Mesh& mesh : parts_) {
        model_.meshes.push_back(std::move(mesh));
    }
    parts_.clear();
}

void addSkinnedPart(PartBuilder& builder, const SkinnedPart& part) {
    Mesh& mesh = builder.part(std::string("sdef:") + part.name);
    const std::vector<Vec3> path = smoothPath(part.controls, 4);
    const std::vector<Ring> rings =
        ringsAlong(path, radiiAlong(path.size(), part.width),
                   radiiAlong(path.size(), part.thickness), part.reference);
    const Vec3 first = (path[1] - path[0]).normalized();
    const Vec3 last = (path.back() - path[path.size() - 2]).normalized();
    const TubeStyle style = builder.textured(part.area, part.segments);
    addTube(mesh, rings, style, path.front() - first * part.capStart, path.back() + last * part.capEnd);
}

std::vector<Vec3> jointPath(const Rig& rig, std::initializer_list<int32_t> joints, float startBack,
                            float endAhead) {
    std::vector<Vec3> points;
    for (int32_t joint : joints) {
        points.push_back(rig.points()[joint]);
    }
    const Vec3 first = (points[1] - points[0]).normalized();
    const Vec3 last = (points.back() - points[points.size() - 2]).normalized();
    points.front() = points.front() - first * startBack;
    points.back() = points.back() + last * endAhead;
    return points;
}

void addAnchorBox(Mesh& mesh, const Vec3& head, const Vec3& tip, const Vec3& reference,
                  float backward, float forward, float halfX, float halfY, int32_t material) {
    const Vec3 direction = (tip - head).normalized();
    const Vec3 y = (reference - direction * reference.dot(direction)).normalized();
    const Vec3 x = y.cross(direction);
    const Vec3 from = head - direction * backward;
    const Vec3 to = tip + direction * forward;
    addBox(mesh, (from + to) * 0.5f, x * halfX, y * halfY, (to - from) * 0.5f, material);
}

}  // namespace tavo::chara
