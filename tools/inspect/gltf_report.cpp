#include "gltf_report.h"

#include <nlohmann/json.hpp>

namespace tavo::inspect {

namespace {

std::string nodeName(const CharacterData& data, int32_t node) {
    return data.rig.validJoint(node) ? data.rig.joints[static_cast<size_t>(node)].name : std::string();
}

}  // namespace

std::string gltfJsonReport(const GltfReport& report, const CharacterData& data) {
    nlohmann::ordered_json json;
    json["format"] = flavourName(report.avatar.flavour);
    json["vertices"] = report.vertices;
    json["triangles"] = report.triangles;
    json["joints"] = report.joints;
    json["morphTargets"] = report.morphTargets;
    json["materials"] = report.materials;
    json["images"] = report.images;
    json["animations"] = report.animations;
    nlohmann::ordered_json meta = nlohmann::ordered_json::object();
    for (const auto& [key, value] : report.avatar.meta) meta[key] = value;
    json["meta"] = meta;
    nlohmann::ordered_json humanoid = nlohmann::ordered_json::object();
    for (const HumanBone& bone : report.avatar.humanBones) humanoid[bone.bone] = nodeName(data, bone.node);
    json["humanoid"] = humanoid;
    json["missingHumanoidBones"] = report.avatar.missingBones;
    nlohmann::ordered_json motions = nlohmann::ordered_json::array();
    for (const Clip& clip : data.clips) motions.push_back(clip.name);
    json["motions"] = motions;
    nlohmann::ordered_json expressions = nlohmann::ordered_json::array();
    for (const Expression& expression : data.expressions) expressions.push_back(expression.name);
    json["expressions"] = expressions;
    json["springChains"] = data.springs.chains.size();
    json["problems"] = report.problems;
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string gltfTextReport(const GltfReport& report, const CharacterData& data) {
    std::string text = std::string("format: ") + flavourName(report.avatar.flavour) + "\n";
    text += "vertices: " + std::to_string(report.vertices) + ", triangles: " + std::to_string(report.triangles) +
            ", joints: " + std::to_string(report.joints) + ", morph targets: " + std::to_string(report.morphTargets) +
            ", materials: " + std::to_string(report.materials) + ", images: " + std::to_string(report.images) +
            ", animations: " + std::to_string(report.animations) + "\n";
    if (!report.avatar.meta.empty()) {
        text += "meta (the avatar's own terms of use):\n";
        for (const auto& [key, value] : report.avatar.meta) text += "  " + key + ": " + value + "\n";
    }
    if (!report.avatar.humanBones.empty()) {
        text += "humanoid: " + std::to_string(report.avatar.humanBones.size()) + " bones";
        for (const HumanBone& bone : report.avatar.humanBones) text += (&bone == &report.avatar.humanBones.front() ? " (" : ", ") + bone.bone + " = " + nodeName(data, bone.node);
        text += ")\n";
    }
    for (const std::string& bone : report.avatar.missingBones) text += "missing humanoid bone: " + bone + "\n";
    for (size_t c = 0; c < data.clips.size(); ++c) text += (c == 0 ? "motions: " : ", ") + data.clips[c].name + (c + 1 == data.clips.size() ? "\n" : "");
    for (size_t e = 0; e < data.expressions.size(); ++e) {
        text += (e == 0 ? "expressions: " : ", ") + data.expressions[e].name + (e + 1 == data.expressions.size() ? "\n" : "");
    }
    if (!data.springs.empty()) text += "spring bone chains: " + std::to_string(data.springs.chains.size()) + "\n";
    text += report.problems.empty() ? "problems: none\n" : "problems:\n";
    for (const std::string& problem : report.problems) text += "  " + problem + "\n";
    return text;
}

}  // namespace tavo::inspect
