#include "formats/gltf/gltf_character.h"

#include <algorithm>
#include <cmath>

#include "formats/gltf/gltf_accessors.h"
#include "formats/gltf/json_lookup.h"
#include "formats/gltf/gltf_validation.h"
#include "formats/gltf/vrm_parts.h"
#include "resources/texture_manager.h"

namespace tavo {

namespace {

using Json = nlohmann::json;
using GltfModel = tinygltf::Model;

std::string at(const char* array, size_t index) { return std::string(array) + "[" + std::to_string(index) + "]"; }

float numberOr(const Json& value, float otherwise) { return value.is_number() ? value.get<float>() : otherwise; }

// The rotation of an orthonormal 3 x 3 matrix (columns of m, column-major 4 x 4).
Quaternion rotationOf(const float* c0, const float* c1, const float* c2) {
    const float trace = c0[0] + c1[1] + c2[2];
    Quaternion q;
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f) * 2.0f;
        q = {(c1[2] - c2[1]) / s, (c2[0] - c0[2]) / s, (c0[1] - c1[0]) / s, 0.25f * s};
    } else if (c0[0] > c1[1] && c0[0] > c2[2]) {
        const float s = std::sqrt(1.0f + c0[0] - c1[1] - c2[2]) * 2.0f;
        q = {0.25f * s, (c1[0] + c0[1]) / s, (c2[0] + c0[2]) / s, (c1[2] - c2[1]) / s};
    } else if (c1[1] > c2[2]) {
        const float s = std::sqrt(1.0f + c1[1] - c0[0] - c2[2]) * 2.0f;
        q = {(c1[0] + c0[1]) / s, 0.25f * s, (c2[1] + c1[2]) / s, (c2[0] - c0[2]) / s};
    } else {
        const float s = std::sqrt(1.0f + c2[2] - c0[0] - c1[1]) * 2.0f;
        q = {(c2[0] + c0[2]) / s, (c2[1] + c1[2]) / s, 0.25f * s, (c0[1] - c1[0]) / s};
    }
    const float norm = std::sqrt(q.dot(q));
    return norm > 0.0f && std::isfinite(norm) ? q.scale(1.0f / norm) : Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
}

// A node's matrix as translation, rotation and scale (a mirroring matrix
// keeps its mirror in the scale; shear is lost).
JointTransform decompose(const std::vector<double>& matrix, float scale) {
    float m[16];
    for (int i = 0; i < 16; ++i) m[i] = static_cast<float>(matrix[static_cast<size_t>(i)]);
    JointTransform transform;
    transform.translation = Vec3(m[12], m[13], m[14]) * scale;
    float lengths[3];
    float columns[3][3];
    for (int c = 0; c < 3; ++c) {
        lengths[c] = std::sqrt(m[c * 4] * m[c * 4] + m[c * 4 + 1] * m[c * 4 + 1] + m[c * 4 + 2] * m[c * 4 + 2]);
        for (int r = 0; r < 3; ++r) columns[c][r] = lengths[c] > 0.0f ? m[c * 4 + r] / lengths[c] : (r == c ? 1.0f : 0.0f);
    }
    const Vec3 x(columns[0][0], columns[0][1], columns[0][2]);
    const Vec3 y(columns[1][0], columns[1][1], columns[1][2]);
    const Vec3 z(columns[2][0], columns[2][1], columns[2][2]);
    if (x.cross(y).dot(z) < 0.0f) {
        lengths[2] = -lengths[2];
        for (float& value : columns[2]) value = -value;
    }
    transform.rotation = rotationOf(columns[0], columns[1], columns[2]);
    transform.scale = Vec3(lengths[0], lengths[1], lengths[2]);
    return transform;
}

JointTransform nodeTransform(const tinygltf::Node& node, float scale) {
    if (node.matrix.size() == 16) return decompose(node.matrix, scale);
    JointTransform transform;
    if (node.translation.size() == 3) {
        transform.translation = Vec3(static_cast<float>(node.translation[0]), static_cast<float>(node.translation[1]),
                                     static_cast<float>(node.translation[2])) * scale;
    }
    if (node.rotation.size() == 4) {
        Quaternion q(static_cast<float>(node.rotation[0]), static_cast<float>(node.rotation[1]),
                     static_cast<float>(node.rotation[2]), static_cast<float>(node.rotation[3]));
        const float norm = std::sqrt(q.dot(q));
        transform.rotation = norm > 0.0f && std::isfinite(norm) ? q.scale(1.0f / norm) : Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
    }
    if (node.scale.size() == 3) {
        transform.scale = Vec3(static_cast<float>(node.scale[0]), static_cast<float>(node.scale[1]), static_cast<float>(node.scale[2]));
    }
    return transform;
}

