#include "formats/gltf/gltf_validation.h"

#include <string>
#include <vector>

namespace tavo {

namespace {

using tinygltf::Model;

std::string at(const char* array, size_t index) { return std::string(array) + "[" + std::to_string(index) + "]"; }

// One check's failure: the element and why.
struct Fault {
    std::string element;
    std::string reason;
};

bool fail(Fault& fault, std::string element, std::string reason) {
    fault = {std::move(element), std::move(reason)};
    return false;
}

template <typename List>
bool refersTo(const List& list, int index) {
    return index >= 0 && static_cast<size_t>(index) < list.size();
}

// A reference that may be absent (-1) or must name an entry.
template <typename List>
bool optionalRef(const List& list, int index, Fault& fault, const std::string& element, const char* what) {
    if (index == -1 || refersTo(list, index)) return true;
    return fail(fault, element, "names " + std::string(what) + " " + std::to_string(index) + ", which does not exist");
}

bool checkBufferViews(const Model& model, Fault& fault) {
    for (size_t i = 0; i < model.bufferViews.size(); ++i) {
        const tinygltf::BufferView& view = model.bufferViews[i];
        if (!refersTo(model.buffers, view.buffer)) return fail(fault, at("bufferViews", i), "names no buffer");
        const size_t size = model.buffers[static_cast<size_t>(view.buffer)].data.size();
        if (view.byteLength > size || view.byteOffset > size - view.byteLength) {
            return fail(fault, at("bufferViews", i),
                        "bytes " + std::to_string(view.byteOffset) + " to " + std::to_string(view.byteOffset + view.byteLength) +
                            " lie past the end of buffer " + std::to_string(view.buffer) + " (" + std::to_string(size) + " bytes)");
        }
        if (view.byteStride != 0 && (view.byteStride < 4 || view.byteStride > 252 || view.byteStride % 4 != 0)) {
            return fail(fault, at("bufferViews", i), "byteStride " + std::to_string(view.byteStride) + " is not 4 to 252 in steps of 4");
        }
    }
    return true;
}

// count elements of elementSize bytes, stride apart, from offset inside view.
bool elementsFit(const tinygltf::BufferView& view, uint64_t offset, uint64_t count, uint64_t elementSize, uint64_t stride) {
    if (count == 0) return offset <= view.byteLength;
    const uint64_t last = offset + (count - 1) * stride + elementSize;
    return offset <= view.byteLength && (count - 1) <= (UINT64_MAX - elementSize - offset) / stride && last <= view.byteLength;
}

bool checkSparse(const Model& model, const tinygltf::Accessor& accessor, const std::string& element, Fault& fault) {
    const auto& sparse = accessor.sparse;
    if (sparse.count <= 0 || static_cast<size_t>(sparse.count) > accessor.count) {
        return fail(fault, element + ".sparse.count", std::to_string(sparse.count) + " is not 1 to the accessor's count");
    }
    const int32_t indexSize = gltfComponentSize(sparse.indices.componentType);
    const int type = sparse.indices.componentType;
    if (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
        return fail(fault, element + ".sparse.indices.componentType", "is not an unsigned integer type");
    }
    if (!refersTo(model.bufferViews, sparse.indices.bufferView) || sparse.indices.byteOffset < 0 ||
        !elementsFit(model.bufferViews[static_cast<size_t>(sparse.indices.bufferView)], static_cast<uint64_t>(sparse.indices.byteOffset),
                     static_cast<uint64_t>(sparse.count), static_cast<uint64_t>(indexSize), static_cast<uint64_t>(indexSize))) {
        return fail(fault, element + ".sparse.indices", "lie outside their buffer view");
    }
    const int32_t valueSize = gltfElementSize(accessor.type, accessor.componentType);
    if (!refersTo(model.bufferViews, sparse.values.bufferView) || sparse.values.byteOffset < 0 ||
        !elementsFit(model.bufferViews[static_cast<size_t>(sparse.values.bufferView)], static_cast<uint64_t>(sparse.values.byteOffset),
                     static_cast<uint64_t>(sparse.count), static_cast<uint64_t>(valueSize), static_cast<uint64_t>(valueSize))) {
        return fail(fault, element + ".sparse.values", "lie outside their buffer view");
    }
    return true;
}

bool checkAccessors(const Model& model, Fault& fault) {
    for (size_t i = 0; i < model.accessors.size(); ++i) {
        const tinygltf::Accessor& accessor = model.accessors[i];
        const std::string element = at("accessors", i);
        const int32_t elementSize = gltfElementSize(accessor.type, accessor.componentType);
        if (elementSize == 0) return fail(fault, element, "has an unknown type or componentType");
        if (accessor.count == 0 || accessor.count > static_cast<size_t>(kMaxGltfVertices) * 8) {
            return fail(fault, element, "count " + std::to_string(accessor.count) + " is out of range");
        }
        if (accessor.bufferView != -1) {
            if (!refersTo(model.bufferViews, accessor.bufferView)) return fail(fault, element, "names no buffer view");
            const tinygltf::BufferView& view = model.bufferViews[static_cast<size_t>(accessor.bufferView)];
            const uint64_t stride = view.byteStride != 0 ? static_cast<uint64_t>(view.byteStride) : static_cast<uint64_t>(elementSize);
            if (stride < static_cast<uint64_t>(elementSize)) return fail(fault, element, "its elements are wider than the view's stride");
            if (!elementsFit(view, accessor.byteOffset, accessor.count, static_cast<uint64_t>(elementSize), stride)) {
                return fail(fault, element,
                            std::to_string(accessor.count) + " elements from byte " + std::to_string(accessor.byteOffset) +
                                " run past the end of buffer view " + std::to_string(accessor.bufferView) + " (" +
                                std::to_string(view.byteLength) + " bytes)");
            }
        }
        if (accessor.sparse.isSparse && !checkSparse(model, accessor, element, fault)) return false;
    }
    return true;
}

bool checkAccessorRef(const Model& model, int index, const std::string& element, Fault& fault) {
    if (refersTo(model.accessors, index)) return true;
    return fail(fault, element, "names accessor " + std::to_string(index) + ", which does not exist");
}

bool checkMeshes(const Model& model, Fault& fault) {
    int64_t vertices = 0;
    for (size_t m = 0; m < model.meshes.size(); ++m) {
        const tinygltf::Mesh& mesh = model.meshes[m];
        for (size_t p = 0; p < mesh.primitives.size(); ++p) {
            const tinygltf::Primitive& primitive = mesh.primitives[p];
            const std::string element = at("meshes", m) + "." + at("primitives", p);
            const auto position = primitive.attributes.find("POSITION");
            if (position == primitive.attributes.end()) continue;  // nothing to draw: passed over
            for (const auto& [name, accessor] : primitive.attributes) {
                if (!checkAccessorRef(model, accessor, element + ".attributes." + name, fault)) return false;
            }
            const size_t count = model.accessors[static_cast<size_t>(position->second)].count;
            for (const auto& [name, accessor] : primitive.attributes) {
                if (model.accessors[static_cast<size_t>(accessor)].count != count) {
                    return fail(fault, element + ".attributes." + name, "has another count than POSITION");
                }
            }
            vertices += static_cast<int64_t>(count);
            if (vertices > kMaxGltfVertices) return fail(fault, element, "the model has more than 2 million vertices");
            if (primitive.indices != -1) {
                if (!checkAccessorRef(model, primitive.indices, element + ".indices", fault)) return false;
                const tinygltf::Accessor& indices = model.accessors[static_cast<size_t>(primitive.indices)];
                const int type = indices.componentType;
                if (indices.type != TINYGLTF_TYPE_SCALAR || (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
                                                              type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
                                                              type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)) {
                    return fail(fault, element + ".indices", "are not unsigned integer scalars");
                }
            }
            if (!optionalRef(model.materials, primitive.material, fault, element + ".material", "material")) return false;
            for (size_t t = 0; t < primitive.targets.size(); ++t) {
                for (const auto& [name, accessor] : primitive.targets[t]) {
                    const std::string target = element + "." + at("targets", t) + "." + name;
                    if (!checkAccessorRef(model, accessor, target, fault)) return false;
                    if (model.accessors[static_cast<size_t>(accessor)].count != count) return fail(fault, target, "has another count than POSITION");
                }
            }
        }
    }
    return true;
}

// Every node has at most one parent and no node is its own ancestor.
bool checkNodeTree(const Model& model, Fault& fault) {
    std::vector<int> parent(model.nodes.size(), -1);
    for (size_t n = 0; n < model.nodes.size(); ++n) {
        const tinygltf::Node& node = model.nodes[n];
        const std::string element = at("nodes", n);
        for (int child : node.children) {
            if (!refersTo(model.nodes, child)) return fail(fault, element + ".children", "names node " + std::to_string(child) + ", which does not exist");
            if (parent[static_cast<size_t>(child)] != -1 || child == static_cast<int>(n)) {
                return fail(fault, element + ".children", "node " + std::to_string(child) + " already has a parent (shared children or a cycle)");
            }
            parent[static_cast<size_t>(child)] = static_cast<int>(n);
        }
        if (!optionalRef(model.meshes, node.mesh, fault, element + ".mesh", "mesh")) return false;
        if (!optionalRef(model.skins, node.skin, fault, element + ".skin", "skin")) return false;
        if (!node.matrix.empty() && node.matrix.size() != 16) return fail(fault, element + ".matrix", "does not hold 16 numbers");
    }
    // With one parent each, a cycle is a chain that never reaches a root.
    for (size_t n = 0; n < model.nodes.size(); ++n) {
        size_t steps = 0;
        for (int up = parent[n]; up != -1; up = parent[static_cast<size_t>(up)]) {
            if (++steps > model.nodes.size()) return fail(fault, at("nodes", n) + ".children", "the node tree has a cycle");
        }
    }
    return true;
}

bool checkSkins(const Model& model, Fault& fault) {
    for (size_t s = 0; s < model.skins.size(); ++s) {
        const tinygltf::Skin& skin = model.skins[s];
        const std::string element = at("skins", s);
        for (int joint : skin.joints) {
            if (!refersTo(model.nodes, joint)) return fail(fault, element + ".joints", "names node " + std::to_string(joint) + ", which does not exist");
        }
        if (!optionalRef(model.nodes, skin.skeleton, fault, element + ".skeleton", "node")) return false;
        if (skin.inverseBindMatrices != -1) {
            if (!checkAccessorRef(model, skin.inverseBindMatrices, element + ".inverseBindMatrices", fault)) return false;
            const tinygltf::Accessor& binds = model.accessors[static_cast<size_t>(skin.inverseBindMatrices)];
            if (binds.type != TINYGLTF_TYPE_MAT4 || binds.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT || binds.count < skin.joints.size()) {
                return fail(fault, element + ".inverseBindMatrices", "is not one float 4x4 matrix per joint");
            }
        }
    }
    return true;
}

bool checkTextureRef(const Model& model, int index, const std::string& element, Fault& fault) {
    return optionalRef(model.textures, index, fault, element, "texture");
}

bool checkMaterialsAndTextures(const Model& model, Fault& fault) {
    for (size_t m = 0; m < model.materials.size(); ++m) {
        const tinygltf::Material& material = model.materials[m];
        const std::string element = at("materials", m);
        if (!checkTextureRef(model, material.pbrMetallicRoughness.baseColorTexture.index, element + ".pbrMetallicRoughness.baseColorTexture", fault)) return false;
        if (material.pbrMetallicRoughness.baseColorFactor.size() != 4) return fail(fault, element + ".pbrMetallicRoughness.baseColorFactor", "does not hold 4 numbers");
    }
    for (size_t t = 0; t < model.textures.size(); ++t) {
        const tinygltf::Texture& texture = model.textures[t];
        if (!optionalRef(model.images, texture.source, fault, at("textures", t) + ".source", "image")) return false;
        if (!optionalRef(model.samplers, texture.sampler, fault, at("textures", t) + ".sampler", "sampler")) return false;
    }
    for (size_t i = 0; i < model.images.size(); ++i) {
        const tinygltf::Image& image = model.images[i];
        if (!optionalRef(model.bufferViews, image.bufferView, fault, at("images", i) + ".bufferView", "buffer view")) return false;
    }
    return true;
}

bool checkAnimations(const Model& model, Fault& fault) {
    for (size_t a = 0; a < model.animations.size(); ++a) {
        const tinygltf::Animation& animation = model.animations[a];
        const std::string element = at("animations", a);
        for (size_t s = 0; s < animation.samplers.size(); ++s) {
            const tinygltf::AnimationSampler& sampler = animation.samplers[s];
            const std::string place = element + "." + at("samplers", s);
            if (!checkAccessorRef(model, sampler.input, place + ".input", fault)) return false;
            if (!checkAccessorRef(model, sampler.output, place + ".output", fault)) return false;
            const tinygltf::Accessor& input = model.accessors[static_cast<size_t>(sampler.input)];
            if (input.type != TINYGLTF_TYPE_SCALAR || input.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT) {
                return fail(fault, place + ".input", "is not a list of float times");
            }
            if (sampler.interpolation != "LINEAR" && sampler.interpolation != "STEP" && sampler.interpolation != "CUBICSPLINE") {
                return fail(fault, place + ".interpolation", "\"" + sampler.interpolation + "\" is not LINEAR, STEP or CUBICSPLINE");
            }
        }
        for (size_t c = 0; c < animation.channels.size(); ++c) {
            const tinygltf::AnimationChannel& channel = animation.channels[c];
            const std::string place = element + "." + at("channels", c);
            if (!refersTo(animation.samplers, channel.sampler)) return fail(fault, place + ".sampler", "names no sampler of the animation");
            if (!optionalRef(model.nodes, channel.target_node, fault, place + ".target.node", "node")) return false;
        }
    }
    return true;
}

bool checkScenes(const Model& model, Fault& fault) {
    for (size_t s = 0; s < model.scenes.size(); ++s) {
        for (int node : model.scenes[s].nodes) {
            if (!refersTo(model.nodes, node)) return fail(fault, at("scenes", s) + ".nodes", "names node " + std::to_string(node) + ", which does not exist");
        }
    }
    if (model.defaultScene != -1 && !refersTo(model.scenes, model.defaultScene)) return fail(fault, "scene", "names no scene");
    return true;
}

}  // namespace

int32_t gltfComponentCount(int type) {
    switch (type) {
    case TINYGLTF_TYPE_SCALAR: return 1;
    case TINYGLTF_TYPE_VEC2: return 2;
    case TINYGLTF_TYPE_VEC3: return 3;
    case TINYGLTF_TYPE_VEC4: return 4;
    case TINYGLTF_TYPE_MAT2: return 4;
    case TINYGLTF_TYPE_MAT3: return 9;
    case TINYGLTF_TYPE_MAT4: return 16;
    default: return 0;
    }
}

int32_t gltfComponentSize(int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT: return 4;
    default: return 0;
    }
}

// Matrices of small components pad each column to 4 bytes; no reader here
// uses those, so they are counted unpadded only where that is exact.
int32_t gltfElementSize(int type, int componentType) {
    const int32_t size = gltfComponentSize(componentType);
    const int32_t count = gltfComponentCount(type);
    if (size == 0 || count == 0) return 0;
    if ((type == TINYGLTF_TYPE_MAT2 && size == 1) || (type == TINYGLTF_TYPE_MAT3 && size < 4)) return 0;
    return size * count;
}

bool validateGltf(const GltfFile& file, LoadError& error) {
    const Model& model = file.model;
    Fault fault;
    const bool valid = checkBufferViews(model, fault) && checkAccessors(model, fault) && checkMeshes(model, fault) &&
                       checkNodeTree(model, fault) && checkSkins(model, fault) && checkMaterialsAndTextures(model, fault) &&
                       checkAnimations(model, fault) && checkScenes(model, fault);
    if (!valid) {
        error = loadError(file.path, fault.reason);
        error.element = fault.element;
    }
    return valid;
}

}  // namespace tavo
