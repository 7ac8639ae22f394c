#pragma once

#include <string>
#include <vector>

#include "character_rig.h"
#include "mesh_builder.h"

namespace tavo::chara {

struct MaterialDesign {
    std::string name;
    float color[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float diffuse = 0.8f;
    float ambient = 0.6f;
    float emissive = 0.0f;
    float specular = 0.0f;
    float power = 5.0f;
    std::string texture;  // empty for a plain colour
};

// The whole character: materials, visible parts, skinned parts, the bone
// object and the anchor objects, in file order, plus the rig they follow.
struct CharacterModel {
    std::vector<MaterialDesign> materials;
    std::vector<Mesh> meshes;
    Rig rig;

    int32_t materialIndex(const std::string& name) const;  // -1 if absent
};

CharacterModel buildCharacterModel();

}  // namespace tavo::chara