// An inverse bind matrix, kept in rigid form when it is a rotation and a
// translation (as most avatars' are).
InverseBind inverseBindOf(const float* m, float scale) {
    InverseBind bind;
    for (int i = 0; i < 16; ++i) bind.matrix.m[i] = m[i];
    bind.matrix.m[12] *= scale;
    bind.matrix.m[13] *= scale;
    bind.matrix.m[14] *= scale;
    const Vec3 x(m[0], m[1], m[2]);
    const Vec3 y(m[4], m[5], m[6]);
    const Vec3 z(m[8], m[9], m[10]);
    const float tolerance = 1e-4f;
    const bool orthonormal = std::fabs(x.dot(x) - 1.0f) < tolerance && std::fabs(y.dot(y) - 1.0f) < tolerance &&
                             std::fabs(z.dot(z) - 1.0f) < tolerance && std::fabs(x.dot(y)) < tolerance &&
                             std::fabs(x.dot(z)) < tolerance && std::fabs(y.dot(z)) < tolerance &&
                             x.cross(y).dot(z) > 0.0f && m[3] == 0.0f && m[7] == 0.0f && m[11] == 0.0f && m[15] == 1.0f;
    bind.rigid = orthonormal;
    if (orthonormal) {
        // v' = A v + b = A (v - origin) with origin = -A^T b.
        bind.rotation = rotationOf(m, m + 4, m + 8);
        const Vec3 b(bind.matrix.m[12], bind.matrix.m[13], bind.matrix.m[14]);
        bind.origin = Vec3(-(x.dot(b)), -(y.dot(b)), -(z.dot(b)));
    }
    return bind;
}

int32_t wrapModeOf(int wrap) { return wrap == TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE ? 1 : 0; }

class Builder {
public:
    Builder(const GltfFile& file, float scale, TextureManager& textures, CharacterData& data, GltfReport& report,
            LoadError& error)
        : file_(file), gltf_(file.model), scale_(scale), textures_(textures), data_(data), report_(report), error_(error) {}

    bool build() {
        report_.avatar = readVrmAvatar(file_.json, gltf_.nodes.size(), gltf_.textures.size());
        noteExtensions();
        textureEntries_.assign(gltf_.textures.size(), -2);
        buildMaterials();
        buildRig();
        nodeObjects_.assign(gltf_.nodes.size(), {});
        for (int root : sceneRoots()) {
            if (!buildNodeMeshes(root)) return false;
        }
        if (!buildClips()) return false;
        readAvatarParts();
        finishRig();
        finishModel();
        countReport();
        return true;
    }

private:
    bool fail(std::string element, std::string reason) {
        error_ = loadError(file_.path, std::move(reason));
        error_.element = std::move(element);
        return false;
    }

    void noteExtensions() {
        for (const std::string& name : gltf_.extensionsUsed) {
            if (!isKnownGltfExtension(name) && name.compare(0, 3, "VRM") != 0) {
                report_.problems.push_back("extensionsUsed: " + name + " is not read");
            }
        }
    }

    std::vector<int> sceneRoots() const {
        const int scene = gltf_.defaultScene >= 0 ? gltf_.defaultScene : 0;
        if (!gltf_.scenes.empty()) return gltf_.scenes[static_cast<size_t>(scene)].nodes;
        std::vector<bool> child(gltf_.nodes.size(), false);
        for (const tinygltf::Node& node : gltf_.nodes) {
            for (int c : node.children) child[static_cast<size_t>(c)] = true;
        }
        std::vector<int> roots;
        for (size_t n = 0; n < gltf_.nodes.size(); ++n) {
            if (!child[n]) roots.push_back(static_cast<int>(n));
        }
        return roots;
    }

    // --- Materials and textures ---------------------------------------------

    int32_t textureEntry(int texture, const char* where) {
        if (texture < 0 || static_cast<size_t>(texture) >= textureEntries_.size()) return -1;
        int32_t& entry = textureEntries_[static_cast<size_t>(texture)];
        if (entry != -2) return entry;
        entry = -1;
        const tinygltf::Texture& source = gltf_.textures[static_cast<size_t>(texture)];
        if (source.source < 0) return entry;
        const tinygltf::Image& image = gltf_.images[static_cast<size_t>(source.source)];
        int32_t wrap = 0;
        int32_t filter = 1;
        if (source.sampler >= 0) {
            const tinygltf::Sampler& sampler = gltf_.samplers[static_cast<size_t>(source.sampler)];
            wrap = wrapModeOf(sampler.wrapS);
            filter = sampler.magFilter == TINYGLTF_TEXTURE_FILTER_NEAREST ? 0 : 1;
        }
        const std::string name = at("images", static_cast<size_t>(source.source));
        if (!image.image.empty()) {
            entry = textures_.createTextureFromBytes(name.c_str(), image.image.data(), image.image.size(), wrap, filter);
        } else if (!image.uri.empty()) {
            std::string path, reason;
            if (relativeUriPath(image.uri, path, reason)) entry = textures_.createTexture(path.c_str(), wrap, filter, false);
        }
        const TextureFailure* failure = textures_.failureFor(image.image.empty() ? image.uri : name);
        if (entry < 0 && failure != nullptr) report_.problems.push_back(std::string(where) + ": " + failure->message());
        const Texture* made = entry >= 0 ? textures_.texture(entry) : nullptr;
        if (made != nullptr && made->imageWidth > kGltfLargestTextureSide) {
            report_.problems.push_back(name + ": " + std::to_string(made->imageWidth) + " x " +
                                       std::to_string(made->imageHeight) + " scaled down to " + std::to_string(made->width) +
                                       " x " + std::to_string(made->height));
        }
        return entry;
    }

