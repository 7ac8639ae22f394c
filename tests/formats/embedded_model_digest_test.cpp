// The committed character's model must read exactly as it always has: a
// digest over everything the reader and mesh preparation produce, recorded
// with the reader as it stood before it learnt newer document versions.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "formats/metasequoia/mqo_reader.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"

namespace tavo {
namespace {

// FNV-1a, 64 bits.
class Digest {
public:
    void bytes(const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            value_ = (value_ ^ p[i]) * 0x100000001B3ull;
        }
    }
    template <typename T>
    void add(const T& plain) {
        bytes(&plain, sizeof plain);
    }
    void add(const std::string& text) {
        add(text.size());
        bytes(text.data(), text.size());
    }
    void add(const Vec3& v) {
        add(v.x);
        add(v.y);
        add(v.z);
    }
    uint64_t value() const { return value_; }

private:
    uint64_t value_ = 0xCBF29CE484222325ull;
};

template <typename Item>
void addGroups(Digest& d, const std::vector<std::vector<Item>>& groups) {
    d.add(groups.size());
    for (const auto& group : groups) {
        d.add(group.size());
        for (const Item& item : group) {
            d.add(item.material);
            d.add(item.hasUV);
            for (size_t k = 0; k < std::size(item.indices); ++k) {
                d.add(item.indices[k]);
                d.add(item.hasUV ? item.uvs[k].u : 0.0f);
                d.add(item.hasUV ? item.uvs[k].v : 0.0f);
            }
        }
    }
}

uint64_t modelDigest(const Model& model) {
    Digest d;
    d.add(model.materials.size());
    for (const Material& m : model.materials) {
        d.add(m.name);
        d.bytes(m.color, sizeof m.color);
        d.bytes(m.diffuseColor, sizeof m.diffuseColor);
        for (float f : {m.diffuse, m.ambient, m.emissive, m.specular, m.power}) {
            d.add(f);
        }
        d.add(m.textureName);
        d.add(m.alphaPlaneName);
        d.add(m.textureIndex);
    }
    d.add(model.objects.size());
    for (const ModelObject& o : model.objects) {
        d.add(o.name);
        d.add(o.visible);
        d.add(o.vertices.size());
        for (const Vec3& v : o.vertices) {
            d.add(v);
        }
        for (const Vec3& n : o.normals) {
            d.add(n);
        }
        d.add(o.faces.size());
        for (const Face& f : o.faces) {
            d.add(f.material);
            d.add(f.indices.size());
            d.bytes(f.indices.data(), f.indices.size() * sizeof(int32_t));
            d.add(f.uvs.size());
            for (const UvPair& uv : f.uvs) {
                d.add(uv.u);
                d.add(uv.v);
            }
        }
        addGroups(d, o.triangleGroups);
        addGroups(d, o.lineGroups);
    }
    return d.value();
}

TEST(EmbeddedModelDigest, TheCommittedModelReadsAsItAlwaysHas) {
    std::ifstream file(std::string(TAVO_SOURCE_DIR) + "/data/tavo.mqo", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Digest input;
    input.add(text);
    // When the character is regenerated, the input changes: check that the
    // reader is untouched, then record both figures anew.
    ASSERT_EQ(input.value(), 0x5A2D7D0EE0791F2Eull) << "data/tavo.mqo changed";

    MemoryStream stream;
    stream.attach(text.data(), static_cast<int32_t>(text.size()));
    TextureManager textures;
    Model model;
    MqoReader reader;
    ASSERT_TRUE(reader.readModel(&stream, textures, model, 1.0f));
    EXPECT_EQ(modelDigest(model), 0x3D75C63AAF1E5580ull);
}

}  // namespace
}  // namespace tavo
