#include "formats/gltf/gltf_accessors.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "formats/gltf/gltf_validation.h"

namespace tavo {

namespace {

template <typename T>
T load(const uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

float componentAsFloat(const uint8_t* p, int type, bool normalized) {
    switch (type) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT: return load<float>(p);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return normalized ? *p / 255.0f : *p;
    case TINYGLTF_COMPONENT_TYPE_BYTE: {
        const float v = static_cast<int8_t>(*p);
        return normalized ? std::max(v / 127.0f, -1.0f) : v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return normalized ? load<uint16_t>(p) / 65535.0f : load<uint16_t>(p);
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
        const float v = load<int16_t>(p);
        return normalized ? std::max(v / 32767.0f, -1.0f) : v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: return static_cast<float>(load<uint32_t>(p));
    default: return 0.0f;
    }
}

uint32_t componentAsInteger(const uint8_t* p, int type) {
    switch (type) {
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return *p;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return load<uint16_t>(p);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: return load<uint32_t>(p);
    case TINYGLTF_COMPONENT_TYPE_BYTE: return static_cast<uint32_t>(static_cast<int8_t>(*p));
    case TINYGLTF_COMPONENT_TYPE_SHORT: return static_cast<uint32_t>(load<int16_t>(p));
    case TINYGLTF_COMPONENT_TYPE_FLOAT: {
        // Out of range (or NaN) becomes the largest index, which no count reaches.
        const float v = load<float>(p);
        return v >= 0.0f && v < 4294967040.0f ? static_cast<uint32_t>(v) : UINT32_MAX;
    }
    default: return 0;
    }
}

const uint8_t* viewBytes(const tinygltf::Model& model, int view, size_t offset) {
    const tinygltf::BufferView& bufferView = model.bufferViews[static_cast<size_t>(view)];
    return model.buffers[static_cast<size_t>(bufferView.buffer)].data.data() + bufferView.byteOffset + offset;
}

// Calls put(element, bytes of its first component) for every stored element,
// then for every sparse one; false when a sparse index is past the count.
template <typename Put>
bool forEachElement(const tinygltf::Model& model, const tinygltf::Accessor& accessor, Put put, std::string& reason) {
    const size_t elementSize = static_cast<size_t>(gltfElementSize(accessor.type, accessor.componentType));
    if (accessor.bufferView != -1) {
        const tinygltf::BufferView& view = model.bufferViews[static_cast<size_t>(accessor.bufferView)];
        const size_t stride = view.byteStride != 0 ? view.byteStride : elementSize;
        const uint8_t* bytes = viewBytes(model, accessor.bufferView, accessor.byteOffset);
        for (size_t i = 0; i < accessor.count; ++i) put(i, bytes + i * stride);
    }
    if (!accessor.sparse.isSparse) return true;
    const auto& sparse = accessor.sparse;
    const int indexType = sparse.indices.componentType;
    const size_t indexSize = static_cast<size_t>(gltfComponentSize(indexType));
    const uint8_t* indices = viewBytes(model, sparse.indices.bufferView, static_cast<size_t>(sparse.indices.byteOffset));
    const uint8_t* values = viewBytes(model, sparse.values.bufferView, static_cast<size_t>(sparse.values.byteOffset));
    for (size_t k = 0; k < static_cast<size_t>(sparse.count); ++k) {
        const uint32_t index = componentAsInteger(indices + k * indexSize, indexType);
        if (index >= accessor.count) {
            reason = "sparse index " + std::to_string(index) + " lies past the count " + std::to_string(accessor.count);
            return false;
        }
        put(index, values + k * elementSize);
    }
    return true;
}

}  // namespace

namespace {

// Every element's components, each converted by convert(bytes, type).
template <typename T, typename Convert>
bool readAccessor(const tinygltf::Model& model, int index, std::vector<T>& out, int32_t& components, std::string& reason,
                  Convert convert) {
    const tinygltf::Accessor& accessor = model.accessors[static_cast<size_t>(index)];
    components = gltfComponentCount(accessor.type);
    const size_t count = static_cast<size_t>(components);
    const size_t componentSize = static_cast<size_t>(gltfComponentSize(accessor.componentType));
    out.assign(accessor.count * count, T());
    return forEachElement(
        model, accessor,
        [&](size_t element, const uint8_t* bytes) {
            for (size_t c = 0; c < count; ++c) out[element * count + c] = convert(bytes + c * componentSize, accessor);
        },
        reason);
}

}  // namespace

bool readAccessorFloats(const tinygltf::Model& model, int index, std::vector<float>& out, int32_t& components,
                        std::string& reason) {
    return readAccessor(model, index, out, components, reason, [](const uint8_t* bytes, const tinygltf::Accessor& accessor) {
        return componentAsFloat(bytes, accessor.componentType, accessor.normalized);
    });
}

bool readAccessorIntegers(const tinygltf::Model& model, int index, std::vector<uint32_t>& out, int32_t& components,
                          std::string& reason) {
    return readAccessor(model, index, out, components, reason, [](const uint8_t* bytes, const tinygltf::Accessor& accessor) {
        return componentAsInteger(bytes, accessor.componentType);
    });
}

}  // namespace tavo
