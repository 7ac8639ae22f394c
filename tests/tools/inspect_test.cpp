#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "inspect_json.h"
#include "support/png_writer.h"

namespace tavo {
namespace {

using test::JsonParser;
using test::JsonValue;

// Material and bone "胸", rigid object "m体-胸", anchor piece "幽霊" (no such
// bone), in code page 932 as a model file holds them.
const char kChest[] = "\x8B\xB9";
const char kBody[] = "\x91\xCC";
const char kGhost[] = "\x97\x48\x97\xEC";

std::string rigText() {
    std::string t =
        "Metasequoia Document\r\n"
        "Format Text Ver 1.0\r\n"
        "Material 3 {\r\n";
    t += std::string("\t\"") + kChest + "\" col(1.000 0.500 0.250 1.000) dif(0.800)\r\n";
    t += "\t\"skin\" col(1.000 1.000 1.000 0.360) dif(0.800) tex(\"missing.png\")\r\n";
    t += std::string("\t\"") + kGhost + "\" col(0.000 0.000 0.000 1.000) dif(0.800)\r\n";
    t += "}\r\n"
         "Object \"bone\" {\r\n"
         "\tvisible 0\r\n"
         "\tvertex 3 {\r\n"
         "\t\t0 0 0\r\n\t\t0 5 0\r\n\t\t0 0 1\r\n"
         "\t}\r\n"
         "\tface 1 {\r\n"
         "\t\t3 V(0 2 1) M(0)\r\n"
         "\t}\r\n"
         "}\r\n";
    t += std::string("Object \"m") + kBody + "-" + kChest + "\" {\r\n";
    t += "\tvisible 15\r\n"
         "\tvertex 3 {\r\n"
         "\t\t0 0 0\r\n\t\t0 5 0\r\n\t\t1 0 0\r\n"
         "\t}\r\n"
         "\tface 1 {\r\n"
         "\t\t3 V(0 1 2) M(1)\r\n"
         "\t}\r\n"
         "}\r\n"
         "Object \"sdef:band\" {\r\n"
         "\tvisible 15\r\n"
         "\tvertex 4 {\r\n"
         "\t\t1 1 0.5\r\n\t\t-1 1.5 0.5\r\n\t\t0 2 -0.5\r\n\t\t40 0 0\r\n"
         "\t}\r\n"
         "\tface 2 {\r\n"
         "\t\t3 V(0 1 2) M(1)\r\n"
         "\t\t2 V(2 3)\r\n"
         "\t}\r\n"
         "}\r\n"
         "Object \"anchor|band\" {\r\n"
         "\tvisible 0\r\n"
         "\tvertex 16 {\r\n";
    for (float x0 : {-3.0f, 10.0f}) {
        for (int c = 0; c < 8; ++c) {
            char line[64];
            std::snprintf(line, sizeof(line), "\t\t%g %g %g\r\n", (c & 1) ? x0 + 6 : x0,
                          (c & 2) ? 4.0 : -1.0, (c & 4) ? 2.0 : -2.0);
            t += line;
        }
    }
    t += "\t}\r\n\tface 12 {\r\n";
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 4, 6, 2},
                             {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}};
    for (int box = 0; box < 2; ++box) {
        for (const auto& q : quads) {
            char line[64];
            std::snprintf(line, sizeof(line), "\t\t4 V(%d %d %d %d) M(%d)\r\n", q[0] + 8 * box,
                          q[1] + 8 * box, q[2] + 8 * box, q[3] + 8 * box, box * 2);
            t += line;
        }
    }
    t += "\t}\r\n}\r\n"
         "Object \"broken\" {\r\n"
         "\tvisible 15\r\n"
         "\tvertex 3 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n\t}\r\n"
         "\tface 1 {\r\n\t\t3 V(0 1 7)\r\n\t}\r\n"
         "}\r\n"
         "Eof\r\n";
    return t;
}

// One motion: the chest held in its rest orientation, and a track for a
// bone that does not exist.
std::string motionText() {
    std::string t =
        "Mikoto Motion Ver 2\r\n"
        "Motion {\r\n"
        "\tname = \"stand\"\r\n"
        "\tendframe = 48\r\n"
        "\tloop = 1\r\n"
        "\tVector {\r\n"
        "\t\tname = \"j_root\"\r\n\t\tclass = Locate\r\n\t\tmember = pos\r\n\t\tcurve = spline\r\n"
        "\t\t0 (0.000000 0.000000 0.000000)\r\n"
        "\t}\r\n"
        "\tQuaternion {\r\n";
    t += std::string("\t\tname = \"") + kChest + "\"\r\n";
    t += "\t\tclass = Bone\r\n\t\tmember = rot\r\n\t\tcurve = spline\r\n"
         "\t\t0 (0.000000 0.707107 0.707107 0.000000)\r\n"
         "\t\t24 (0.000000 0.707107 0.707107 0.000000)\r\n"
         "\t}\r\n"
         "\tQuaternion {\r\n"
         "\t\tname = \"nobody\"\r\n\t\tclass = Bone\r\n\t\tmember = rot\r\n\t\tcurve = spline\r\n"
         "\t\t0 (0.000000 0.000000 0.000000 1.000000)\r\n"
         "\t}\r\n"
         "}\r\n"
         "Eof\r\n";
    return t;
}

