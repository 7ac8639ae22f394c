#include "avatar/gltf_writer.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tavo::chara {

namespace {

int32_t componentsOf(const std::string& type) {
    if (type == "SCALAR") return 1;
    if (type == "VEC2") return 2;
    if (type == "VEC3") return 3;
    if (type == "VEC4") return 4;
    if (type == "MAT4") return 16;
    return 1;
}

void appendU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

GltfWriter::GltfWriter() {
    json_["asset"] = {{"version", "2.0"}, {"generator", "tavo-make-character"}};
    for (const char* array : {"accessors", "bufferViews", "images"}) json_[array] = nlohmann::json::array();
}

int32_t GltfWriter::addView(const void* data, size_t size, int32_t target) {
    while (bin_.size() % 4 != 0) bin_ += '\0';
    nlohmann::json view = {{"buffer", 0}, {"byteOffset", bin_.size()}, {"byteLength", size}};
    if (target != 0) view["target"] = target;
    bin_.append(static_cast<const char*>(data), size);
    json_["bufferViews"].push_back(view);
    return static_cast<int32_t>(json_["bufferViews"].size() - 1);
}

int32_t GltfWriter::addFloats(const std::vector<float>& values, const char* type, bool withBounds, int32_t target) {
    const int32_t components = componentsOf(type);
    const int32_t view = addView(values.data(), values.size() * sizeof(float), target);
    nlohmann::json accessor = {{"bufferView", view}, {"componentType", 5126},
                               {"count", values.size() / static_cast<size_t>(components)}, {"type", type}};
    if (withBounds) {
        std::vector<float> low(static_cast<size_t>(components), std::numeric_limits<float>::max());
        std::vector<float> high(static_cast<size_t>(components), std::numeric_limits<float>::lowest());
        for (size_t i = 0; i < values.size(); ++i) {
            low[i % components] = std::min(low[i % components], values[i]);
            high[i % components] = std::max(high[i % components], values[i]);
        }
        accessor["min"] = low;
        accessor["max"] = high;
    }
    json_["accessors"].push_back(accessor);
    return static_cast<int32_t>(json_["accessors"].size() - 1);
}

int32_t GltfWriter::addIndices(const std::vector<uint32_t>& indices) {
    const int32_t view = addView(indices.data(), indices.size() * sizeof(uint32_t), 34963);
    json_["accessors"].push_back({{"bufferView", view}, {"componentType", 5125}, {"count", indices.size()}, {"type", "SCALAR"}});
    return static_cast<int32_t>(json_["accessors"].size() - 1);
}

int32_t GltfWriter::addJoints(const std::vector<uint16_t>& joints) {
    const int32_t view = addView(joints.data(), joints.size() * sizeof(uint16_t), 34962);
    json_["accessors"].push_back({{"bufferView", view}, {"componentType", 5123}, {"count", joints.size() / 4}, {"type", "VEC4"}});
    return static_cast<int32_t>(json_["accessors"].size() - 1);
}

int32_t GltfWriter::addImage(const std::string& bytes, const char* mimeType, const std::string& name) {
    const int32_t view = addView(bytes.data(), bytes.size(), 0);
    json_["images"].push_back({{"bufferView", view}, {"mimeType", mimeType}, {"name", name}});
    return static_cast<int32_t>(json_["images"].size() - 1);
}

nlohmann::json GltfWriter::finished() const {
    nlohmann::json document = json_;
    document["buffers"] = nlohmann::json::array({{{"byteLength", bin_.size()}}});
    if (document["images"].empty()) document.erase("images");
    return document;
}

std::string GltfWriter::glb() const {
    std::string text = finished().dump();
    while (text.size() % 4 != 0) text += ' ';
    std::string bin = bin_;
    while (bin.size() % 4 != 0) bin += '\0';
    std::string out = "glTF";
    appendU32(out, 2);
    appendU32(out, static_cast<uint32_t>(12 + 8 + text.size() + 8 + bin.size()));
    appendU32(out, static_cast<uint32_t>(text.size()));
    out += "JSON";
    out += text;
    appendU32(out, static_cast<uint32_t>(bin.size()));
    out += std::string("BIN\0", 4);
    out += bin;
    return out;
}

std::string GltfWriter::gltfJson(const std::string& binName) const {
    nlohmann::json document = finished();
    document["buffers"][0]["uri"] = binName;
    return document.dump(1);
}

}  // namespace tavo::chara
