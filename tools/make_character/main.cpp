// tavo-make-character [--character NAME] OUTDIR
// tavo-make-character --avatar vrm0|vrm1|gltf OUTDIR
//
// Writes a character into OUTDIR. Without --character (or with "tavo"): the
// embedded character, tavo.mqo (model with its bone and anchor objects),
// tavo.mkm (motion set) and tavo.png (texture), as data/ holds them. With
// --character fuwari: fuwari.mqo, fuwari.mkm, fuwari.png and character.ini,
// the folder characters/fuwari/. With --avatar: Hinata, a humanoid avatar,
// as hinata.vrm (VRM 0.x or 1.0) or as hinata.gltf with hinata.bin and
// hinata_body.jpg. The output depends on nothing but this program (and, for
// the JPEG picture, libjpeg), byte for byte.

#include <cstdio>
#include <string>
#include <vector>

#include "avatar/avatar.h"
#include "character_model.h"
#include "fuwari/fuwari.h"
#include "motion_set.h"
#include "mqo_writer.h"
#include "png_encoder.h"
#include "resources/stdio_file.h"
#include "system/program_arguments.h"
#include "texture_painter.h"

namespace {

bool writeFile(const std::string& path, const std::string& bytes) {
    std::string whyNot = "cannot write";
    tavo::StdioFile file = tavo::createStdioFile(path.c_str(), &whyNot);
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         std::fclose(file.release()) == 0;
    if (!written) {
        std::fprintf(stderr, "tavo-make-character: cannot write %s: %s\n", path.c_str(), whyNot.c_str());
        return false;
    }
    return true;
}

bool writeTavo(const std::string& dir) {
    using namespace tavo::chara;
    const CharacterModel model = buildCharacterModel();
    const auto motions = buildMotions(model.rig);
    return writeFile(dir + "tavo.mqo", writeMqo(model)) &&
           writeFile(dir + "tavo.mkm", writeMkm(model.rig, motions)) &&
           writeFile(dir + "tavo.png", encodePng(kTextureSize, kTextureSize, paintTexture()));
}

bool writeFuwari(const std::string& dir) {
    using namespace tavo::chara;
    const CharacterModel model = fuwari::buildModel();
    const auto motions = fuwari::buildMotions(model.rig);
    // It has five motions and plays the fourth, the default: no Motion= line.
    const std::string ini = "[Character]\r\nName=Fuwari\r\n";
    return writeFile(dir + "fuwari.mqo", writeMqo(model)) &&
           writeFile(dir + "fuwari.mkm", writeMkm(model.rig, motions)) &&
           writeFile(dir + "fuwari.png", encodePng(fuwari::kTextureSize, fuwari::kTextureSize,
                                                   fuwari::paintTexture())) &&
           writeFile(dir + "character.ini", ini);
}

bool writeAvatar(const std::string& dir, const std::string& form) {
    using namespace tavo::chara::avatar;
    const AvatarForm chosen = form == "vrm0" ? AvatarForm::Vrm0 : form == "vrm1" ? AvatarForm::Vrm1 : AvatarForm::Gltf;
    for (const auto& [name, bytes] : writeAvatar(buildAvatar(), chosen, "hinata")) {
        if (!writeFile(dir + name, bytes)) return false;
    }
    return true;
}

bool writeMotion(const std::string& path, const std::string& kind) {
    using namespace tavo::chara::avatar;
    const HumanoidMotionKind chosen = kind == "walk" ? HumanoidMotionKind::Walk : HumanoidMotionKind::Idle;
    return writeFile(path, writeHumanoidMotion(buildAvatar(), chosen));
}

}  // namespace

const char kUsage[] =
    "usage: tavo-make-character [--character tavo|fuwari] OUTDIR\n"
    "       tavo-make-character --avatar vrm0|vrm1|gltf OUTDIR\n"
    "       tavo-make-character --motion walk|idle FILE.vrma\n"
    "Writes the built-in character (tavo) or Fuwari into OUTDIR, the avatar\n"
    "Hinata as VRM 0.x, VRM 1.0 or plain glTF, or one of the humanoid motions\n"
    "every VRM avatar plays as a VRM Animation file.\n"
    "Exit status: 0 written, 1 a file could not be written, 2 bad usage.\n";

int main(int argc, char** argv) {
    tavo::useUtf8Console();
    const std::vector<std::string> arguments = tavo::programArguments(argc, argv);
    if (arguments.size() == 1 && arguments[0] == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.size() == 3 && arguments[0] == "--avatar") {
        const std::string& form = arguments[1];
        if (form != "vrm0" && form != "vrm1" && form != "gltf") {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return writeAvatar(arguments[2] + "/", form) ? 0 : 1;
    }
    if (arguments.size() == 3 && arguments[0] == "--motion") {
        if (arguments[1] != "walk" && arguments[1] != "idle") {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return writeMotion(arguments[2], arguments[1]) ? 0 : 1;
    }
    std::string character = "tavo";
    size_t next = 0;
    if (arguments.size() == 3 && arguments[0] == "--character") {
        character = arguments[1];
        next = 2;
    }
    if (arguments.size() != next + 1 || (character != "tavo" && character != "fuwari")) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string dir = arguments[next] + "/";
    const bool ok = character == "tavo" ? writeTavo(dir) : writeFuwari(dir);
    return ok ? 0 : 1;
}