struct RunResult {
    int status = -1;
    std::string out;
};

class InspectTool : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ::testing::TempDir() + "tavo_inspect_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::string command = "mkdir -p '" + dir_ + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        write("rig.mqo", rigText());
        write("rig.mkm", motionText());
    }

    void write(const std::string& name, const std::string& text) {
        std::ofstream file(path(name), std::ios::binary);
        file << text;
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    RunResult run(const std::string& arguments) const {
        const std::string command = std::string(TAVO_BINARY_DIR) +
                                    "/tools/inspect/tavo-inspect " + arguments + " 2>'" +
                                    path("stderr.txt") + "'";
        RunResult result;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) {
            return result;
        }
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
            result.out.append(buffer, got);
        }
        const int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }

    std::string errorText() const {
        std::ifstream file(path("stderr.txt"));
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    JsonValue runJson(const std::string& arguments) const {
        const RunResult result = run("--json " + arguments);
        EXPECT_EQ(result.status, 0) << errorText();
        JsonValue report;
        EXPECT_TRUE(JsonParser(result.out).parse(report)) << result.out;
        return report;
    }

    std::string dir_;
};

bool hasProblem(const JsonValue& report, const std::string& part) {
    for (const JsonValue& problem : report["problems"].items) {
        if (problem.text.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST_F(InspectTool, JsonReportDescribesTheRig) {
    const JsonValue report = runJson(path("rig.mqo") + " " + path("rig.mkm"));
    const JsonValue& materials = report["materials"];
    ASSERT_EQ(materials.items.size(), 3u);
    EXPECT_EQ(materials[0]["name"].text, "胸");
    EXPECT_TRUE(materials[0]["texture"].isNull());
    EXPECT_FLOAT_EQ(static_cast<float>(materials[0]["color"][2].number), 0.25f);
    EXPECT_EQ(materials[1]["texture"].text, "missing.png");
    EXPECT_EQ(materials[1]["textureIndex"].number, -1);
    EXPECT_FLOAT_EQ(static_cast<float>(materials[1]["color"][3].number), 0.36f);

    const JsonValue& objects = report["objects"];
    ASSERT_EQ(objects.items.size(), 5u);
    EXPECT_EQ(objects[1]["name"].text, "m体-胸");
    EXPECT_EQ(objects[2]["vertices"].number, 4);
    EXPECT_EQ(objects[2]["faces"].number, 2);
    EXPECT_EQ(objects[2]["triangles"].number, 1);
    EXPECT_EQ(objects[2]["lines"].number, 1);
    EXPECT_EQ(objects[2]["triangleGroups"][0].number, 1);
    EXPECT_EQ(objects[2]["lineGroups"][0].number, -1);
    EXPECT_EQ(objects[3]["triangles"].number, 24);

    const JsonValue& chest = report["skeleton"]["records"][0];
    EXPECT_EQ(chest["name"].text, "胸");
    EXPECT_FALSE(chest["link"].boolean);
    EXPECT_EQ(chest["parent"].number, -1);
    EXPECT_EQ(chest["head"].number, 0);
    EXPECT_EQ(chest["tip"].number, 1);
    EXPECT_EQ(chest["side"].number, 2);
    EXPECT_EQ(chest["rigidObjects"][0].text, "m体-胸");
    EXPECT_NEAR(std::fabs(chest["restRotation"][1].number), std::sqrt(0.5), 1e-6);
    EXPECT_EQ(report["skeleton"]["roots"].items.size(), 1u);

    const JsonValue& band = report["skinned"][0];
    EXPECT_EQ(band["object"].text, "sdef:band");
    ASSERT_EQ(band["pieces"].items.size(), 2u);
    EXPECT_EQ(band["pieces"][0]["bone"].number, 0);
    EXPECT_EQ(band["pieces"][1]["name"].text, "幽霊");
    EXPECT_EQ(band["pieces"][1]["bone"].number, -1);
    ASSERT_EQ(band["influences"].items.size(), 4u);
    EXPECT_EQ(band["influences"][0][0]["bone"].number, 0);
    EXPECT_EQ(band["influences"][0][0]["weight"].number, 1);
    EXPECT_TRUE(band["influences"][3].items.empty());

    const JsonValue& motion = report["motions"][0];
    EXPECT_EQ(motion["name"].text, "stand");
    EXPECT_EQ(motion["endFrame"].number, 48);
    EXPECT_EQ(motion["loop"].number, 1);
    EXPECT_EQ(motion["vectorTracks"][0]["keys"].number, 1);
    EXPECT_EQ(motion["quaternionTracks"][0]["bone"].number, 0);
    EXPECT_EQ(motion["quaternionTracks"][0]["keys"].number, 2);
    EXPECT_EQ(motion["quaternionTracks"][1]["bone"].number, -1);
    EXPECT_TRUE(report["pose"].isNull());

    EXPECT_TRUE(hasProblem(report, "rotation track \"nobody\" matches no bone"));
    EXPECT_TRUE(hasProblem(report, "1 vertices lie in no anchor piece"));
    EXPECT_TRUE(hasProblem(report, "anchor piece \"幽霊\" matches no bone"));
    EXPECT_TRUE(hasProblem(report, "object \"broken\": face 0 uses vertex 7"));
    EXPECT_TRUE(hasProblem(report, "only 1 motions"));
    EXPECT_TRUE(hasProblem(report, "\"missing.png\" failed to load: cannot read " + path("missing.png")));
    EXPECT_EQ(report["problems"].items.size(), 6u);
}

TEST_F(InspectTool, PoseGivesWorldTransformsAfterAnimating) {
    const JsonValue report =
        runJson("--pose 0 0.5 " + path("rig.mqo") + " " + path("rig.mkm"));
    const JsonValue& pose = report["pose"];
    EXPECT_EQ(pose["motion"].number, 0);
    EXPECT_EQ(pose["phase"].number, 0.5);
    EXPECT_EQ(pose["frame"].number, 24);
    ASSERT_EQ(pose["bones"].items.size(), 1u);
    // The key holds the rest orientation: the chest stands as modelled.
    const JsonValue& rest = report["skeleton"]["records"][0]["restRotation"];
    const JsonValue& rotation = pose["bones"][0]["rotation"];
    const double sign = rest[1].number * rotation[1].number < 0 ? -1.0 : 1.0;
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(rotation[i].number, sign * rest[i].number, 1e-5) << i;
    }
    EXPECT_NEAR(pose["bones"][0]["position"][1].number, 0.0, 1e-6);
}

TEST_F(InspectTool, TextReportNamesTheTreeAndTheProblems) {
    const RunResult result = run(path("rig.mqo") + " " + path("rig.mkm"));
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("\"胸\" [0]  rigid: \"m体-胸\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("with 0 influences: 1, with 1: 3, with 2 or more: 0"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Problems (6):"), std::string::npos) << result.out;
}

TEST_F(InspectTool, ModelAloneStillShowsTheSkeleton) {
    const JsonValue report = runJson(path("rig.mqo"));
    EXPECT_EQ(report["skeleton"]["records"].items.size(), 1u);
    EXPECT_TRUE(report["motions"].items.empty());
    EXPECT_FALSE(hasProblem(report, "motions"));
}

// A file that cannot be read exits with 1 and says which file, why and on
// which line, on stderr and, with --json, as an "error" object.
TEST_F(InspectTool, MissingOrRefusedFilesExitWithOneAndSayWhy) {
    EXPECT_EQ(run(path("absent.mqo")).status, 1);
    EXPECT_NE(errorText().find(path("absent.mqo") + ": No such file or directory"), std::string::npos)
        << errorText();
    write("bad.mqo", "Metasequoia Document\r\nFormat Text Ver 2.0\r\nEof\r\n");
    EXPECT_EQ(run(path("bad.mqo")).status, 1);
    EXPECT_NE(errorText().find("bad.mqo: line 2: \"Format Text Ver 2.0\" is not read"),
              std::string::npos)
        << errorText();
    write("bad.mkm", "Mikoto Motion Ver 1\r\nEof\r\n");
    EXPECT_EQ(run(path("rig.mqo") + " " + path("bad.mkm")).status, 1);
    EXPECT_NE(errorText().find("bad.mkm: line 1: not a Mikoto motion text"), std::string::npos);
    EXPECT_EQ(run(path("rig.mqo") + " " + path("absent.mkm")).status, 1);

    std::string cut = rigText();
    const std::string lastFace = "\t\t4 V(10 14 15 11) M(2)\r\n";  // of the anchor object
    cut.erase(cut.find(lastFace), lastFace.size());
    write("cut.mqo", cut);
    const RunResult result = run("--json " + path("cut.mqo"));
    EXPECT_EQ(result.status, 1);
    JsonValue report;
    ASSERT_TRUE(JsonParser(result.out).parse(report)) << result.out;
    EXPECT_EQ(report["error"]["file"].text, path("cut.mqo"));
    EXPECT_EQ(report["error"]["line"].number, 75.0);
    EXPECT_EQ(report["error"]["message"].text, "the face chunk ends before its 12 faces");
}

// Numbers that do not parse are read as they always were (the leading digits,
// or 0) and listed as problems with their file and line.
TEST_F(InspectTool, NumbersThatDoNotParseAreListedWithTheirLine) {
    std::string text = rigText();
    const size_t vertex = text.find("vertex ");
    ASSERT_NE(vertex, std::string::npos);
    const size_t first = text.find("\r\n", vertex) + 2;
    const size_t end = text.find("\r\n", first);
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + first, '\n'));
    text.replace(first, end - first, "\t\t0.0 1-2 x");
    write("numbers.mqo", text);
    const RunResult result = run("--json " + path("numbers.mqo"));
    EXPECT_EQ(result.status, 0) << errorText();
    JsonValue report;
    ASSERT_TRUE(JsonParser(result.out).parse(report)) << result.out;
    const std::string where = path("numbers.mqo") + ": line " + std::to_string(line) + ": ";
    EXPECT_TRUE(hasProblem(report, where + "\"1-2\" is not a number (the vertex's y); 1 is used"))
        << result.out;
    EXPECT_TRUE(hasProblem(report, where + "no number for the vertex's z; 0 is used")) << result.out;
}

