#include "text_report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "cp932_to_utf8.h"
#include "model/model.h"
#include "resources/texture_manager.h"
#include "skeleton/skeleton.h"

namespace tavo::inspect {
namespace {

// MinGW's printf checking follows the old msvcrt unless told that the C99
// printf is in use (it is: see the tool's CMakeLists.txt).
#if defined(__MINGW32__)
void appendf(std::string& out, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
#else
void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
#endif

void appendf(std::string& out, const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    out += line;
}

void materialsSection(std::string& out, const Model& model, const NameText& utf8) {
    appendf(out, "Materials (%zu):\n", model.materials.size());
    for (std::size_t i = 0; i < model.materials.size(); ++i) {
        const Material& m = model.materials[i];
        appendf(out, "  [%zu] \"%s\" colour (%.3g, %.3g, %.3g, %.3g)", i, utf8(m.name).c_str(),
                m.color[0], m.color[1], m.color[2], m.color[3]);
        if (!m.textureName.empty()) {
            appendf(out, " texture \"%s\" -> %d", utf8(m.textureName).c_str(), m.textureIndex);
        }
        out += '\n';
    }
}

void texturesSection(std::string& out, const TextureManager& textures, const NameText& utf8) {
    appendf(out, "Textures (%d):\n", textures.textureCount());
    for (int32_t i = 0; i < textures.textureCount(); ++i) {
        const Texture* texture = textures.texture(i);
        appendf(out, "  [%d] \"%s\" %d x %d\n", i, utf8(textures.name(i)).c_str(),
                texture != nullptr ? texture->imageWidth : 0, texture != nullptr ? texture->imageHeight : 0);
    }
}

template <typename Group>
std::size_t countItems(const std::vector<Group>& groups) {
    std::size_t count = 0;
    for (const Group& group : groups) {
        count += group.size();
    }
    return count;
}

void objectsSection(std::string& out, const Model& model, const NameText& utf8) {
    appendf(out, "Objects (%zu):\n", model.objects.size());
    for (std::size_t i = 0; i < model.objects.size(); ++i) {
        const ModelObject& o = model.objects[i];
        appendf(out,
                "  [%zu] \"%s\" visible %d: %zu vertices, %zu faces, %zu triangles in %zu groups, "
                "%zu lines\n",
                i, utf8(o.name).c_str(), o.visible, o.vertices.size(), o.faces.size(),
                countItems(o.triangleGroups), o.triangleGroups.size(), countItems(o.lineGroups));
    }
}

constexpr int32_t kMaxIndent = 32;

void boneLine(std::string& out, const Model& model, const Skeleton& skeleton, int32_t index,
              int32_t depth, const NameText& utf8) {
    const Bone& bone = skeleton.bones[index];
    out.append(static_cast<std::size_t>(2 + 2 * std::min(depth, kMaxIndent)), ' ');
    if (depth > kMaxIndent) {
        appendf(out, "(depth %d) ", depth);
    }
    if (bone.isLink()) {
        appendf(out, "link [%d]\n", index);
        return;
    }
    appendf(out, "\"%s\" [%d]", utf8(bone.name).c_str(), index);
    const char* separator = "  rigid: ";
    for (int32_t object : bone.rigidObjects) {
        appendf(out, "%s\"%s\"", separator, utf8(model.objects[object].name).c_str());
        separator = ", ";
    }
    out += '\n';
}

// Depth first from a root, children in order; links are shown but not
// descended into. An explicit stack keeps deep chains off the call stack.
void boneTree(std::string& out, const Model& model, const Skeleton& skeleton, int32_t root,
              const NameText& utf8) {
    struct Visit {
        int32_t bone;
        int32_t depth;
    };
    std::vector<Visit> stack{{root, 0}};
    while (!stack.empty()) {
        const Visit visit = stack.back();
        stack.pop_back();
        boneLine(out, model, skeleton, visit.bone, visit.depth, utf8);
        const Bone& bone = skeleton.bones[visit.bone];
        if (bone.isLink()) {
            continue;
        }
        for (auto child = bone.children.rbegin(); child != bone.children.rend(); ++child) {
            stack.push_back({*child, visit.depth + 1});
        }
    }
}

void skeletonSection(std::string& out, const Model& model, const Skeleton* skeleton,
                     const NameText& utf8) {
    if (skeleton == nullptr) {
        out += "Bones: none (no object named \"bone...\")\n";
        return;
    }
    appendf(out, "Bones (%d records, %zu roots):\n", skeleton->boneCount(),
            skeleton->rootBones.size());
    for (int32_t root : skeleton->rootBones) {
        boneTree(out, model, *skeleton, root, utf8);
    }
}

void skinSection(std::string& out, const Model& model, const std::vector<SkinSummary>& skin,
                 const NameText& utf8) {
    appendf(out, "Skinned objects (%zu):\n", skin.size());
    for (const SkinSummary& s : skin) {
        appendf(out, "  \"%s\": vertices with 0 influences: %d, with 1: %d, with 2 or more: %d\n",
                utf8(model.objects[s.object].name).c_str(), s.withoutInfluence, s.withOne,
                s.withSeveral);
        for (const PieceSummary& piece : s.pieces) {
            if (piece.bone >= 0) {
                appendf(out, "    piece \"%s\" -> bone %d\n", utf8(piece.name).c_str(), piece.bone);
            } else {
                appendf(out, "    piece \"%s\" -> no bone\n", utf8(piece.name).c_str());
            }
        }
    }
}

void motionsSection(std::string& out, const Skeleton* skeleton, const NameText& utf8) {
    const int32_t count = skeleton != nullptr ? skeleton->motionCount() : 0;
    appendf(out, "Motions (%d):\n", count);
    for (int32_t i = 0; i < count; ++i) {
        const Motion& m = skeleton->motions[i];
        appendf(out, "  [%d] \"%s\" end frame %d, loop %d\n", i, utf8(m.name).c_str(), m.endFrame,
                m.loop);
        for (const VectorTrack& t : m.vectorTracks) {
            appendf(out, "    position \"%s\": %d keys\n", utf8(t.name).c_str(), t.keyCount);
        }
        for (const QuaternionTrack& t : m.quaternionTracks) {
            appendf(out, "    rotation \"%s\" -> bone %d: %d keys\n", utf8(t.name).c_str(),
                    t.boneIndex, t.keyCount);
        }
    }
}

void poseSection(std::string& out, const Skeleton* skeleton, const PoseSnapshot& pose,
                 const NameText& utf8) {
    appendf(out, "Pose of motion %d at phase %.9g (frame %d):\n", pose.motion, pose.phase,
            pose.frame);
    for (std::size_t i = 0; i < pose.bones.size(); ++i) {
        const WorldTransform& w = pose.bones[i];
        const std::string name = skeleton != nullptr ? utf8(skeleton->bones[i].name) : "";
        appendf(out, "  [%zu] \"%s\" at (%.6g, %.6g, %.6g) turned (%.6g, %.6g, %.6g, %.6g)\n", i,
                name.c_str(), w.position.x, w.position.y, w.position.z, w.rotation.x,
                w.rotation.y, w.rotation.z, w.rotation.w);
    }
}

void problemsSection(std::string& out, const std::vector<std::string>& problems) {
    appendf(out, "Problems (%zu):\n", problems.size());
    for (const std::string& problem : problems) {
        out += "  - " + problem + "\n";
    }
}

}  // namespace

std::string textReport(const ReportInput& input) {
    std::string out;
    const Model& model = *input.model;
    const NameText utf8(model.nameEncoding);
    materialsSection(out, model, utf8);
    texturesSection(out, *input.textures, utf8);
    objectsSection(out, model, utf8);
    skeletonSection(out, model, input.skeleton, utf8);
    skinSection(out, model, input.skin, utf8);
    motionsSection(out, input.skeleton, utf8);
    if (input.pose != nullptr) {
        poseSection(out, input.skeleton, *input.pose, utf8);
    }
    problemsSection(out, input.problems);
    return out;
}

}  // namespace tavo::inspect
