#include "formats/metasequoia/mqo_reader.h"

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

bool isDigit(int32_t c) {
    return c >= '0' && c <= '9';
}

// "Format Text Ver 1." followed by a digit: 1.0 and every later 1.x.
bool isTextVersion1(const char* line) {
    static const char kPrefix[] = "Format Text Ver 1.";
    return startsWith(line, kPrefix) && isDigit(static_cast<uint8_t>(line[sizeof kPrefix - 1]));
}

// A document's own text quoted in a message: printable ASCII only, at most
// 40 bytes, without the line break.
std::string excerpt(const char* text) {
    constexpr size_t kLimit = 40;
    std::string out;
    for (const char* p = text; *p != '\0' && *p != '\r' && *p != '\n'; ++p) {
        if (out.size() == kLimit) {
            return out + "...";
        }
        const auto c = static_cast<uint8_t>(*p);
        out += c >= 32 && c < 127 ? static_cast<char>(c) : '?';
    }
    return out;
}

std::string endsInside(const std::string& what) {
    return "the document ends inside " + what;
}

const char kInsideObject[] = "an Object chunk";

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
    if (!readHeader()) {
        return false;
    }
    std::string word;
    for (;;) {
        readToken(word);
        if (word.empty()) {
            return fail("the document ends before \"Eof\"");
        }
        if (word == "Eof") {
            return true;
        }
        if (word == "Object") {
            ModelObject object;
            readQuoted(object.name);
            if (!skipPast('{') || !readObject(object, scale)) {
                return fail(endsInside(kInsideObject));
            }
            model.objects.push_back(std::move(object));
        } else if (word == "Material") {
            if (!readMaterialChunk(textures, model)) {
                return false;
            }
        } else if (word == "CodePage") {
            readCodePage(model);
        } else if (!skipStatement()) {
            // Thumbnail, Scene, BackImage, IncludeXml and whatever else:
            // a line, or a block with all it nests.
            return fail(endsInside("the \"" + excerpt(word.c_str()) + "\" chunk"));
        }
    }
}

bool MqoReader::readHeader() {
    char text[kLineBufferSize];
    readLine(text, kLineBufferSize);
    if (!startsWith(text, "Metasequoia Document")) {
        return failAt(1,
                      "not a Metasequoia document (the first line is not \"Metasequoia Document\")");
    }
    if (readLine(text, kLineBufferSize) == 0) {
        return fail("the document ends before its format line");
    }
    if (startsWith(text, "Format Compress")) {
        return failAt(2, "Format Compress documents are not read; save the model as text");
    }
    if (!isTextVersion1(text)) {
        return failAt(2, "\"" + excerpt(text) +
                             "\" is not read; the format line must be \"Format Text Ver 1.x\"");
    }
    return true;
}

void MqoReader::readCodePage(Model& model) {
    std::string name;
    readToken(name);
    model.nameEncoding = name == "utf8" || name == "UTF8" || name == "utf-8" || name == "UTF-8"
                             ? TextEncoding::Utf8
                             : TextEncoding::Cp932;
    skipStatement();
}

bool MqoReader::readMaterialChunk(TextureManager& textures, Model& model) {
    int32_t count = 0;
    readInt(count, "the material count");
    if (!skipPast('{')) {
        return fail(endsInside("the material chunk"));
    }
    model.materials.reserve(model.materials.size() + reserveLimit(count, kMinMaterialBytes));
    for (int32_t i = 0; i < count; ++i) {
        skipBlanks();
        if (atEnd()) {
            return fail(endsInside("the material chunk"));
        }
        if (peekByte() == '}') {
            return fail("the material chunk ends before its " + std::to_string(count) +
                        " materials");
        }
        Material material;
        readMaterial(material);
        if (!material.textureName.empty()) {
            textures.setNameEncoding(model.nameEncoding);
            material.textureIndex = textures.createTexture(material.textureName.c_str(), 0, 1, false);
        }
        model.materials.push_back(std::move(material));
    }
    return skipPast('}') || fail(endsInside("the material chunk"));
}

bool MqoReader::readObject(ModelObject& object, float scale) {
    bool ended = false;
    if (readObjectHead(object, scale, ended) && findFaceChunk(ended)) {
        if (!readFaceChunk(object) || !finishObject()) {
            return false;
        }
        ended = true;
    }
    if (!ended) {
        return false;
    }
    object.buildGroups();
    object.computeNormals();
    return true;
}

bool MqoReader::readObjectHead(ModelObject& object, float scale, bool& ended) {
    std::string word;
    for (;;) {
        readToken(word);
        if (word.empty()) {
            return false;
        }
        if (word == "}") {
            ended = true;  // an object without vertices
            return false;
        }
        if (word == "vertex") {
            return readTextVertices(object, scale);
        }
        if (word == "BVertex") {
            return readRawVertices(object);
        }
        if (word == "visible") {
            readInt(object.visible, "the object's visible value");
        }
        if (!skipStatement()) {
            return false;
        }
    }
}

