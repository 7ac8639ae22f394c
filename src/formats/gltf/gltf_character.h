#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "character/character_data.h"
#include "formats/gltf/gltf_file.h"
#include "formats/gltf/vrm_avatar.h"
#include "resources/load_error.h"

namespace tavo {

class TextureManager;

// What a glTF or VRM file held, for the inspector: its kind, counts, the VRM
// meta and humanoid, and what the reader passed over or changed.
struct GltfReport {
    VrmAvatar avatar;
    int64_t vertices = 0;
    int64_t triangles = 0;
    int32_t joints = 0;  // nodes that some skin names
    int32_t morphTargets = 0;
    int32_t materials = 0;
    int32_t images = 0;
    int32_t animations = 0;
    std::vector<std::string> problems;
};

// Largest side of a texture made from a glTF picture; larger ones are scaled
// down as they are loaded.
constexpr int32_t kGltfLargestTextureSide = 1024;

// Turns a validated document into the records: one joint per node (its TRS
// or matrix; VRM 0.x avatars turned to face +Z under one more root joint),
// one object per triangle primitive (strips and fans as triangles, rigid
// under its node or skinned with up to 8 normalised influences, morph
// targets with the mesh's weights), the materials and their textures, and
// one clip per animation. Lengths are multiplied by scale. False with the
// element and the reason (an index past the vertex count, a sparse index
// past its accessor).
bool buildGltfCharacter(const GltfFile& file, float scale, TextureManager& textures, CharacterData& data,
                        GltfReport& report, LoadError& error);

}  // namespace tavo
