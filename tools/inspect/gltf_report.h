#pragma once

#include <string>

#include "formats/gltf/gltf_character.h"

namespace tavo::inspect {

// What a glTF or VRM file holds, for its author: the kind ("gltf", "vrm0",
// "vrm1"), counts, the VRM meta with its licence terms, the humanoid (bone
// to node name) with the required bones it lacks, and what the reader
// passed over or changed.
std::string gltfJsonReport(const GltfReport& report, const CharacterData& data);
std::string gltfTextReport(const GltfReport& report, const CharacterData& data);

}  // namespace tavo::inspect
