#include "formats/metasequoia/mqo_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/memory_stream.h"
#include "resources/texture_manager.h"

namespace tavo {
namespace {

const char kHeader[] = "Metasequoia Document\nFormat Text Ver 1.0\n\n";

// A small document with everything the reader knows and two chunks it skips.
// The second material's name is マテリアル[1] in code page 932.
const char kDocument[] =
    "Metasequoia Document\n"
    "Format Text Ver 1.0\n"
    "\n"
    "Scene {\n"
    "\tpos 0.0000 0.0000 1500.0000\n"
    "\tambient 0.250 0.250 0.250\n"
    "}\n"
    "Material 3 {\n"
    "\t\"mat1\" col(1.000 1.000 1.000 1.000) dif(0.800) amb(1.000) emi(0.000) spc(0.000) "
    "power(5.00) tex(\"tavo.png\")\n"
    "\t\"\x83\x7D\x83\x65\x83\x8A\x83\x41\x83\x8B[1]\" col(0.500 0.200 0.100 0.360) dif(0.600) "
    "amb(0.400) emi(0.100) spc(0.200) power(30.00) bump(\"b.png\") reflect(0.5 0.7)\n"
    "\t\"m3\" col(0 0 0 1) tex(\"tavo.png\") aplane(\"a.png\")\n"
    "}\n"
    "object \"lower\" {\n"
    "\tdepth 0\n"
    "}\n"
    "Object \"sdef:body\" {\n"
    "\tdepth 0\n"
    "\tvisible 15\n"
    "\tfacet 59.5\n"
    "\tvertex 5 {\n"
    "\t\t0.0000 0.0000 0.0000\n"
    "\t\t1.5 -2 0.25\n"
    "\t\t0 1 0\n"
    "\t\t1 1 0\n"
    "\t\t-.5 25 0\n"
    "\t}\n"
    "\tface 4 {\n"
    "\t\t3 V(0 1 2) M(2) UV(0.38665 0.02263 0.38649 0.03200 0.38625 0.02165)\n"
    "\t\t4 V(0 1 3 2)\n"
    "\t\t2 V(1 4) M(0)\n"
    "\t\t3 V(2 1 0) M(-1)\n"
    "\t}\n"
    "}\n"
    "Eof\n";

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

struct Loaded {
    bool ok = false;
    Model model;
    TextureManager textures;
};

void load(const std::string& text, Loaded& out, float scale = 1.0f) {
    MemoryStream stream;
    stream.attach(text.data(), static_cast<int32_t>(text.size()));
    MqoReader reader;
    out.ok = reader.readModel(&stream, out.textures, out.model, scale);
}

void expectSmallDocument(const Loaded& loaded) {
    ASSERT_TRUE(loaded.ok);
    const Model& model = loaded.model;

    ASSERT_EQ(model.materials.size(), 3u);
    const Material& first = model.materials[0];
    EXPECT_EQ(first.name, "mat1");
    EXPECT_EQ(first.color[0], 1.0f);
    EXPECT_EQ(first.color[3], 1.0f);
    EXPECT_EQ(first.diffuse, 0.8f);
    EXPECT_EQ(first.ambient, 1.0f);
    EXPECT_EQ(first.power, 5.0f);
    EXPECT_EQ(first.textureName, "tavo.png");
    EXPECT_EQ(first.textureIndex, 0);
    EXPECT_EQ(first.diffuseColor[1], 1.0f);

    const Material& second = model.materials[1];
    EXPECT_EQ(second.name, "\x83\x7D\x83\x65\x83\x8A\x83\x41\x83\x8B[1]");
    EXPECT_EQ(second.color[3], 0.36f);
    EXPECT_EQ(second.emissive, 0.1f);
    EXPECT_EQ(second.specular, 0.2f);
    EXPECT_EQ(second.power, 30.0f);
    EXPECT_EQ(second.textureName, "");
    EXPECT_EQ(second.textureIndex, -1);

    const Material& third = model.materials[2];
    EXPECT_EQ(third.textureIndex, first.textureIndex);  // same name, one texture
    EXPECT_EQ(third.alphaPlaneName, "a.png");
    EXPECT_EQ(loaded.textures.textureCount(), 1);

    ASSERT_EQ(model.objects.size(), 1u);  // "Scene" and "object" are skipped
    const ModelObject& object = model.objects[0];
    EXPECT_EQ(object.name, "sdef:body");
    EXPECT_EQ(object.visible, 15);
    ASSERT_EQ(object.vertices.size(), 5u);
    EXPECT_EQ(object.vertices[4].x, -0.5f);
    EXPECT_EQ(object.vertices[4].y, 25.0f);

    ASSERT_EQ(object.faces.size(), 4u);
    const Face& textured = object.faces[0];
    EXPECT_EQ(textured.material, 2);
    EXPECT_EQ(textured.indices, (std::vector<int32_t>{0, 1, 2}));
    ASSERT_EQ(textured.uvs.size(), 3u);
    EXPECT_EQ(textured.uvs[2].u, 0.38625f);
    EXPECT_EQ(textured.uvs[2].v, 0.02165f);
    EXPECT_EQ(object.faces[1].material, -1);
    EXPECT_EQ(object.faces[1].indices.size(), 4u);
    EXPECT_TRUE(object.faces[1].uvs.empty());
    EXPECT_EQ(object.faces[2].indices, (std::vector<int32_t>{1, 4}));
    EXPECT_EQ(object.faces[3].material, -1);

    // Groups and normals are ready when the reader returns.
    ASSERT_EQ(object.triangleGroups.size(), 2u);
    EXPECT_EQ(object.triangleGroups[0].size(), 3u);
    EXPECT_EQ(object.triangleGroups[1][0].material, 2);
    ASSERT_EQ(object.lineGroups.size(), 1u);
    EXPECT_EQ(object.lineGroups[0][0].material, 0);
    ASSERT_EQ(object.normals.size(), 5u);
    EXPECT_EQ(object.normals[4].x, 1.0f);  // used by the line only
}

TEST(MqoReaderTest, ReadsTheSmallDocumentWithLfAndCrLfLineEnds) {
    {
        Loaded lf;
        load(kDocument, lf);
        expectSmallDocument(lf);
    }
    {
        Loaded crlf;
        load(withCrLf(kDocument), crlf);
        expectSmallDocument(crlf);
    }
}

TEST(MqoReaderTest, TextVerticesAreScaledRawVerticesAreNot) {
    Loaded text;
    load(kDocument, text, 2.0f);
    ASSERT_TRUE(text.ok);
    const Vec3& v = text.model.objects[0].vertices[1];
    EXPECT_EQ(v.x, 3.0f);
    EXPECT_EQ(v.y, -4.0f);
    EXPECT_EQ(v.z, 0.5f);

    // Raw floats whose bytes include "}", a line feed and a carriage return.
    const uint32_t bits[6] = {0x3F7D0A7Du, 0x0D7D0A00u, 0xC0000000u, 0x3FC00000u, 0x00000000u,
                              0x3E800000u};
    std::string raw;
    for (uint32_t b : bits) {
        for (int k = 0; k < 4; ++k) {
            raw += static_cast<char>((b >> (8 * k)) & 0xFF);
        }
    }
    const std::string document = std::string(kHeader) +
                                 "Object \"raw\" {\r\n\tvisible 0\r\n\tBVertex 2 {\r\n"
                                 "\t\tVector 24 [24]\r\n" +
                                 raw + "\r\n\t}\r\n\tface 1 {\r\n\t\t2 V(0 1)\r\n\t}\r\n}\r\nEof\r\n";
    Loaded binary;
    load(document, binary, 2.0f);
    ASSERT_TRUE(binary.ok);
    const ModelObject& object = binary.model.objects[0];
    ASSERT_EQ(object.vertices.size(), 2u);
    float expected[6];
    std::memcpy(expected, bits, sizeof expected);
    EXPECT_EQ(object.vertices[0].x, expected[0]);
    EXPECT_EQ(object.vertices[0].y, expected[1]);
    EXPECT_EQ(object.vertices[0].z, -2.0f);
    EXPECT_EQ(object.vertices[1].x, 1.5f);
    EXPECT_EQ(object.vertices[1].z, 0.25f);
    ASSERT_EQ(object.faces.size(), 1u);
    EXPECT_EQ(object.lineGroups.size(), 1u);
}

TEST(MqoReaderTest, HeaderLinesAreComparedByPrefix) {
    struct Case {
        std::string head;
        bool accepted;
    };
    const Case cases[] = {
        {"Metasequoia Document\r\nFormat Text Ver 1.0\r\n", true},
        {"Metasequoia Document and more\nFormat Text Ver 1.0 trailing\n", true},
        {"Metasequoia Document" + std::string(400, '!') + "\nFormat Text Ver 1.0\n", true},
        {"Metasequoia Document\nFormat Text Ver 1.1\n", true},
        {"Metasequoia Document\nFormat Text Ver 1.12\r\n", true},
        {"Metasequoia Document\nFormat Text Ver 1.\n", false},
        {"Metasequoia Document\nFormat Text Ver 2.0\n", false},
        {"Metasequoia Document\nFormat Compress Ver 1.1\n", false},
        {"Metasequoia Documen\nFormat Text Ver 1.0\n", false},
        {"Format Text Ver 1.0\nMetasequoia Document\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        Loaded loaded;
        load(c.head + "Eof\n", loaded);
        EXPECT_EQ(loaded.ok, c.accepted) << c.head;
    }
}

TEST(MqoReaderTest, EmptyAndNegativeCountsReadNothing) {
    const std::string document = std::string(kHeader) +
                                 "Material 0 {\n}\n"
                                 "Material -1 {\n}\n"
                                 "Object \"a\" {\n\tvertex -3 {\n\t}\n\tface -2 {\n\t}\n}\n"
                                 "Object \"b\" {\n\tBVertex -1 {\n\t\tVector 0 [0]\n\t}\n"
                                 "\tface 0 {\n\t}\n}\n"
                                 "Eof\n";
    Loaded loaded;
    load(document, loaded);
    ASSERT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.model.materials.empty());
    ASSERT_EQ(loaded.model.objects.size(), 2u);
    for (const ModelObject& object : loaded.model.objects) {
        EXPECT_TRUE(object.vertices.empty());
        EXPECT_TRUE(object.faces.empty());
        EXPECT_TRUE(object.triangleGroups.empty());
        EXPECT_TRUE(object.lineGroups.empty());
    }
    EXPECT_EQ(loaded.model.objects[1].name, "b");
}

TEST(MqoReaderTest, HugeDeclaredCountsReserveOnlyWhatTheDataCouldHold) {
    // Reserving 2,000,000,000 entries up front would need tens of gigabytes.
    Loaded vertices;
    load(std::string(kHeader) +
             "Object \"a\" {\n\tvertex 2000000000 {\n\t\t1 2 3\n\t}\n"
             "\tface 1 {\n\t\t2000000000 V(0 0 0) UV(0 0)\n\t}\n}\nEof\n",
         vertices);
    ASSERT_TRUE(vertices.ok);
    const ModelObject& object = vertices.model.objects[0];
    ASSERT_EQ(object.vertices.size(), 1u);
    EXPECT_LT(object.vertices.capacity(), 1000u);
    ASSERT_EQ(object.faces.size(), 1u);
    EXPECT_EQ(object.faces[0].indices.size(), 3u);
    EXPECT_LT(object.faces[0].indices.capacity(), 1000u);
    EXPECT_EQ(object.faces[0].uvs.size(), 1u);

    Loaded faces;
    load(std::string(kHeader) +
             "Object \"a\" {\n\tvertex 0 {\n\t}\n\tface 2000000000 {\n\t\t3 V(0 0 0)\n\t}\n}\n",
         faces);
    EXPECT_FALSE(faces.ok);

    Loaded materials;
    load(std::string(kHeader) + "Material 2000000000 {\n\t\"m\" dif(1)\n}\n", materials);
    EXPECT_FALSE(materials.ok);
    ASSERT_FALSE(materials.model.materials.empty());
    EXPECT_EQ(materials.model.materials[0].name, "m");
    EXPECT_LT(materials.model.materials.capacity(), 1000u);
}

TEST(MqoReaderTest, EveryPrefixOfADocumentEndsWithoutEof) {
    for (const std::string& text : {std::string(kDocument), withCrLf(kDocument)}) {
        const size_t eof = text.find("Eof");
        for (size_t cut = 0; cut <= text.size(); ++cut) {
            Loaded loaded;
            load(text.substr(0, cut), loaded);
            EXPECT_EQ(loaded.ok, cut >= eof + 3) << "cut at " << cut;
        }
    }
}

TEST(MqoReaderTest, DataAfterEofIsNotRead) {
    Loaded loaded;
    load(std::string(kHeader) + "Eof\nObject \"late\" {\n", loaded);
    EXPECT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.model.objects.empty());
}

}  // namespace
}  // namespace tavo

namespace tavo {
namespace {

// Every byte of the document replaced in turn by bytes that steer the
// scanner (braces, quotes, parentheses, line breaks, signs, digits): the
// reader must come back each time, with every face index either inside its
// object's vertex list or left out of the normals.
TEST(MqoReaderTest, CorruptedDocumentsNeverHangOrCrash) {
    const std::string original = kDocument;
    const char replacements[] = {'}', '{', '"', '(', ')', '\n', '-', '9', '\0', '\xFF'};
    for (size_t at = 0; at < original.size(); ++at) {
        for (char replacement : replacements) {
            std::string text = original;
            text[at] = replacement;
            Loaded loaded;
            load(text, loaded);
            for (const ModelObject& object : loaded.model.objects) {
                EXPECT_EQ(object.normals.size(), object.vertices.size());
            }
        }
    }
}

}  // namespace
}  // namespace tavo