// A code-page-932 document naming its texture メダカ.jpg finds the picture
// whether the disk names it in UTF-8 or carries the document's own bytes.
TEST_F(InspectTool, CodePage932TextureNamesFindTheirPictureEitherWay) {
    const std::string cp932 = "\x83\x81\x83\x5F\x83\x4A.jpg";
    std::string text = rigText();
    text.replace(text.find("missing.png"), 11, cp932);
    write("medaka.mqo", text);
    test::PngImage image;
    image.width = 3;
    image.height = 2;
    image.colorType = 2;  // RGB
    image.rows.assign(2, std::vector<uint8_t>(9, 200));
    const std::vector<uint8_t> png = test::encodePng(image);
    for (const std::string& onDisk : {std::string("メダカ.jpg"), cp932}) {
        {
            std::ofstream file(path(onDisk), std::ios::binary);
            file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        }
        const JsonValue report = runJson(path("medaka.mqo"));
        ASSERT_EQ(report["textures"].items.size(), 1u);
        EXPECT_EQ(report["textures"][0]["name"].text, "メダカ.jpg");
        EXPECT_EQ(report["textures"][0]["width"].number, 3.0) << "found as " << onDisk;
        EXPECT_FALSE(hasProblem(report, "failed to load")) << "found as " << onDisk;
        std::remove(path(onDisk).c_str());
    }
}

