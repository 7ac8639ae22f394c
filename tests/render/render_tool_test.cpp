// Runs the tavo-render program as a user would and reads back what it wrote.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "resources/png_loader.h"
#include "support/jpeg_writer.h"
#include "support/temp_directory.h"
#include "support/temp_file.h"

namespace tavo {
namespace {

const std::string kTool = std::string(TAVO_BINARY_DIR) + "/tools/render/tavo-render";

// A square of 100 x 100 units standing 200 to 300 units above the origin,
// wound clockwise towards the camera, in plain red.
const char* const kSquareModel =
    "Metasequoia Document\n"
    "Format Text Ver 1.0\n"
    "\n"
    "Material 1 {\n"
    "\t\"red\" col(1.000 0.000 0.000 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00)\n"
    "}\n"
    "Object \"square\" {\n"
    "\tvisible 15\n"
    "\tvertex 4 {\n"
    "\t\t-50.0 200.0 0.0\n"
    "\t\t50.0 200.0 0.0\n"
    "\t\t50.0 300.0 0.0\n"
    "\t\t-50.0 300.0 0.0\n"
    "\t}\n"
    "\tface 1 {\n"
    "\t\t4 V(0 3 2 1) M(0)\n"
    "\t}\n"
    "}\n"
    "Eof\n";

std::vector<uint8_t> rgbRepeated(int count, std::vector<uint8_t> rgb) {
    std::vector<uint8_t> out;
    for (int i = 0; i < count; ++i) {
        out.insert(out.end(), rgb.begin(), rgb.end());
    }
    return out;
}

class RenderTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::FILE* file = std::fopen(kTool.c_str(), "rb")) {
            std::fclose(file);
        } else {
            GTEST_SKIP() << "tavo-render is not built";
        }
    }

    static int run(const std::string& arguments) {
        const std::string command = kTool + " " + arguments + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // What the tool wrote to stderr.
    static std::string errorsOf(const std::string& arguments) {
        const std::string command = kTool + " " + arguments + " 2>&1 >/dev/null";
        std::string errors;
        if (std::FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[512];
            size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
                errors.append(buffer, got);
            }
            pclose(pipe);
        }
        return errors;
    }

    std::string outPath(const std::string& name) const {
        return testing::TempDir() + "tavo_render_" + name;
    }
};

TEST_F(RenderTool, BadUsageExitsWithTwo) {
    EXPECT_EQ(run(""), 2) << "no --out";
    EXPECT_EQ(run("--out"), 2) << "--out without a value";
    EXPECT_EQ(run("--frames 0 --out x.png"), 2);
    EXPECT_EQ(run("--phase half --out x.png"), 2);
    EXPECT_EQ(run("--motion -1 --out x.png"), 2);
    EXPECT_EQ(run("--motions a.mkm --out x.png"), 2) << "motions without a model";
    EXPECT_EQ(run("--size 3 --out x.png"), 2);
    EXPECT_EQ(run("--out x.png --bogus"), 2) << "an unknown last option";
    EXPECT_EQ(run("--icon 8 --out x.png"), 2) << "icon too small";
    EXPECT_EQ(run("--icon 64 --frames 2 --out x.png"), 2);
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run("--version"), 0);
}

TEST_F(RenderTool, UnreadableFilesExitWithOne) {
    test::TempFile garbage(std::string("not a model at all\n"), ".mqo");
    test::TempFile square(std::string(kSquareModel), ".mqo");
    const std::string out = outPath("unreadable.png");
    EXPECT_EQ(run("--model /nonexistent/model.mqo --out " + out), 1);
    EXPECT_EQ(run("--model " + garbage.path() + " --out " + out), 1);
    EXPECT_EQ(run("--model " + square.path() + " --motions /nonexistent/m.mkm --out " + out), 1);
    EXPECT_EQ(run("--model " + square.path() + " --out /nonexistent/dir/out.png"), 1);
    EXPECT_EQ(errorsOf("--model " + garbage.path() + " --out " + out),
              "tavo-render: " + garbage.path() +
                  ": line 1: not a Metasequoia document (the first line is not \"Metasequoia "
                  "Document\")\n");
}

