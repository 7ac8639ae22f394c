#include "formats/gltf/vrma_reader.h"

#include "formats/gltf/gltf_character.h"
#include "formats/gltf/gltf_file.h"
#include "formats/gltf/gltf_validation.h"
#include "formats/gltf/json_lookup.h"
#include "resources/texture_manager.h"

namespace tavo {

namespace {

using Json = nlohmann::json;

LoadError elementError(const std::string& file, std::string element, std::string reason) {
    LoadError error = loadError(file, std::move(reason));
    error.element = std::move(element);
    return error;
}

int32_t nodeOf(const Json& entry, size_t count) {
    const Json& node = jsonMember(entry, "node");
    if (!node.is_number_integer()) return -1;
    const int64_t index = node.get<int64_t>();
    return index >= 0 && static_cast<uint64_t>(index) < count ? static_cast<int32_t>(index) : -1;
}

bool readMotion(const GltfFile& file, HumanoidMotion& motion, LoadError& error) {
    const Json& extension = jsonMember(jsonMember(file.json, "extensions"), "VRMC_vrm_animation");
    if (!extension.is_object()) {
        error = loadError(file.path, "is no VRM Animation (it has no VRMC_vrm_animation extension)");
        return false;
    }
    HumanoidMotion read;
    TextureManager noTextures;
    GltfReport report;
    if (!buildGltfCharacter(file, 1.0f, noTextures, read.skeleton, report, error)) return false;
    if (read.skeleton.clips.empty()) {
        error = elementError(file.path, "animations", "there is no animation");
        return false;
    }
    const size_t nodes = file.model.nodes.size();
    const Json& bones = jsonMember(jsonMember(extension, "humanoid"), "humanBones");
    for (auto it = bones.is_object() ? bones.begin() : Json::const_iterator(); bones.is_object() && it != bones.end(); ++it) {
        const int32_t bone = humanBoneNamed(it.key());
        const int32_t node = nodeOf(it.value(), nodes);
        if (bone < 0 || node < 0) {
            error = elementError(file.path, "extensions.VRMC_vrm_animation.humanoid.humanBones." + it.key(),
                                 bone < 0 ? "is no humanoid bone" : "names a node that does not exist");
            return false;
        }
        read.humanoid.joints[static_cast<size_t>(bone)] = node;
    }
    if (read.humanoid.empty()) {
        error = elementError(file.path, "extensions.VRMC_vrm_animation.humanoid.humanBones", "has no hips");
        return false;
    }
    const Json& expressions = jsonMember(extension, "expressions");
    for (const char* kind : {"preset", "custom"}) {
        const Json& list = jsonMember(expressions, kind);
        for (auto it = list.is_object() ? list.begin() : Json::const_iterator(); list.is_object() && it != list.end(); ++it) {
            const int32_t node = nodeOf(it.value(), nodes);
            if (node >= 0) read.expressions.emplace_back(it.key(), node);
        }
    }
    read.skeleton.clips.resize(1);
    read.name = read.skeleton.clips[0].name;
    motion = std::move(read);
    return true;
}

}  // namespace

bool readVrmaFile(const std::string& path, HumanoidMotion& motion, LoadError& error) {
    GltfFile file;
    return loadGltfFile(path, file, error) && validateGltf(file, error) && readMotion(file, motion, error);
}

bool readVrmaBytes(const std::string& name, const uint8_t* bytes, size_t size, HumanoidMotion& motion, LoadError& error) {
    GltfFile file;
    return loadGltfBytes(name, "", bytes, size, file, error) && validateGltf(file, error) && readMotion(file, motion, error);
}

}  // namespace tavo
