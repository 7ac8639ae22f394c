// Documents written by current modellers (Format Text Ver 1.1 and later),
// and the reasons and lines the reader gives for documents it refuses.

#include <gtest/gtest.h>

#include <string>

#include "model/mqo_reader.h"
#include "resources/memory_stream.h"
#include "resources/texture_manager.h"

namespace tavo {
namespace {

std::string thumbnail() {
    std::string text = "Thumbnail 128 128 24 rgb raw {\n";
    for (int row = 0; row < 128; ++row) {
        for (int pixel = 0; pixel < 128; ++pixel) {
            text += "ffa040";
        }
        text += "\n";
    }
    return text + "}\n";
}

// Every construct of a Ver 1.1 document around two materials and one object
// holding a pentagon, a triangle and a hexagon. Names are UTF-8.
std::string newerDocument() {
    return "Metasequoia Document\n"
           "Format Text Ver 1.1\n"
           "\n" +
           thumbnail() +
           "IncludeXml \"lantern{x}.mqx\"\n"
           "CodePage utf8\n"
           "Scene {\n"
           "\tpos 0.0000 0.0000 1500.0000\n"
           "\tamb 0.250 0.250 0.250\n"
           "\tdirlights 2 {\n"
           "\t\tlight {\n"
           "\t\t\tdir 0.408 0.408 0.816\n"
           "\t\t\tcolor 1.000 1.000 1.000\n"
           "\t\t}\n"
           "\t\tlight {\n"
           "\t\t\tdir -0.577 0.577 0.577\n"
           "\t\t\tcolor 0.500 0.500 0.500\n"
           "\t\t}\n"
           "\t}\n"
           "}\n"
           "BackImage {\n"
           "\tpers \"back}.png\" 0 0 640 480\n"
           "}\n"
           "Material 2 {\n"
           "\t\"ランタン\" uid(1) shader(3) vcol(1) dbls(1) col(1.000 0.600 0.200 1.000) "
           "dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00) tex(\"lamp.png\") "
           "aplane(\"lamp_a.png\") bump(\"lamp(n).png\") proj_type(1) proj_pos(0.000 0.000 0.000) "
           "proj_scale(1.000 1.000 1.000) proj_angle(0.000 0.000 0.000)\n"
           "\t\"glass\" uid(2) shader(2) col(0.800 0.900 1.000 0.500) dif(1.000) "
           "reflect(0.5) name(\"a)b\") \n"
           "}\n"
           "MaterialEx2 {\n"
           "\tmaterial 0 {\n"
           "\t\tshaderparam {\n"
           "\t\t\tfloat Gloss 0.5\n"
           "\t\t}\n"
           "\t}\n"
           "}\n"
           "Object \"胴体\" {\n"
           "\tuid 7\n"
           "\tdepth 0\n"
           "\tfolding 0\n"
           "\tscale 1.000000 1.000000 1.000000\n"
           "\trotation 0.000000 0.000000 0.000000\n"
           "\ttranslation 0.000000 0.000000 0.000000\n"
           "\tpatch 0\n"
           "\tsegment 1\n"
           "\tvisible 15\n"
           "\tshading 1\n"
           "\tfacet 59.5\n"
           "\tnormal_weight 1\n"
           "\tcolor 0.898 0.498 0.698\n"
           "\tmirror 1\n"
           "\tmirror_axis 1\n"
           "\tlathe 0\n"
           "\tvertex 6 {\n"
           "\t\t0.0000 0.0000 0.0000\n"
           "\t\t10.0000 0.0000 0.0000\n"
           "\t\t13.0000 9.5000 0.0000\n"
           "\t\t5.0000 15.4000 0.0000\n"
           "\t\t-3.0000 9.5000 0.0000\n"
           "\t\t5.0000 5.0000 -8.0000\n"
           "\t}\n"
           "\tvertexattr {\n"
           "\t\tuid {\n"
           "\t\t\t1\n\t\t\t2\n\t\t\t3\n\t\t\t4\n\t\t\t5\n\t\t\t6\n"
           "\t\t}\n"
           "\t\tweit {\n"
           "\t\t\t5 0.500\n"
           "\t\t}\n"
           "\t\tcolor {\n"
           "\t\t\t0 4294967295\n"
           "\t\t}\n"
           "\t}\n"
           "\tface 3 {\n"
           "\t\t5 V(0 1 2 3 4) M(0) UV(0.5 1 1 0.6 0.8 0 0.2 0 0 0.6) UID(1) "
           "COL(4294967295 4294967295 4294967295 4294967295 4294967295)\n"
           "\t\t3 V(0 5 1) M(1) UID(2) CRS(0 0 0)  \n"
           "\t\t6 V(0 1 2 3 4 5) M(1) UID(3)\n"
           "\t}\n"
           "}\n"
           "Object \"empty\" {\n"
           "\tuid 8\n"
           "\tvertex 0 {\n"
           "\t}\n"
           "}\n"
           "Eof\n";
}

struct Loaded {
    bool ok = false;
    ReadError error;
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

        ASSERT_EQ(model.objects.size(), 2u);
        const ModelObject& body = model.objects[0];
        EXPECT_EQ(body.name, "胴体");
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
        EXPECT_EQ(model.objects[1].name, "empty");
        EXPECT_TRUE(model.objects[1].faces.empty());
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