    void buildMaterials() {
        const size_t count = gltf_.materials.size();
        data_.model.materials.resize(count + 1);  // the last one for primitives without a material
        for (size_t m = 0; m < count; ++m) {
            const tinygltf::Material& source = gltf_.materials[m];
            const VrmMaterial& vrm = report_.avatar.materials[m];
            Material& material = data_.model.materials[m];
            material.name = source.name;
            const std::vector<double>& factor = source.pbrMetallicRoughness.baseColorFactor;
            for (size_t c = 0; c < 4; ++c) material.color[c] = static_cast<float>(factor[c]);
            int texture = source.pbrMetallicRoughness.baseColorTexture.index;
            material.alphaMode = source.alphaMode == "MASK" ? AlphaMode::Mask
                                 : source.alphaMode == "BLEND" ? AlphaMode::Blend
                                                               : AlphaMode::Opaque;
            material.alphaCutoff = static_cast<float>(source.alphaCutoff);
            material.doubleSided = source.doubleSided;
            material.unlit = source.extensions.count("KHR_materials_unlit") != 0 || vrm.toon;
            applyVrm0Settings(vrm, material, texture);
            material.textureIndex = textureEntry(texture, (at("materials", m) + ".baseColorTexture").c_str());
            material.diffuse = 0.75f;
            material.emissive = 0.4f;
            for (int c = 0; c < 3; ++c) material.diffuseColor[c] = material.color[c];
        }
        Material& plain = data_.model.materials[count];
        plain.name = "default";
        for (float& c : plain.color) c = 1.0f;
        plain.diffuse = 0.75f;
        plain.emissive = 0.4f;
    }

    static void applyVrm0Settings(const VrmMaterial& vrm, Material& material, int& texture) {
        if (vrm.hasColor) std::copy(vrm.color, vrm.color + 4, material.color);
        if (vrm.mainTexture >= 0) texture = vrm.mainTexture;
        if (vrm.blendMode == 0) material.alphaMode = AlphaMode::Opaque;
        if (vrm.blendMode == 1) {
            material.alphaMode = AlphaMode::Mask;
            material.alphaCutoff = vrm.cutoff;
        }
        if (vrm.blendMode == 2 || vrm.blendMode == 3) material.alphaMode = AlphaMode::Blend;
        if (vrm.cullMode == 0) material.doubleSided = true;
        if (vrm.cullMode > 0) material.doubleSided = false;
    }

    // The UV transform of a material's base colour texture, and the set it reads.
    struct UvTransform {
        float offset[2] = {0.0f, 0.0f};
        float rotation = 0.0f;
        float scale[2] = {1.0f, 1.0f};
        int texCoord = 0;
        bool identity = true;
    };

    UvTransform uvTransformOf(int material) const {
        UvTransform transform;
        if (material < 0) return transform;
        const Json& info = jsonMember(jsonMember(jsonItem(jsonMember(file_.json, "materials"), static_cast<size_t>(material)), "pbrMetallicRoughness"),
                                  "baseColorTexture");
        transform.texCoord = jsonMember(info, "texCoord").is_number_integer() ? jsonMember(info, "texCoord").get<int>() : 0;
        const Json& ext = jsonMember(jsonMember(info, "extensions"), "KHR_texture_transform");
        if (!ext.is_object()) return transform;
        transform.identity = false;
        transform.offset[0] = numberOr(jsonItem(jsonMember(ext, "offset"), 0), 0.0f);
        transform.offset[1] = numberOr(jsonItem(jsonMember(ext, "offset"), 1), 0.0f);
        transform.rotation = numberOr(jsonMember(ext, "rotation"), 0.0f);
        transform.scale[0] = numberOr(jsonItem(jsonMember(ext, "scale"), 0), 1.0f);
        transform.scale[1] = numberOr(jsonItem(jsonMember(ext, "scale"), 1), 1.0f);
        if (jsonMember(ext, "texCoord").is_number_integer()) transform.texCoord = jsonMember(ext, "texCoord").get<int>();
        return transform;
    }

    void readAvatarParts() {
        GltfNodeMap map;
        map.nodeObjects = nodeObjects_;
        for (const tinygltf::Node& node : gltf_.nodes) map.nodeMesh.push_back(node.mesh);
        readVrmParts(file_.json, report_.avatar, map, scale_, data_, report_.problems);
    }

    // --- Rig -----------------------------------------------------------------

