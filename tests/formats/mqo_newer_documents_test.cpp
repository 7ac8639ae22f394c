// Documents written by current modellers (Format Text Ver 1.1 and later),
// and the reasons and lines the reader gives for documents it refuses.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "formats/metasequoia/mqo_reader.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"

namespace tavo {
namespace {

// The fuzzing seed written like a current modeller's document: every newer
// construct around two materials, a bone object and an object holding a
// pentagon, a triangle and a hexagon; names in UTF-8. Its small thumbnail
// is widened to the full 128 lines of 768 hex digits.
std::string newerDocument() {
    std::ifstream file(std::string(TAVO_SOURCE_DIR) + "/tests/fuzz/seeds/lantern_ver11.mqo",
                       std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::string thumbnail = "Thumbnail 128 128 24 rgb raw {\n";
    for (int row = 0; row < 128; ++row) {
        for (int pixel = 0; pixel < 128; ++pixel) {
            thumbnail += "ffa040";
        }
        thumbnail += "\n";
    }
    const size_t from = text.find("Thumbnail");
    const size_t to = text.find("}\n", from);
    return to == std::string::npos ? "" : text.replace(from, to - from, thumbnail);
}

struct Loaded {
    bool ok = false;
    LoadError error;
    Model model;
    TextureManager textures;
};

void load(const std::string& text, Loaded& out) {
    MemoryStream stream;
    stream.attach(text.data(), static_cast<int32_t>(text.size()));
    MqoReader reader;
    out.ok = reader.readModel(&stream, out.textures, out.model, 1.0f);
    out.error = reader.error();
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return out;
}

TEST(MqoNewerDocuments, AVer11DocumentReadsCompletely) {
    for (const std::string& text : {newerDocument(), crlf(newerDocument())}) {
        Loaded loaded;
        load(text, loaded);
        ASSERT_TRUE(loaded.ok) << loaded.error.describe();
        EXPECT_TRUE(loaded.error.empty());
        const Model& model = loaded.model;
        EXPECT_EQ(model.nameEncoding, TextEncoding::Utf8);

        ASSERT_EQ(model.materials.size(), 2u);
        const Material& lamp = model.materials[0];
        EXPECT_EQ(lamp.name, "ランタン");
        EXPECT_EQ(lamp.color[1], 0.6f);
        EXPECT_EQ(lamp.power, 5.0f);
        EXPECT_EQ(lamp.textureName, "lamp.png");
        EXPECT_EQ(lamp.alphaPlaneName, "lamp_a.png");
        EXPECT_EQ(model.materials[1].name, "glass");
        EXPECT_EQ(model.materials[1].color[3], 0.5f);

        ASSERT_EQ(model.objects.size(), 3u);
        const ModelObject& body = model.objects[1];
        EXPECT_EQ(body.name, "m胴体-ランタン");
        EXPECT_EQ(body.visible, 15);
        ASSERT_EQ(body.vertices.size(), 6u);
        EXPECT_EQ(body.vertices[5].z, -8.0f);
        ASSERT_EQ(body.faces.size(), 3u);
        EXPECT_EQ(body.faces[0].uvs.size(), 5u);
        EXPECT_EQ(body.faces[1].indices, (std::vector<int32_t>{0, 5, 1}));
        EXPECT_EQ(body.faces[2].indices.size(), 6u);
        // Pentagon: 3 triangles with UVs; triangle and hexagon: 1 + 4.
        ASSERT_EQ(body.triangleGroups.size(), 2u);
        EXPECT_EQ(body.triangleGroups[0].size(), 3u);
        EXPECT_TRUE(body.triangleGroups[0][2].hasUV);
        EXPECT_EQ(body.triangleGroups[0][2].uvs[2].v, 0.6f);
        EXPECT_EQ(body.triangleGroups[1].size(), 5u);
        EXPECT_EQ(model.objects[2].name, "empty");
        EXPECT_TRUE(model.objects[2].faces.empty());
    }
}

TEST(MqoNewerDocuments, NamesStayCodePage932WithoutACodePageLine) {
    Loaded loaded;
    load("Metasequoia Document\nFormat Text Ver 1.1\nCodePage 932\nEof\n", loaded);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.model.nameEncoding, TextEncoding::Cp932);
}

// Each broken document gives its reason and the line where it shows, the
// same with either line break.
TEST(MqoNewerDocuments, RefusedDocumentsSayWhyAndWhere) {
    const std::string head = "Metasequoia Document\nFormat Text Ver 1.1\n";
    const std::string object = "Object \"o\" {\n\tvertex 3 {\n\t\t0 0 0\n\t\t1 0 0\n\t\t0 1 0\n\t}\n";
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"Metasequoia Document\nFormat Compress Ver 1.1\n",
         "line 2: Format Compress documents are not read; save the model as text"},
        {"Metasequoia Document\nFormat Text Ver 2.0\n",
         "line 2: \"Format Text Ver 2.0\" is not read; the format line must be "
         "\"Format Text Ver 1.x\""},
        {"MQO\n", "line 1: not a Metasequoia document (the first line is not "
                  "\"Metasequoia Document\")"},
        {head + object + "\tface 3 {\n\t\t3 V(0 1 2)\n\t}\n}\nEof\n",
         "line 11: the face chunk ends before its 3 faces"},
        {head + "Material 2 {\n\t\"a\" col(1 1 1 1)\n}\nEof\n",
         "line 5: the material chunk ends before its 2 materials"},
        {head + "Scene {\n\tdirlights 1 {\n\t\tlight {\n\t\t}\n\t}\nEof\n",
         "line 8: the document ends inside the \"Scene\" chunk"},
        {head + object + "\tface 1 {\n\t\t3 V(0 1 2)\n", "line 10: the document ends inside an "
                                                          "Object chunk"},
        {head + "CodePage utf8\n", "line 3: the document ends before \"Eof\""},
    };
    for (const Case& c : cases) {
        for (const std::string& text : {c.text, crlf(c.text)}) {
            Loaded loaded;
            load(text, loaded);
            EXPECT_FALSE(loaded.ok) << c.text;
            EXPECT_EQ(loaded.error.describe(), c.message) << c.text;
        }
    }
}

}  // namespace
}  // namespace tavo