// Ver 1.1 with "CodePage utf8": names are shown as written, and the rig
// conventions still find the bone, the skinned object and its anchor.
TEST_F(InspectTool, Utf8NamesAreShownUnchanged) {
    std::string text = rigText();
    text.replace(text.find("Ver 1.0"), 7, "Ver 1.1\r\nCodePage utf8");
    for (const auto& [cp932, utf8] : {std::pair<std::string, std::string>{kChest, "胸"},
                                      {kBody, "体"}, {kGhost, "幽霊"}}) {
        for (size_t at = text.find(cp932); at != std::string::npos; at = text.find(cp932, at)) {
            text.replace(at, cp932.size(), utf8);
        }
    }
    write("utf8.mqo", text);
    const RunResult result = run(path("utf8.mqo"));
    EXPECT_EQ(result.status, 0) << errorText();
    EXPECT_NE(result.out.find("\"胸\" [0]  rigid: \"m体-胸\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("anchor piece \"幽霊\" matches no bone"), std::string::npos);
}

TEST_F(InspectTool, BadUsageExitsWithTwo) {
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(errorText().find("tavo-inspect: bad usage: no model file given"), 0u) << errorText();
    EXPECT_EQ(run("--frobnicate " + path("rig.mqo")).status, 2);
    EXPECT_EQ(run("--pose 0 " + path("rig.mqo")).status, 2);
    EXPECT_EQ(run("--pose x 0.5 " + path("rig.mqo") + " " + path("rig.mkm")).status, 2);
    EXPECT_EQ(run("--pose 3 0.5 " + path("rig.mqo") + " " + path("rig.mkm")).status, 2);
    EXPECT_EQ(run(path("rig.mqo") + " " + path("rig.mkm") + " extra").status, 2);
    EXPECT_NE(errorText().find("usage: tavo-inspect"), std::string::npos) << "the usage goes to stderr";
}

TEST_F(InspectTool, HelpAndVersionExitWithZero) {
    const RunResult help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: tavo-inspect", 0), 0u) << help.out;
    const RunResult version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tavo-inspect 1.", 0), 0u) << version.out;
}

}  // namespace
}  // namespace tavo
