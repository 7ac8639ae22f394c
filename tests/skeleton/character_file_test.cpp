#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/image_loaders.h"
#include "resources/texture_manager.h"
#include "skeleton/character_file.h"
#include "support/jpeg_writer.h"
#include "support/offscreen_gl_context.h"
#include "support/temp_directory.h"

namespace tavo {
namespace {

using Bytes = std::vector<uint8_t>;

void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A 2 x 1 TGA whose second pixel has alpha 0.
Bytes cutOutTga() {
    return {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 32, 0x28,
            0, 0, 255, 255, 0, 0, 255, 0};
}

std::string modelNaming(const std::vector<std::string>& textures) {
    std::string t = "Metasequoia Document\r\nFormat Text Ver 1.0\r\nMaterial " +
                    std::to_string(textures.size()) + " {\r\n";
    for (const std::string& name : textures) {
        t += "\t\"m\" col(1.000 1.000 1.000 1.000) tex(\"" + name + "\")\r\n";
    }
    return t + "}\r\nObject \"o\" {\r\n\tvertex 3 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n"
               "\t}\r\n\tface 1 {\r\n\t\t3 V(0 1 2) M(0)\r\n\t}\r\n}\r\nEof\r\n";
}

// Texture names resolve in the model's folder, with "\" as a separator and
// letter case ignored where the exact name is missing; the loader is chosen
// by the file's content; failures keep the decoder's reason.
TEST(CharacterFile, FindsTexturesBesideTheModelByContent) {
    test::OffscreenGlContext context;
    ASSERT_TRUE(context.valid());
    test::TempDirectory folder;
    const std::filesystem::path root = folder.path() / "Bob";
    writeFile(root / "Tex" / "Skin.JPG", test::encodeJpeg(24, 8, Bytes(24 * 8 * 3, 128)));
    writeFile(root / "leaf.png", cutOutTga());  // a TGA under a PNG name
    writeFile(root / "broken.bmp", text(std::string("BM") + std::string(30, '\0')));
    writeFile(root / "bob.mqo",
              text(modelNaming({"tex\\skin.jpg", "LEAF.png", "broken.bmp", "C:\\Users\\a\\leaf.png",
                                "gone.tga"})));

    TextureManager textures;
        textures.setLoaders(makeImageLoaders());
    std::unique_ptr<Character> character;
    LoadError error;
    ASSERT_TRUE(buildCharacterFromFile(character, (root / "bob.mqo").string(), textures, 1.0f, &error));
    EXPECT_EQ(textures.modelFolder(), "") << "the folder is given only while the model is read";

    const std::vector<Material>& materials = character->model->materials;
    ASSERT_EQ(materials.size(), 5u);
    const Texture* skin = textures.texture(materials[0].textureIndex);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->imageWidth, 24);
    EXPECT_EQ(skin->imageHeight, 8);
    EXPECT_EQ(skin->paddedWidth, 32);
    EXPECT_FALSE(skin->cutOut);
    const Texture* leaf = textures.texture(materials[1].textureIndex);
    ASSERT_NE(leaf, nullptr);
    EXPECT_TRUE(leaf->cutOut);
    EXPECT_EQ(materials[3].textureIndex >= 0 ? textures.texture(materials[3].textureIndex)->imageWidth : 0, 2)
        << "an absolute path from another machine falls back to the model's folder";

    EXPECT_EQ(materials[2].textureIndex, -1);
    const TextureFailure* broken = textures.failureFor("broken.bmp");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->message(), "broken.bmp: BMP: unknown header size 0");
    EXPECT_EQ(materials[4].textureIndex, -1);
    ASSERT_NE(textures.failureFor("gone.tga"), nullptr);
    EXPECT_NE(textures.failureFor("gone.tga")->reason.find("cannot read " + (root / "gone.tga").string() +
                                                           ": No such file or directory"),
              std::string::npos);
    EXPECT_EQ(textures.failures().size(), 2u);

    EXPECT_FALSE(buildCharacterFromFile(character, (root / "none.mqo").string(), textures, 1.0f, &error));
    EXPECT_EQ(error.file, (root / "none.mqo").string());
    EXPECT_EQ(error.message, "No such file or directory") << "the reason is the open's own";
    textures.clear();
}

}  // namespace
}  // namespace tavo