bool MqoReader::findFaceChunk(bool& ended) {
    std::string word;
    for (;;) {
        skipBlanks();
        if (atEnd()) {
            return false;
        }
        if (peekByte() == '}') {
            readByte();
            ended = true;  // an object without a face chunk
            return false;
        }
        readToken(word);
        if (atLineEnd()) {
            continue;  // a one-word line
        }
        const int32_t next = peekByte();
        if (isDigit(next) || next == '-') {
            return true;  // a word and a count: the face chunk
        }
        // A block without a count (vertexattr { uid { ... } weit { ... } })
        // or an attribute line.
        if (!skipStatement()) {
            return false;
        }
    }
}

bool MqoReader::readFaceChunk(ModelObject& object) {
    int32_t count = 0;
    readInt(count, "the face count");
    object.faces.reserve(reserveLimit(count, kMinFaceBytes));
    if (!skipPast('{')) {
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        skipBlanks();
        if (atEnd()) {
            return false;
        }
        if (peekByte() == '}') {
            return fail("the face chunk ends before its " + std::to_string(count) + " faces");
        }
        Face face;
        readFace(face);
        object.addFace(face);
    }
    return skipPast('}');
}

bool MqoReader::finishObject() {
    std::string word;
    for (;;) {
        skipBlanks();
        if (atEnd()) {
            return false;
        }
        if (peekByte() == '}') {
            readByte();
            return true;
        }
        readToken(word);
        if (!skipStatement()) {
            return false;
        }
    }
}

bool MqoReader::readTextVertices(ModelObject& object, float scale) {
    int32_t count = 0;
    readInt(count, "the vertex count");
    object.vertices.reserve(reserveLimit(count, kMinTextVertexBytes));
    if (!skipPast('{')) {
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        Vec3 v;
        // A vertex without any number means the list ended early.
        if (!readFloatIfAny(v.x)) {
            break;
        }
        readFloat(v.y, "the vertex's y");
        readFloat(v.z, "the vertex's z");
        object.addVertex(Vec3(v.x * scale, v.y * scale, v.z * scale));
    }
    return skipPast('}');
}

bool MqoReader::readRawVertices(ModelObject& object) {
    int32_t count = 0;
    readInt(count, "the vertex byte count");
    object.vertices.reserve(reserveLimit(count, kRawVertexBytes));
    skipPast('\n');  // rest of the "BVertex" line
    skipPast('\n');  // the "Vector" line
    for (int32_t i = 0; i < count; ++i) {
        uint8_t bytes[kRawVertexBytes];
        if (readRaw(bytes, kRawVertexBytes) != kRawVertexBytes) {
            break;
        }
        object.addVertex(
            Vec3(littleEndianFloat(bytes), littleEndianFloat(bytes + 4), littleEndianFloat(bytes + 8)));
    }
    return skipPast('}');
}

bool MqoReader::readFace(Face& face) {
    int32_t corners = 0;
    readInt(corners, "the face's corner count");
    if (atLineEnd()) {
        return true;  // a corner count without attributes
    }
    std::string name;
    for (;;) {
        readToken(name);
        skipPast('(');
        if (name == "V") {
            face.indices.reserve(reserveLimit(corners, kMinIndexBytes));
            for (int32_t i = 0; i < corners; ++i) {
                int32_t index = 0;
                if (!readIntIfAny(index)) {
                    break;
                }
                face.indices.push_back(index);
            }
        } else if (name == "M") {
            readInt(face.material, "the face's material");
        } else if (name == "UV") {
            face.uvs.reserve(reserveLimit(corners, kMinUvPairBytes));
            for (int32_t i = 0; i < corners; ++i) {
                UvPair pair;
                if (!readFloatIfAny(pair.u)) {
                    break;
                }
                readFloat(pair.v, "the corner's v");
                face.uvs.push_back(pair);
            }
        } else {
            // UID(...), COL(...), CRS(...) and any other face attribute.
            float dropped = 0.0f;
            readFloatIfAny(dropped);
        }
        skipAttributeRest();
        if (atLineEnd()) {
            return true;
        }
    }
}

bool MqoReader::readMaterial(Material& material) {
    material.diffuseColor[0] = 1.0f;
    material.diffuseColor[1] = 1.0f;
    material.diffuseColor[2] = 1.0f;
    readQuoted(material.name);
    if (atLineEnd()) {
        return true;  // a name without attributes
    }
    std::string keyword;
    for (;;) {
        readToken(keyword);
        skipPast('(');
        if (keyword == "col") {
            for (float& channel : material.color) {
                readFloat(channel, "the material's colour");
            }
        } else if (keyword == "dif") {
            readFloat(material.diffuse, "the material's dif");
        } else if (keyword == "amb") {
            readFloat(material.ambient, "the material's amb");
        } else if (keyword == "emi") {
            readFloat(material.emissive, "the material's emi");
        } else if (keyword == "spc") {
            readFloat(material.specular, "the material's spc");
        } else if (keyword == "power") {
            readFloat(material.power, "the material's power");
        } else if (keyword == "tex") {
            readQuoted(material.textureName);
        } else if (keyword == "aplane") {
            readQuoted(material.alphaPlaneName);
        } else if (keyword == "bump") {
            std::string dropped;
            readQuoted(dropped);
        } else {
            // UID(...), COL(...), CRS(...) and any other face attribute.
            float dropped = 0.0f;
            readFloatIfAny(dropped);
        }
        skipAttributeRest();
        if (atLineEnd()) {
            return true;
        }
    }
}

}  // namespace tavo
