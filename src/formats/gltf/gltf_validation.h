#pragma once

#include <cstdint>

#include "formats/gltf/gltf_file.h"

namespace tavo {

// The largest models the reader takes.
constexpr int64_t kMaxGltfVertices = 2000000;

// Checks a loaded document before any of its data is used: every buffer
// view and accessor (sparse ones included) against the bytes it points into,
// every reference (node, mesh, skin, material, texture, image, sampler,
// accessor) against its array, and the node trees (no cycles, no node with
// two parents). Index values and sparse indices are checked where they are
// read. False with the element and the reason ("accessors[12]: ...").
bool validateGltf(const GltfFile& file, LoadError& error);

// Bytes of one element of an accessor: 0 for an unknown type or component.
int32_t gltfElementSize(int type, int componentType);
int32_t gltfComponentCount(int type);
int32_t gltfComponentSize(int componentType);

}  // namespace tavo
