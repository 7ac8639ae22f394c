#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tavo::chara {

// Builds a glTF 2.0 document: one binary buffer that accessors, buffer views
// and embedded pictures are appended to, and the JSON beside it. The
// document is then written as a .glb (the buffer in the BIN chunk) or as a
// .gltf that names its buffer file.
class GltfWriter {
public:
    GltfWriter();

    nlohmann::json& json() { return json_; }

    // Accessors over new buffer views; positions get their min and max, as
    // the format asks. Return the accessor's index.
    int32_t addFloats(const std::vector<float>& values, const char* type, bool withBounds = false,
                      int32_t target = 34962);
    int32_t addIndices(const std::vector<uint32_t>& indices);
    int32_t addJoints(const std::vector<uint16_t>& joints);  // 4 a vertex
    // A picture in a buffer view; gives the image's index.
    int32_t addImage(const std::string& bytes, const char* mimeType, const std::string& name);

    // The whole as a binary file, or as JSON naming binName for its buffer.
    std::string glb() const;
    std::string gltfJson(const std::string& binName) const;
    const std::string& buffer() const { return bin_; }

private:
    int32_t addView(const void* data, size_t size, int32_t target);
    nlohmann::json finished() const;

    nlohmann::json json_;
    std::string bin_;
};

}  // namespace tavo::chara
