#include "formats/gltf/humanoid_motions.h"

#include "animation/humanoid_retargeting.h"
#include "formats/gltf/vrma_reader.h"
#include "resources/embedded_resource.h"

namespace tavo {

namespace {

bool retargetOnto(const HumanoidMotion& motion, const std::string& path, const CharacterData& data, Clip& clip,
                  LoadError& error) {
    std::string reason;
    if (retargetHumanoidMotion(motion, data, clip, reason)) return true;
    error = loadError(path, reason);
    return false;
}

bool builtInMotion(const char* resource, const char* name, const CharacterData& data, Clip& clip, LoadError& error) {
    EmbeddedResource found;
    HumanoidMotion motion;
    if (!findEmbeddedResource(resource, "VRMA", found) || found.size <= 0) {
        error = loadError(std::string("(built-in ") + name + ")", "the motion is missing from the program");
        return false;
    }
    return readVrmaBytes(std::string("(built-in ") + name + ")", static_cast<const uint8_t*>(found.data),
                         static_cast<size_t>(found.size), motion, error) &&
           retargetOnto(motion, name, data, clip, error);
}

}  // namespace

bool giveHumanoidMotions(const std::string& modelPath, const std::string& motionPath, CharacterData& data,
                         LoadError& error) {
    if (data.humanoid.empty()) {
        if (motionPath.empty()) return true;
        error = loadError(modelPath, "is no VRM avatar with humanoid bones, so a VRM Animation cannot play on it");
        return false;
    }
    if (!motionPath.empty()) {
        HumanoidMotion motion;
        Clip clip;
        if (!readVrmaFile(motionPath, motion, error) || !retargetOnto(motion, motionPath, data, clip, error)) return false;
        data.clips = {std::move(clip)};
        return true;
    }
    if (!data.clips.empty()) return true;  // its own animation plays
    Clip walk;
    Clip idle;
    if (!builtInMotion("TAVO_WALK", "walk", data, walk, error) || !builtInMotion("TAVO_IDLE", "idle", data, idle, error)) {
        return false;
    }
    data.clips = {std::move(walk), std::move(idle)};
    return true;
}

}  // namespace tavo