    void buildRig() {
        Rig& rig = data_.rig;
        const size_t count = gltf_.nodes.size();
        const bool turned = report_.avatar.flavour == GltfFlavour::Vrm0;
        rig.joints.resize(count + (turned ? 1 : 0));
        for (size_t n = 0; n < count; ++n) {
            const tinygltf::Node& node = gltf_.nodes[n];
            Joint& joint = rig.joints[n];
            joint.name = node.name;
            joint.rest = nodeTransform(node, scale_);
            joint.children.assign(node.children.begin(), node.children.end());
            for (int child : node.children) rig.joints[static_cast<size_t>(child)].parent = static_cast<int32_t>(n);
        }
        const std::vector<int> roots = sceneRoots();
        if (turned) {
            // VRM 0.x avatars face -Z: half a turn about Y brings them round.
            Joint& facing = rig.joints[count];
            facing.name = "(facing)";
            facing.rest.rotation = Quaternion(0.0f, 1.0f, 0.0f, 0.0f);
            facing.children.assign(roots.begin(), roots.end());
            for (int root : roots) rig.joints[static_cast<size_t>(root)].parent = static_cast<int32_t>(count);
            rig.roots = {static_cast<int32_t>(count)};
        } else {
            rig.roots.assign(roots.begin(), roots.end());
        }
        skinBound_.assign(count, false);
    }

    bool bindSkin(int skinIndex) {
        const tinygltf::Skin& skin = gltf_.skins[static_cast<size_t>(skinIndex)];
        std::vector<float> matrices;
        int32_t components = 0;
        std::string reason;
        if (skin.inverseBindMatrices >= 0 && !readAccessorFloats(gltf_, skin.inverseBindMatrices, matrices, components, reason)) {
            return fail(at("skins", static_cast<size_t>(skinIndex)) + ".inverseBindMatrices", reason);
        }
        static const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        for (size_t j = 0; j < skin.joints.size(); ++j) {
            const size_t node = static_cast<size_t>(skin.joints[j]);
            const float* m = matrices.empty() ? kIdentity : &matrices[j * 16];
            const InverseBind bind = inverseBindOf(m, scale_);
            if (skinBound_[node]) {
                if (!std::equal(bind.matrix.m, bind.matrix.m + 16, data_.rig.joints[node].inverseBind.matrix.m)) {
                    report_.problems.push_back(at("skins", static_cast<size_t>(skinIndex)) + ": node " + std::to_string(node) +
                                               " is bound differently by another skin; the first binding is used");
                }
                continue;
            }
            data_.rig.joints[node].inverseBind = bind;
            skinBound_[node] = true;
        }
        return true;
    }

    void finishRig() {
        Rig& rig = data_.rig;
        bool rigid = true;
        for (const Joint& joint : rig.joints) rigid = rigid && joint.rest.hasUnitScale() && joint.inverseBind.rigid;
        for (const Clip& clip : data_.clips) {
            for (const Channel& channel : clip.channels) rigid = rigid && channel.target != ChannelTarget::Scale;
        }
        rig.rigid = rigid;
    }

    // --- Meshes ---------------------------------------------------------------

    bool buildNodeMeshes(int root) {
        std::vector<int> pending{root};
        while (!pending.empty()) {
            const int n = pending.back();
            pending.pop_back();
            const tinygltf::Node& node = gltf_.nodes[static_cast<size_t>(n)];
            if (node.skin >= 0 && !bindSkin(node.skin)) return false;
            if (node.mesh >= 0 && !buildMesh(n, node)) return false;
            pending.insert(pending.end(), node.children.begin(), node.children.end());
        }
        return true;
    }

