// Arbitrary bytes as a Metasequoia document. The reader must stop at the end
// of the data; success needs the header and the end word, a refusal gives a
// reason and a line of the data, and whatever it accepts must be a
// consistent model: one normal per vertex, groups ordered
// by material and never empty, texture indices that the texture manager
// handed out.

#include <cstddef>
#include <cstdint>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "formats/metasequoia/mqo_reader.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"

namespace {

void require(bool condition) {
    if (!condition) {
        abort();
    }
}

template <typename Group>
void checkGroupOrder(const std::vector<Group>& groups) {
    int32_t previous = -2;
    for (const Group& group : groups) {
        require(!group.empty());
        const int32_t material = group.front().material;
        require(material > previous);
        for (const auto& record : group) {
            require(record.material == material);
        }
        previous = material;
    }
}

void checkModel(const tavo::Model& model, const tavo::TextureManager& textures) {
    for (const tavo::Material& material : model.materials) {
        require(material.textureIndex >= -1 && material.textureIndex < textures.textureCount());
        require(!material.textureName.empty() || material.textureIndex == -1);
    }
    for (const tavo::ModelObject& object : model.objects) {
        require(object.normals.size() == object.vertices.size());
        checkGroupOrder(object.triangleGroups);
        checkGroupOrder(object.lineGroups);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) {
        return 0;
    }
    tavo::MemoryStream stream;
    stream.attach(data, static_cast<int32_t>(size));
    tavo::TextureManager textures;  // no loaders: texture names only get indices
    tavo::Model model;
    tavo::MqoReader reader;
    if (reader.readModel(&stream, textures, model, 1.0f)) {
        // Success needs the first header line and the end word.
        require(size >= 20 && memcmp(data, "Metasequoia Document", 20) == 0);
        require(memmem(data, size, "Eof", 3) != nullptr);
        require(reader.error().empty());
        checkModel(model, textures);
    } else {
        // A refusal says why, on a line the data has (or the one after it).
        const tavo::LoadError& error = reader.error();
        require(!error.message.empty());
        size_t lines = 1;
        for (size_t i = 0; i < size; ++i) {
            lines += data[i] == '\n' || (data[i] == '\r' && (i + 1 == size || data[i + 1] != '\n'));
        }
        require(error.line >= 1 && static_cast<size_t>(error.line) <= lines);
    }
    return 0;
}
