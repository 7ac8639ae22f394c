#include "skeleton/character_file.h"

#include "resources/stdio_file.h"
#include "resources/memory_stream.h"
#include "resources/texture_location.h"
#include "resources/texture_manager.h"

namespace tavo {

bool buildCharacterFromFile(std::unique_ptr<Character>& slot, const std::string& modelPath,
                            TextureManager& textures, float scale, std::string* openError,
                            ReadError* readError) {
    if (openError != nullptr) {
        openError->clear();
    }
    MemoryStream stream;
    if (stream.loadFile(modelPath.c_str()) == 0) {
        if (openError != nullptr) {
            *openError = unreadableFileReason(modelPath.c_str());
        }
        return false;
    }
    TextureFolderScope folder(textures, modelFolderOf(modelPath));
    return buildCharacter(slot, &stream, textures, scale, readError);
}

}  // namespace tavo
