// tavo-make-character OUTDIR
//
// Writes the embedded character into OUTDIR: tavo.mqo (model with its bone
// and anchor objects), tavo.mkm (motion set) and tavo.png (texture). The
// output depends on nothing but this program, byte for byte.

#include <cstdio>
#include <fstream>
#include <string>

#include "character_model.h"
#include "motion_set.h"
#include "mqo_writer.h"
#include "png_encoder.h"
#include "texture_painter.h"

namespace {

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "tavo-make-character: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavo-make-character OUTDIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const tavo::chara::CharacterModel model = tavo::chara::buildCharacterModel();
    const auto motions = tavo::chara::buildMotions(model.rig);
    const auto texture = tavo::chara::paintTexture();
    const bool ok =
        writeFile(dir + "tavo.mqo", tavo::chara::writeMqo(model)) &&
        writeFile(dir + "tavo.mkm", tavo::chara::writeMkm(model.rig, motions)) &&
        writeFile(dir + "tavo.png", tavo::chara::encodePng(tavo::chara::kTextureSize,
                                                           tavo::chara::kTextureSize, texture));
    return ok ? 0 : 1;
}
