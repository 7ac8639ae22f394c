#include "model/mqo_reader.h"

#include <cstring>

#include "resources/byte_stream.h"
#include "resources/texture_manager.h"

namespace tavo {

namespace {

constexpr int32_t kLineBufferSize = 256;
constexpr int32_t kRawVertexBytes = 12;

// The fewest input bytes one list entry can come from ("0 0 0" plus a line
// break, "1 V(0)" plus a line break, "0 " ...). Used to keep a declared count
// that the data cannot hold from reserving memory up front.
constexpr int32_t kMinTextVertexBytes = 6;
constexpr int32_t kMinFaceBytes = 7;
constexpr int32_t kMinMaterialBytes = 6;
constexpr int32_t kMinIndexBytes = 2;
constexpr int32_t kMinUvPairBytes = 4;

bool startsWith(const char* line, const char* prefix) {
    return std::strncmp(line, prefix, std::strlen(prefix)) == 0;
}

bool isLineBreak(int32_t c) {
    return c == '\n' || c == '\r';
}

float littleEndianFloat(const uint8_t* bytes) {
    const uint32_t bits = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                          static_cast<uint32_t>(bytes[2]) << 16 |
                          static_cast<uint32_t>(bytes[3]) << 24;
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

bool MqoReader::readModel(ByteStream* stream, TextureManager& textures, Model& model,
                          float scale) {
    setStream(stream);
    char line[kLineBufferSize];
    readLine(line, kLineBufferSize);
    if (!startsWith(line, "Metasequoia Document")) {
        return false;
    }
    readLine(line, kLineBufferSize);
    if (!startsWith(line, "Format Text Ver 1.0")) {
        return false;
    }

    std::string word;
    for (;;) {
        readToken(word);
        if (word.empty()) {
            return false;  // the data ended before "Eof"
        }
        if (word == "Eof") {
            return true;
        }
        if (word == "Object") {
            ModelObject object;
            readQuoted(object.name);
            skipPast('{');
            if (!readObject(object, scale)) {
                return false;
            }
            model.objects.push_back(std::move(object));
        } else if (word == "Material") {
            if (!readMaterialChunk(textures, model)) {
                return false;
            }
        } else {
            skipPast('}');
        }
    }
}

bool MqoReader::readMaterialChunk(TextureManager& textures, Model& model) {
    int32_t count = 0;
    readInt(count);
    skipPast('{');
    model.materials.reserve(model.materials.size() + reserveLimit(count, kMinMaterialBytes));
    for (int32_t i = 0; i < count && !atEnd(); ++i) {
        Material material;
        readMaterial(material);
        if (!material.textureName.empty()) {
            material.textureIndex = textures.createTexture(material.textureName.c_str(), 0, 1, false);
        }
        model.materials.push_back(std::move(material));
    }
    return skipPast('}');
}

bool MqoReader::readObject(ModelObject& object, float scale) {
    std::string word;
    for (;;) {
        readToken(word);
        if (word.empty()) {
            return false;
        }
        if (word == "vertex") {
            readTextVertices(object, scale);
            break;
        }
        if (word == "BVertex") {
            readRawVertices(object);
            break;
        }
        if (word == "visible") {
            readInt(object.visible);
        }
        skipPast('\n');
    }

    readToken(word);  // "face"; the word itself is not examined
    int32_t count = 0;
    readInt(count);
    object.faces.reserve(reserveLimit(count, kMinFaceBytes));
    skipPast('{');
    for (int32_t i = 0; i < count && !atEnd(); ++i) {
        Face face;
        readFace(face);
        object.addFace(face);
    }
    skipPast('}');
    if (!skipPast('}')) {
        return false;
    }
    object.buildGroups();
    object.computeNormals();
    return true;
}

void MqoReader::readTextVertices(ModelObject& object, float scale) {
    int32_t count = 0;
    readInt(count);
    object.vertices.reserve(reserveLimit(count, kMinTextVertexBytes));
    skipPast('{');
    for (int32_t i = 0; i < count; ++i) {
        Vec3 v;
        // A vertex without any number means the list ended early.
        if (!readFloat(v.x)) {
            break;
        }
        readFloat(v.y);
        readFloat(v.z);
        object.addVertex(Vec3(v.x * scale, v.y * scale, v.z * scale));
    }
    skipPast('}');
}

void MqoReader::readRawVertices(ModelObject& object) {
    int32_t count = 0;
    readInt(count);
    object.vertices.reserve(reserveLimit(count, kRawVertexBytes));
    skipPast('\n');  // rest of the "BVertex" line
    skipPast('\n');  // the "Vector" line
    for (int32_t i = 0; i < count; ++i) {
        uint8_t bytes[kRawVertexBytes];
        if (stream()->read(bytes, kRawVertexBytes) != kRawVertexBytes) {
            break;
        }
        object.addVertex(
            Vec3(littleEndianFloat(bytes), littleEndianFloat(bytes + 4), littleEndianFloat(bytes + 8)));
    }
    skipPast('}');
}

bool MqoReader::readFace(Face& face) {
    int32_t corners = 0;
    readInt(corners);
    std::string name;
    for (;;) {
        readToken(name);
        skipPast('(');
        if (name == "V") {
            face.indices.reserve(reserveLimit(corners, kMinIndexBytes));
            for (int32_t i = 0; i < corners; ++i) {
                int32_t index = 0;
                if (!readInt(index)) {
                    break;
                }
                face.indices.push_back(index);
            }
        } else if (name == "M") {
            readInt(face.material);
        } else if (name == "UV") {
            face.uvs.reserve(reserveLimit(corners, kMinUvPairBytes));
            for (int32_t i = 0; i < corners; ++i) {
                UvPair pair;
                if (!readFloat(pair.u)) {
                    break;
                }
                readFloat(pair.v);
                face.uvs.push_back(pair);
            }
        } else {
            float dropped = 0.0f;
            readFloat(dropped);
        }
        skipPast(')');
        const int32_t next = peekByte();
        if (next < 0 || isLineBreak(next)) {
            return true;
        }
    }
}

bool MqoReader::readMaterial(Material& material) {
    material.diffuseColor[0] = 1.0f;
    material.diffuseColor[1] = 1.0f;
    material.diffuseColor[2] = 1.0f;
    readQuoted(material.name);
    std::string keyword;
    for (;;) {
        readToken(keyword);
        skipPast('(');
        if (keyword == "col") {
            for (float& channel : material.color) {
                readFloat(channel);
            }
        } else if (keyword == "dif") {
            readFloat(material.diffuse);
        } else if (keyword == "amb") {
            readFloat(material.ambient);
        } else if (keyword == "emi") {
            readFloat(material.emissive);
        } else if (keyword == "spc") {
            readFloat(material.specular);
        } else if (keyword == "power") {
            readFloat(material.power);
        } else if (keyword == "tex") {
            readQuoted(material.textureName);
        } else if (keyword == "aplane") {
            readQuoted(material.alphaPlaneName);
        } else if (keyword == "bump") {
            std::string dropped;
            readQuoted(dropped);
        } else {
            float dropped = 0.0f;
            readFloat(dropped);
        }
        skipPast(')');
        const int32_t next = peekByte();
        if (next < 0 || isLineBreak(next)) {
            return true;
        }
    }
}

}  // namespace tavo
