#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "character/character_data.h"
#include "formats/gltf/vrm_avatar.h"

namespace tavo {

// Where the records of a glTF document's nodes went: each node is the joint
// of its index; nodeMesh gives its mesh (-1 for none) and nodeObjects the
// model objects made of that mesh's primitives.
struct GltfNodeMap {
    std::vector<int32_t> nodeMesh;
    std::vector<std::vector<int32_t>> nodeObjects;
};

// Reads what a VRM avatar moves by besides its clips into data: the humanoid
// bones, the expressions (bound to the model objects of the nodes or meshes
// they name), the look-at settings and the spring bones, of version 0.x or
// 1.0 as the avatar says. Lengths are multiplied by scale; a VRM 0.x
// avatar's directions are turned as its facing joint turns it. Binds,
// joints and colliders that name what does not exist are left out, and
// problems says so.
void readVrmParts(const nlohmann::json& document, const VrmAvatar& avatar, const GltfNodeMap& nodes, float scale,
                  CharacterData& data, std::vector<std::string>& problems);

}  // namespace tavo