    bool buildMesh(int nodeIndex, const tinygltf::Node& node) {
        const tinygltf::Mesh& mesh = gltf_.meshes[static_cast<size_t>(node.mesh)];
        for (size_t p = 0; p < mesh.primitives.size(); ++p) {
            const std::string element = at("meshes", static_cast<size_t>(node.mesh)) + "." + at("primitives", p);
            const tinygltf::Primitive& primitive = mesh.primitives[p];
            const int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
            if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP && mode != TINYGLTF_MODE_TRIANGLE_FAN) {
                report_.problems.push_back(element + ": " + (mode == TINYGLTF_MODE_POINTS ? "points" : "lines") + " are not drawn");
                continue;
            }
            if (primitive.attributes.count("POSITION") == 0) {
                report_.problems.push_back(element + ": no POSITION, not drawn");
                continue;
            }
            ModelObject object;
            object.name = mesh.name.empty() ? element : mesh.name;
            object.visible = 1;
            if (!readVertices(primitive, element, object) || !readTriangles(primitive, mode, element, object)) return false;
            if (!readMorphTargets(mesh, static_cast<size_t>(node.mesh), primitive, element, object)) return false;
            const bool skinned = node.skin >= 0 && primitive.attributes.count("JOINTS_0") != 0;
            if (skinned && !readInfluences(node, primitive, element, object)) return false;
            if (!skinned && !object.morphTargets.empty()) followNode(nodeIndex, object);
            keepUsedVertices(object);
            const int32_t index = static_cast<int32_t>(data_.model.objects.size());
            data_.model.objects.push_back(std::move(object));
            nodeObjects_[static_cast<size_t>(nodeIndex)].push_back(index);
            if (!data_.model.objects.back().vertexInfluences.empty()) {
                data_.model.skinnedObjects.push_back(index);
            } else {
                data_.rig.joints[static_cast<size_t>(nodeIndex)].rigidObjects.push_back(index);
            }
        }
        return true;
    }

    bool readAttribute(const tinygltf::Primitive& primitive, const char* name, const std::string& element,
                       std::vector<float>& out, int32_t& components) {
        out.clear();
        components = 0;
        const auto found = primitive.attributes.find(name);
        if (found == primitive.attributes.end()) return true;
        std::string reason;
        if (!readAccessorFloats(gltf_, found->second, out, components, reason)) {
            return fail(element + ".attributes." + name, reason);
        }
        return true;
    }

    bool readVertices(const tinygltf::Primitive& primitive, const std::string& element, ModelObject& object) {
        int32_t components = 0;
        if (!readAttribute(primitive, "POSITION", element, floats_, components)) return false;
        if (components != 3) return fail(element + ".attributes.POSITION", "is not a list of 3D positions");
        const size_t count = floats_.size() / 3;
        object.vertices.resize(count);
        for (size_t v = 0; v < count; ++v) {
            object.vertices[v] = Vec3(floats_[v * 3], floats_[v * 3 + 1], floats_[v * 3 + 2]) * scale_;
        }
        if (!readAttribute(primitive, "NORMAL", element, floats_, components)) return false;
        if (components == 3) {
            // The renderer's normals point the way its clockwise faces give
            // them: into the surface, against glTF's.
            object.normals.resize(count);
            for (size_t v = 0; v < count; ++v) {
                object.normals[v] = Vec3(-floats_[v * 3], -floats_[v * 3 + 1], -floats_[v * 3 + 2]).normalized();
            }
        }
        if (!readAttribute(primitive, "COLOR_0", element, floats_, components)) return false;
        if (components == 3 || components == 4) {
            object.vertexColors.resize(count * 4);
            for (size_t v = 0; v < count; ++v) {
                for (int32_t c = 0; c < 4; ++c) {
                    object.vertexColors[v * 4 + static_cast<size_t>(c)] = c < components ? floats_[v * static_cast<size_t>(components) + static_cast<size_t>(c)] : 1.0f;
                }
            }
        }
        return true;
    }

    UvPair uvAt(size_t vertex, const UvTransform& transform) const {
        if (uvs_.size() < (vertex + 1) * 2) return UvPair();
        const float u = uvs_[vertex * 2];
        const float v = uvs_[vertex * 2 + 1];
        if (transform.identity) return {u, v};
        const float c = std::cos(transform.rotation);
        const float s = std::sin(transform.rotation);
        const float su = u * transform.scale[0];
        const float sv = v * transform.scale[1];
        return {transform.offset[0] + c * su + s * sv, transform.offset[1] - s * su + c * sv};
    }

    bool readTriangles(const tinygltf::Primitive& primitive, int mode, const std::string& element, ModelObject& object) {
        const size_t count = object.vertices.size();
        if (primitive.indices >= 0) {
            int32_t components = 0;
            std::string reason;
            if (!readAccessorIntegers(gltf_, primitive.indices, indices_, components, reason)) return fail(element + ".indices", reason);
            for (const uint32_t index : indices_) {
                if (index >= count) {
                    return fail(element + ".indices", "index " + std::to_string(index) + " lies past the vertex count " + std::to_string(count));
                }
            }
        } else {
            indices_.resize(count);
            for (size_t i = 0; i < count; ++i) indices_[i] = static_cast<uint32_t>(i);
        }
        const int32_t materialIndex = primitive.material >= 0 ? primitive.material : static_cast<int32_t>(gltf_.materials.size());
        const UvTransform transform = uvTransformOf(primitive.material);
        int32_t components = 0;
        if (!readAttribute(primitive, ("TEXCOORD_" + std::to_string(transform.texCoord)).c_str(), element, uvs_, components)) return false;
        const bool hasUv = components == 2;
        if (!hasUv) uvs_.clear();
        TriangleGroup group;
        const auto add = [&](uint32_t a, uint32_t b, uint32_t c) {
            if (a == b || b == c || a == c) return;
            // Counter-clockwise is the front in glTF; this renderer keeps
            // clockwise faces, so each triangle is turned round.
            Triangle triangle;
            triangle.material = materialIndex;
            const uint32_t corners[3] = {a, c, b};
            for (int k = 0; k < 3; ++k) {
                triangle.indices[k] = static_cast<int32_t>(corners[k]);
                triangle.uvs[k] = uvAt(corners[k], transform);
            }
            triangle.hasUV = hasUv;
            group.push_back(triangle);
        };
        if (mode == TINYGLTF_MODE_TRIANGLES) {
            for (size_t i = 0; i + 2 < indices_.size(); i += 3) add(indices_[i], indices_[i + 1], indices_[i + 2]);
        } else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
            for (size_t i = 0; i + 2 < indices_.size(); ++i) {
                if (i % 2 == 0) add(indices_[i], indices_[i + 1], indices_[i + 2]);
                else add(indices_[i + 1], indices_[i], indices_[i + 2]);
            }
        } else {
            for (size_t i = 1; i + 1 < indices_.size(); ++i) add(indices_[0], indices_[i], indices_[i + 1]);
        }
        if (!group.empty()) object.triangleGroups.push_back(std::move(group));
        return true;
    }

    bool readMorphTargets(const tinygltf::Mesh& mesh, size_t meshIndex, const tinygltf::Primitive& primitive,
                          const std::string& element, ModelObject& object) {
        const Json& names = jsonMember(jsonMember(jsonItem(jsonMember(file_.json, "meshes"), meshIndex), "extras"), "targetNames");
        for (size_t t = 0; t < primitive.targets.size(); ++t) {
            MorphTarget target;
            const Json& name = jsonItem(names, t);
            target.name = name.is_string() ? name.get<std::string>() : "target " + std::to_string(t);
            target.defaultWeight = t < mesh.weights.size() ? static_cast<float>(mesh.weights[t]) : 0.0f;
            std::vector<Vec3> deltas[2];  // positions, normals: one a vertex
            const char* attributes[2] = {"POSITION", "NORMAL"};
            for (size_t a = 0; a < 2; ++a) {
                const auto found = primitive.targets[t].find(attributes[a]);
                if (found == primitive.targets[t].end()) continue;
                int32_t components = 0;
                std::string reason;
                const std::string place = element + "." + at("targets", t) + "." + attributes[a];
                if (!readAccessorFloats(gltf_, found->second, floats_, components, reason)) return fail(place, reason);
                if (components != 3) return fail(place, "is not a list of 3D offsets");
                if (floats_.size() / 3 != object.vertices.size()) return fail(place, "does not have one offset a vertex");
                const float factor = a == 0 ? scale_ : -1.0f;  // normals turned as above
                deltas[a].resize(floats_.size() / 3);
                for (size_t v = 0; v < deltas[a].size(); ++v) {
                    deltas[a][v] = Vec3(floats_[v * 3], floats_[v * 3 + 1], floats_[v * 3 + 2]) * factor;
                }
            }
            keepMovedVertices(deltas[0], deltas[1], target);
            object.morphTargets.push_back(std::move(target));
        }
        return true;
    }

    // A target keeps the vertices it moves only: an avatar's expressions
    // each move a few hundred of its tens of thousands.
    static void keepMovedVertices(const std::vector<Vec3>& positions, const std::vector<Vec3>& normals, MorphTarget& target) {
        const Vec3 zero(0.0f, 0.0f, 0.0f);
        const auto moves = [](const Vec3& d) { return d.x != 0.0f || d.y != 0.0f || d.z != 0.0f; };
        const size_t count = std::max(positions.size(), normals.size());
        for (size_t v = 0; v < count; ++v) {
            const Vec3 position = v < positions.size() ? positions[v] : zero;
            const Vec3 normal = v < normals.size() ? normals[v] : zero;
            if (!moves(position) && !moves(normal)) continue;
            target.vertices.push_back(static_cast<uint32_t>(v));
            target.positionDeltas.push_back(position);
            if (!normals.empty()) target.normalDeltas.push_back(normal);
        }
        target.vertices.shrink_to_fit();
        target.positionDeltas.shrink_to_fit();
        target.normalDeltas.shrink_to_fit();
    }

    // Primitives often share one set of vertices (an avatar's face and its
    // eyes): each object keeps only those its triangles use, so that nothing
    // is skinned or morphed twice. Then the groups are laid out for drawing.
    static void keepUsedVertices(ModelObject& object) {
        const size_t count = object.vertices.size();
        std::vector<int32_t> remap(count, -1);
        int32_t used = 0;
        for (const TriangleGroup& group : object.triangleGroups) {
            for (const Triangle& triangle : group) {
                for (int32_t index : triangle.indices) {
                    if (remap[static_cast<size_t>(index)] < 0) remap[static_cast<size_t>(index)] = 0;
                }
            }
        }
        for (int32_t& slot : remap) slot = slot < 0 ? -1 : used++;
        if (static_cast<size_t>(used) < count) {
            for (TriangleGroup& group : object.triangleGroups) {
                for (Triangle& triangle : group) {
                    for (int32_t& index : triangle.indices) index = remap[static_cast<size_t>(index)];
                }
            }
            const auto compact = [&](auto& list, size_t width) {
                if (list.size() != count * width) return;
                size_t out = 0;
                for (size_t v = 0; v < count; ++v) {
                    if (remap[v] < 0) continue;
                    for (size_t k = 0; k < width; ++k) list[out++] = list[v * width + k];
                }
                list.resize(out);
            };
            compact(object.vertices, 1);
            compact(object.normals, 1);
            compact(object.vertexColors, 4);
            compact(object.vertexInfluences, 1);
            for (MorphTarget& target : object.morphTargets) renumber(target, remap);
        }
        object.indexedGroups.resize(object.triangleGroups.size());
        for (size_t g = 0; g < object.triangleGroups.size(); ++g) {
            indexTriangles(object.triangleGroups[g], object.vertices.size(), object.indexedGroups[g]);
        }
        if (object.normals.size() != object.vertices.size()) object.computeNormals();
    }

    // The target's vertices numbered as the compacted object numbers them;
    // those no triangle uses are dropped.
    static void renumber(MorphTarget& target, const std::vector<int32_t>& remap) {
        size_t out = 0;
        const bool withNormals = !target.normalDeltas.empty();
        for (size_t i = 0; i < target.vertices.size(); ++i) {
            const int32_t vertex = remap[target.vertices[i]];
            if (vertex < 0) continue;
            target.vertices[out] = static_cast<uint32_t>(vertex);
            target.positionDeltas[out] = target.positionDeltas[i];
            if (withNormals) target.normalDeltas[out] = target.normalDeltas[i];
            ++out;
        }
        target.vertices.resize(out);
        target.positionDeltas.resize(out);
        if (withNormals) target.normalDeltas.resize(out);
    }

    // Every vertex follows the node alone (an unskinned mesh with morph
    // targets, which only skinned objects take).
    void followNode(int nodeIndex, ModelObject& object) {
        object.vertexInfluences.assign(object.vertices.size(), VertexInfluence{{nodeIndex}, {1.0f}});
    }

    bool readInfluences(const tinygltf::Node& node, const tinygltf::Primitive& primitive, const std::string& element,
                        ModelObject& object) {
        const tinygltf::Skin& skin = gltf_.skins[static_cast<size_t>(node.skin)];
        const size_t count = object.vertices.size();
        object.vertexInfluences.assign(count, VertexInfluence());
        for (int set = 0; set < 2; ++set) {
            const std::string jointsName = "JOINTS_" + std::to_string(set);
            const std::string weightsName = "WEIGHTS_" + std::to_string(set);
            const auto joints = primitive.attributes.find(jointsName);
            const auto weights = primitive.attributes.find(weightsName);
            if (joints == primitive.attributes.end() || weights == primitive.attributes.end()) continue;
            int32_t jointComponents = 0;
            int32_t weightComponents = 0;
            std::string reason;
            if (!readAccessorIntegers(gltf_, joints->second, indices_, jointComponents, reason)) return fail(element + ".attributes." + jointsName, reason);
            if (!readAccessorFloats(gltf_, weights->second, floats_, weightComponents, reason)) return fail(element + ".attributes." + weightsName, reason);
            if (jointComponents != 4 || weightComponents != 4) return fail(element + ".attributes." + jointsName, "joints and weights are not 4 a vertex");
            for (size_t v = 0; v < count; ++v) {
                for (size_t k = 0; k < 4; ++k) {
                    const float weight = floats_[v * 4 + k];
                    if (!(weight > 0.0f)) continue;
                    const uint32_t joint = indices_[v * 4 + k];
                    if (joint >= skin.joints.size()) {
                        return fail(element + ".attributes." + jointsName,
                                    "joint " + std::to_string(joint) + " of vertex " + std::to_string(v) + " is past the skin's " +
                                        std::to_string(skin.joints.size()) + " joints");
                    }
                    object.vertexInfluences[v].boneIndices.push_back(skin.joints[joint]);
                    object.vertexInfluences[v].weights.push_back(weight);
                }
            }
        }
        // Weights add up to one; a vertex without any follows the mesh's node.
        const int32_t nodeJoint = static_cast<int32_t>(&node - gltf_.nodes.data());
        for (VertexInfluence& influence : object.vertexInfluences) {
            float sum = 0.0f;
            for (float w : influence.weights) sum += w;
            if (!(sum > 0.0f) || !std::isfinite(sum)) {
                influence = VertexInfluence{{nodeJoint}, {1.0f}};
                continue;
            }
            for (float& w : influence.weights) w /= sum;
        }
        return true;
    }

    // --- Clips ----------------------------------------------------------------

    bool buildClips() {
        for (size_t a = 0; a < gltf_.animations.size(); ++a) {
            const tinygltf::Animation& animation = gltf_.animations[a];
            Clip clip;
            clip.name = animation.name.empty() ? "animation " + std::to_string(a) : animation.name;
            clip.loop = 1;
            for (size_t c = 0; c < animation.channels.size(); ++c) {
                if (!buildChannel(animation, a, c, clip)) return false;
            }
            data_.clips.push_back(std::move(clip));
        }
        return true;
    }

    bool buildChannel(const tinygltf::Animation& animation, size_t a, size_t c, Clip& clip) {
        const tinygltf::AnimationChannel& source = animation.channels[c];
        if (source.target_node < 0) return true;
        const tinygltf::AnimationSampler& sampler = animation.samplers[static_cast<size_t>(source.sampler)];
        const std::string element = at("animations", a) + "." + at("samplers", static_cast<size_t>(source.sampler));
        Channel channel;
        channel.interpolation = sampler.interpolation == "STEP" ? Interpolation::Step
                                : sampler.interpolation == "CUBICSPLINE" ? Interpolation::CubicSpline
                                                                          : Interpolation::Linear;
        channel.joint = source.target_node;
        int32_t components = 0;
        std::string reason;
        if (!readAccessorFloats(gltf_, sampler.input, channel.times, components, reason)) return fail(element + ".input", reason);
        if (!readAccessorFloats(gltf_, sampler.output, channel.values, components, reason)) return fail(element + ".output", reason);
        for (size_t k = 0; k < channel.times.size(); ++k) {
            if (!std::isfinite(channel.times[k]) || (k > 0 && channel.times[k] < channel.times[k - 1])) {
                return fail(element + ".input", "the times do not ascend");
            }
        }
        const size_t keys = channel.times.size();
        const size_t perKey = channel.interpolation == Interpolation::CubicSpline ? 3 : 1;
        size_t width = 0;
        if (source.target_path == "translation") {
            channel.target = ChannelTarget::Translation;
            width = 3;
            for (float& value : channel.values) value *= scale_;
        } else if (source.target_path == "rotation") {
            channel.target = ChannelTarget::Rotation;
            width = 4;
        } else if (source.target_path == "scale") {
            channel.target = ChannelTarget::Scale;
            width = 3;
        } else if (source.target_path == "weights") {
            return buildWeightChannels(channel, element, keys * perKey, clip);
        } else {
            return true;  // a path this reader does not know drives nothing
        }
        if (static_cast<size_t>(components) != width || channel.values.size() != keys * perKey * width) {
            return fail(element + ".output", "holds " + std::to_string(channel.values.size()) + " numbers for " +
                                                 std::to_string(keys) + " times of " + source.target_path);
        }
        if (!channel.times.empty()) clip.duration = std::max(clip.duration, channel.times.back());
        clip.channels.push_back(std::move(channel));
        return true;
    }

    // A weights channel drives every object made from the node's mesh.
    bool buildWeightChannels(Channel& channel, const std::string& element, size_t keyCount, Clip& clip) {
        const std::vector<int32_t>& objects = nodeObjects_[static_cast<size_t>(channel.joint)];
        if (objects.empty()) return true;
        const int32_t targets = static_cast<int32_t>(data_.model.objects[static_cast<size_t>(objects[0])].morphTargets.size());
        if (targets == 0 || channel.values.size() != keyCount * static_cast<size_t>(targets)) {
            return fail(element + ".output", "holds " + std::to_string(channel.values.size()) + " weights, not " +
                                                 std::to_string(targets) + " for each of " + std::to_string(keyCount) + " keys");
        }
        channel.target = ChannelTarget::MorphWeights;
        channel.morphWeightCount = targets;
        if (!channel.times.empty()) clip.duration = std::max(clip.duration, channel.times.back());
        for (int32_t object : objects) {
            Channel copy = channel;
            copy.joint = object;
            clip.channels.push_back(std::move(copy));
        }
        return true;
    }

    // --- The whole --------------------------------------------------------------

    void finishModel() {
        tavo::Model& model = data_.model;
        model.nameEncoding = TextEncoding::Utf8;
        model.outlineWidth = 0.0f;
        model.useLighting = true;
        // A light above and in front of the viewer, in the model's units.
        const float reach = 1000.0f * std::max(scale_, 1e-3f);
        model.lightPosition[0] = 0.3f * reach;
        model.lightPosition[1] = 1.0f * reach;
        model.lightPosition[2] = 1.5f * reach;
        for (float& c : model.ambientLight) c = 0.0f;
    }

    void countReport() {
        for (const ModelObject& object : data_.model.objects) {
            report_.vertices += static_cast<int64_t>(object.vertices.size());
            for (const TriangleGroup& group : object.triangleGroups) report_.triangles += static_cast<int64_t>(group.size());
            report_.morphTargets += static_cast<int32_t>(object.morphTargets.size());
        }
        report_.joints = static_cast<int32_t>(std::count(skinBound_.begin(), skinBound_.end(), true));
        report_.materials = static_cast<int32_t>(gltf_.materials.size());
        report_.images = static_cast<int32_t>(gltf_.images.size());
        report_.animations = static_cast<int32_t>(gltf_.animations.size());
    }

    const GltfFile& file_;
    const GltfModel& gltf_;
    float scale_;
    TextureManager& textures_;
    CharacterData& data_;
    GltfReport& report_;
    LoadError& error_;
    std::vector<int32_t> textureEntries_;          // per glTF texture: the manager's index, -1 none, -2 not yet
    std::vector<std::vector<int32_t>> nodeObjects_;  // per node: the objects of its mesh
    std::vector<bool> skinBound_;                 // per node: a skin gave its inverse bind
    std::vector<float> floats_;
    std::vector<float> uvs_;
    std::vector<uint32_t> indices_;
};

}  // namespace

bool buildGltfCharacter(const GltfFile& file, float scale, TextureManager& textures, CharacterData& data,
                        GltfReport& report, LoadError& error) {
    CharacterData built;
    GltfReport made;
    Builder builder(file, scale, textures, built, made, error);
    if (!builder.build()) return false;
    data = std::move(built);
    report = std::move(made);
    return true;
}

}  // namespace tavo
