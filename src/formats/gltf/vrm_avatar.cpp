#include "formats/gltf/vrm_avatar.h"

#include "formats/gltf/json_lookup.h"

namespace tavo {

namespace {

using Json = nlohmann::json;

const Json& extension(const Json& document, const char* name) { return jsonMember(jsonMember(document, "extensions"), name); }

// A meta value as text: strings as they are, lists joined, numbers and
// booleans written out.
std::string text(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_boolean()) return value.get<bool>() ? "true" : "false";
    if (value.is_number()) return value.dump();
    if (value.is_array()) {
        std::string joined;
        for (const Json& item : value) joined += (joined.empty() ? "" : ", ") + text(item);
        return joined;
    }
    return std::string();
}

int32_t indexWithin(const Json& value, size_t count) {
    if (!value.is_number_integer()) return -1;
    const int64_t index = value.get<int64_t>();
    return index >= 0 && static_cast<uint64_t>(index) < count ? static_cast<int32_t>(index) : -1;
}

// The bones each version requires of a humanoid.
const std::vector<std::string>& requiredBones(GltfFlavour flavour) {
    static const std::vector<std::string> kVrm1 = {
        "hips", "spine", "head", "leftUpperLeg", "leftLowerLeg", "leftFoot", "rightUpperLeg", "rightLowerLeg",
        "rightFoot", "leftUpperArm", "leftLowerArm", "leftHand", "rightUpperArm", "rightLowerArm", "rightHand"};
    static const std::vector<std::string> kVrm0 = [] {
        std::vector<std::string> bones = kVrm1;
        bones.insert(bones.begin() + 2, {"chest", "neck"});
        return bones;
    }();
    return flavour == GltfFlavour::Vrm0 ? kVrm0 : kVrm1;
}

void readMeta(const Json& meta, VrmAvatar& avatar) {
    if (!meta.is_object()) return;
    for (auto it = meta.begin(); it != meta.end(); ++it) {
        if (it.key() == "texture" || it.key() == "thumbnailImage") continue;  // pictures, not terms
        const std::string value = text(it.value());
        if (!value.empty()) avatar.meta.emplace_back(it.key(), value);
    }
    avatar.title = text(jsonMember(meta, avatar.flavour == GltfFlavour::Vrm0 ? "title" : "name"));
}

void readHumanoid(const Json& humanoid, size_t nodeCount, VrmAvatar& avatar) {
    const Json& bones = jsonMember(humanoid, "humanBones");
    if (avatar.flavour == GltfFlavour::Vrm0 && bones.is_array()) {
        for (const Json& bone : bones) {
            const int32_t node = indexWithin(jsonMember(bone, "node"), nodeCount);
            if (jsonMember(bone, "bone").is_string() && node >= 0) avatar.humanBones.push_back({jsonMember(bone, "bone").get<std::string>(), node});
        }
    } else if (bones.is_object()) {
        for (auto it = bones.begin(); it != bones.end(); ++it) {
            const int32_t node = indexWithin(jsonMember(it.value(), "node"), nodeCount);
            if (node >= 0) avatar.humanBones.push_back({it.key(), node});
        }
    }
    for (const std::string& required : requiredBones(avatar.flavour)) {
        bool found = false;
        for (const HumanBone& bone : avatar.humanBones) found = found || bone.bone == required;
        if (!found) avatar.missingBones.push_back(required);
    }
}

float number(const Json& value, float otherwise) { return value.is_number() ? value.get<float>() : otherwise; }

// VRM 0.x keeps a material's toon settings beside it, matched by name (by
// position where no name matches).
void readVrm0Materials(const Json& document, const Json& properties, size_t textureCount, VrmAvatar& avatar) {
    const Json& materials = jsonMember(document, "materials");
    if (!properties.is_array() || !materials.is_array()) return;
    for (size_t m = 0; m < avatar.materials.size(); ++m) {
        const Json& name = jsonMember(materials[m], "name");
        const Json* found = m < properties.size() ? &properties[m] : nullptr;
        for (const Json& property : properties) {
            if (name.is_string() && jsonMember(property, "name") == name) found = &property;
        }
        if (found == nullptr) continue;
        VrmMaterial& material = avatar.materials[m];
        const Json& shader = jsonMember(*found, "shader");
        material.toon = shader.is_string() && shader.get<std::string>().find("MToon") != std::string::npos;
        const Json& color = jsonMember(jsonMember(*found, "vectorProperties"), "_Color");
        if (color.is_array() && color.size() >= 4) {
            material.hasColor = true;
            for (size_t c = 0; c < 4; ++c) material.color[c] = number(color[c], 1.0f);
        }
        material.mainTexture = indexWithin(jsonMember(jsonMember(*found, "textureProperties"), "_MainTex"), textureCount);
        const Json& floats = jsonMember(*found, "floatProperties");
        if (jsonMember(floats, "_BlendMode").is_number()) material.blendMode = jsonMember(floats, "_BlendMode").get<int32_t>();
        material.cutoff = number(jsonMember(floats, "_Cutoff"), 0.5f);
        if (jsonMember(floats, "_CullMode").is_number()) material.cullMode = jsonMember(floats, "_CullMode").get<int32_t>();
    }
}

void readVrm1Materials(const Json& document, VrmAvatar& avatar) {
    const Json& materials = jsonMember(document, "materials");
    for (size_t m = 0; m < avatar.materials.size() && materials.is_array(); ++m) {
        avatar.materials[m].toon = !extension(materials[m], "VRMC_materials_mtoon").is_null();
    }
}

}  // namespace

const char* flavourName(GltfFlavour flavour) {
    switch (flavour) {
    case GltfFlavour::Vrm0: return "vrm0";
    case GltfFlavour::Vrm1: return "vrm1";
    default: return "gltf";
    }
}

GltfFlavour gltfFlavour(const Json& document) {
    if (extension(document, "VRMC_vrm").is_object()) return GltfFlavour::Vrm1;
    if (extension(document, "VRM").is_object()) return GltfFlavour::Vrm0;
    return GltfFlavour::Gltf;
}

VrmAvatar readVrmAvatar(const Json& document, size_t nodeCount, size_t textureCount) {
    VrmAvatar avatar;
    avatar.flavour = gltfFlavour(document);
    const Json& materials = jsonMember(document, "materials");
    avatar.materials.resize(materials.is_array() ? materials.size() : 0);
    if (avatar.flavour == GltfFlavour::Gltf) return avatar;
    const Json& vrm = extension(document, avatar.flavour == GltfFlavour::Vrm0 ? "VRM" : "VRMC_vrm");
    readMeta(jsonMember(vrm, "meta"), avatar);
    readHumanoid(jsonMember(vrm, "humanoid"), nodeCount, avatar);
    if (avatar.flavour == GltfFlavour::Vrm0) {
        readVrm0Materials(document, jsonMember(vrm, "materialProperties"), textureCount, avatar);
    } else {
        readVrm1Materials(document, avatar);
    }
    return avatar;
}

std::string vrmTitle(const Json& document) {
    const GltfFlavour flavour = gltfFlavour(document);
    if (flavour == GltfFlavour::Gltf) return std::string();
    const Json& meta = jsonMember(extension(document, flavour == GltfFlavour::Vrm0 ? "VRM" : "VRMC_vrm"), "meta");
    return text(jsonMember(meta, flavour == GltfFlavour::Vrm0 ? "title" : "name"));
}

}  // namespace tavo