// A pentagon is drawn as the fan of three triangles from its first corner:
// the same picture as the three triangles written out.
TEST_F(RenderTool, APentagonDrawsAsThreeTriangles) {
    std::string pentagon = kSquareModel;
    pentagon.replace(pentagon.find("Ver 1.0"), 7, "Ver 1.1");
    pentagon.replace(pentagon.find("vertex 4"), 8, "vertex 5");
    pentagon.replace(pentagon.find("\t}\n\tface"), 0, "\t\t0.0 330.0 0.0\n");
    std::string fan = pentagon;
    pentagon.replace(pentagon.find("4 V(0 3 2 1)"), 12, "5 V(0 3 4 2 1)");
    fan.replace(fan.find("face 1"), 6, "face 3");
    fan.replace(fan.find("4 V(0 3 2 1) M(0)"), 17,
                "3 V(0 3 4) M(0)\n\t\t3 V(0 4 2) M(0)\n\t\t3 V(0 2 1) M(0)");
    test::TempFile one(pentagon, ".mqo");
    test::TempFile three(fan, ".mqo");
    const std::string outOne = outPath("pentagon.png");
    const std::string outThree = outPath("fan.png");
    ASSERT_EQ(run("--model " + one.path() + " --out " + outOne), 0);
    ASSERT_EQ(run("--model " + three.path() + " --out " + outThree), 0);
    PngLoader a;
    PngLoader b;
    ASSERT_EQ(a.load(outOne.c_str()), 1);
    ASSERT_EQ(b.load(outThree.c_str()), 1);
    int drawn = 0;
    for (int i = 0; i < 400 * 360; ++i) {
        drawn += a.pixels()[i * 4 + 3] != 0 ? 1 : 0;
    }
    EXPECT_GT(drawn, 5000);
    EXPECT_EQ(std::memcmp(a.pixels(), b.pixels(), 400 * 360 * 4), 0);
    std::remove(outOne.c_str());
    std::remove(outThree.c_str());
}

TEST_F(RenderTool, WritesTheKeyedFrameAsRgbaTopRowFirst) {
    test::TempFile square(std::string(kSquareModel), ".mqo");
    const std::string out = outPath("square.png");
    ASSERT_EQ(run("--model " + square.path() + " --out " + out), 0);

    PngLoader png;
    ASSERT_EQ(png.load(out.c_str()), 1);
    ASSERT_EQ(png.width(), 400);
    ASSERT_EQ(png.height(), 360);
    auto pixel = [&](int x, int y) { return png.pixels() + (y * 400 + x) * 4; };
    const uint8_t transparent[4] = {0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(pixel(0, 0), transparent, 4), 0);
    EXPECT_EQ(std::memcmp(pixel(399, 359), transparent, 4), 0);

    // The square stands above the middle of the picture: opaque red in
    // the upper half, nothing in the lower half.
    int upper = 0;
    int lower = 0;
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 400; ++x) {
            if (pixel(x, y)[3] == 0) {
                continue;
            }
            EXPECT_EQ(pixel(x, y)[3], 255);
            (y < 180 ? upper : lower) += 1;
        }
    }
    EXPECT_GT(upper, 1000);
    EXPECT_EQ(lower, 0);
    const uint8_t* middle = pixel(200, 80);
    const uint8_t red[4] = {255, 0, 0, 255};
    EXPECT_EQ(std::memcmp(middle, red, 4), 0);
    std::remove(out.c_str());
}

// A square textured with a JPEG beside the model (named in other letter
// case) is drawn filled with the picture's colour.
TEST_F(RenderTool, DrawsAJpegTextureFoundBesideTheModel) {
    test::TempDirectory folder;
    std::string model = kSquareModel;
    const std::string red = "col(1.000 0.000 0.000 1.000)";
    model.replace(model.find(red), red.size(), "col(1.000 1.000 1.000 1.000) tex(\"Skin.JPG\")");
    const std::string modelPath = (folder.path() / "square.mqo").string();
    std::ofstream(modelPath) << model;
    const std::vector<uint8_t> jpeg = test::encodeJpeg(16, 16, rgbRepeated(16 * 16, {230, 120, 30}));
    std::ofstream((folder.path() / "skin.jpg").string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));

    const std::string out = outPath("jpeg.png");
    ASSERT_EQ(run("--model " + modelPath + " --out " + out), 0);
    PngLoader png;
    ASSERT_EQ(png.load(out.c_str()), 1);
    int filled = 0;
    for (int i = 0; i < 400 * 360; ++i) {
        const uint8_t* p = png.pixels() + i * 4;
        filled += p[3] == 255 && std::abs(p[0] - 230) < 8 && std::abs(p[1] - 120) < 8 &&
                  std::abs(p[2] - 30) < 8;
    }
    EXPECT_GT(filled, 1000);
    std::remove(out.c_str());
}

