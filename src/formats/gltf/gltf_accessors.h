#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/gltf/tiny_gltf_config.h"

namespace tavo {

// Reading accessors that validateGltf has passed. Each call fills out
// (resized, so that a caller that keeps its vectors allocates once).

// Every element as floats, components of them each: normalised integers
// become 0..1 (unsigned) or -1..1 (signed), others their value; elements
// without a buffer view are zero; sparse values replace theirs. False when
// a sparse index lies past the count.
bool readAccessorFloats(const tinygltf::Model& model, int accessor, std::vector<float>& out, int32_t& components,
                        std::string& reason);
// Integer elements (indices, joint numbers) as they are stored.
bool readAccessorIntegers(const tinygltf::Model& model, int accessor, std::vector<uint32_t>& out, int32_t& components,
                          std::string& reason);

}  // namespace tavo
