#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace tavo {

// Which kind of glTF a document is: plain, or a VRM avatar of version 0.x
// (the "VRM" extension; it faces -Z) or 1.0 ("VRMC_vrm"; it faces +Z).
enum class GltfFlavour { Gltf, Vrm0, Vrm1 };

const char* flavourName(GltfFlavour flavour);  // "gltf", "vrm0", "vrm1"

// How a VRM material is drawn where the glTF material says otherwise: its
// toon colour (MToon, drawn unlit as its lit colour) and, for 0.x, the
// properties that stand in for the glTF ones.
struct VrmMaterial {
    bool toon = false;
    bool hasColor = false;
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    int32_t mainTexture = -1;  // a glTF texture index, -1 for the material's own
    int32_t blendMode = -1;    // 0.x _BlendMode: 0 opaque, 1 cut-out, 2 and 3 blended; -1 unset
    float cutoff = 0.5f;
    int32_t cullMode = -1;     // 0.x _CullMode: 0 off (both sides), 2 back; -1 unset
};

struct HumanBone {
    std::string bone;  // "hips", "leftUpperArm", ...
    int32_t node = -1;
};

// What a VRM says of itself: the licence terms and names of its meta, its
// humanoid bones, and its materials. Empty for a plain glTF.
struct VrmAvatar {
    GltfFlavour flavour = GltfFlavour::Gltf;
    std::string title;
    // The meta fields as the file writes them (names of the version's
    // schema), in the file's order; lists are joined with ", ".
    std::vector<std::pair<std::string, std::string>> meta;
    std::vector<HumanBone> humanBones;
    // Bones the version requires that the file does not map to a node.
    std::vector<std::string> missingBones;
    std::vector<VrmMaterial> materials;  // parallel to the glTF materials
};

GltfFlavour gltfFlavour(const nlohmann::json& document);
// Reads the avatar's extension; references to nodes or textures that do not
// exist are left out (a humanoid bone then counts as missing).
VrmAvatar readVrmAvatar(const nlohmann::json& document, size_t nodeCount, size_t textureCount);

// The title a menu shows: the meta's title (0.x) or name (1.0), else empty.
std::string vrmTitle(const nlohmann::json& document);

}  // namespace tavo