// The square fills the icon but for the margin; the edges blend from
// opaque red into transparency without darkening.
TEST_F(RenderTool, IconIsTheFigureCroppedToASquare) {
    test::TempFile square(std::string(kSquareModel), ".mqo");
    const std::string out = outPath("icon.png");
    ASSERT_EQ(run("--model " + square.path() + " --icon 48 --out " + out), 0);
    PngLoader png;
    ASSERT_EQ(png.load(out.c_str()), 1);
    ASSERT_EQ(png.width(), 48);
    ASSERT_EQ(png.height(), 48);
    auto pixel = [&](int x, int y) { return png.pixels() + (y * 48 + x) * 4; };
    EXPECT_EQ(pixel(0, 0)[3], 0);
    EXPECT_EQ(pixel(47, 47)[3], 0);
    const uint8_t red[4] = {255, 0, 0, 255};
    for (int i = 3; i < 45; ++i) {
        EXPECT_EQ(std::memcmp(pixel(i, 24), red, 4), 0) << "row 24, column " << i;
        EXPECT_EQ(std::memcmp(pixel(24, i), red, 4), 0) << "column 24, row " << i;
    }
    for (int i = 0; i < 48; ++i) {
        if (pixel(i, 1)[3] != 0) {
            EXPECT_EQ(pixel(i, 1)[0], 255) << "edge pixel " << i;
        }
    }
    std::remove(out.c_str());
}

TEST_F(RenderTool, FramesAreNumberedOverOneCycle) {
    test::TempFile square(std::string(kSquareModel), ".mqo");
    const std::string stem = outPath("cycle");
    ASSERT_EQ(run("--model " + square.path() + " --frames 3 --yaw 180 --out " + stem + ".png"), 0);
    for (const char* suffix : {"-000.png", "-001.png", "-002.png"}) {
        PngLoader png;
        EXPECT_EQ(png.load((stem + suffix).c_str()), 1) << suffix;
        std::remove((stem + suffix).c_str());
    }
    PngLoader missing;
    EXPECT_EQ(missing.load((stem + "-003.png").c_str()), 0);
}

TEST_F(RenderTool, RigOverlaysDrawTheLinksAndAnchorBoxesOverTheFigure) {
    // Counts the pixels of one exact colour in a frame of the embedded character.
    auto count = [&](const std::string& options, const uint8_t (&rgb)[3]) {
        const std::string out = outPath("rig.png");
        EXPECT_EQ(run(options + " --yaw 30 --out " + out), 0) << options;
        PngLoader png;
        EXPECT_EQ(png.load(out.c_str()), 1);
        int found = 0;
        for (int i = 0; i < 400 * 360; ++i) {
            found += std::memcmp(png.pixels() + i * 4, rgb, 3) == 0 && png.pixels()[i * 4 + 3] == 255;
        }
        std::remove(out.c_str());
        return found;
    };
    const uint8_t linkYellow[3] = {250, 204, 26};
    const uint8_t anchorGreen[3] = {26, 178, 76};
    EXPECT_EQ(count("", linkYellow) + count("", anchorGreen), 0);
    EXPECT_GT(count("--show-rig", linkYellow), 20);
    EXPECT_EQ(count("--show-rig", anchorGreen), 0);
    EXPECT_GT(count("--show-anchors", anchorGreen), 100);
    const std::string modelOnly = std::string("--model ") + TAVO_SOURCE_DIR + "/data/tavo.mqo";
    EXPECT_GT(count(modelOnly + " --show-rig --show-anchors", anchorGreen), 100) << "modelled pose";
}

}  // namespace
}  // namespace tavo
