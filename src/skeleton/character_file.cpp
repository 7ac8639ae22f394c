#include "skeleton/character_file.h"

#include "resources/memory_stream.h"
#include "resources/texture_location.h"
#include "resources/texture_manager.h"

namespace tavo {

bool buildCharacterFromFile(std::unique_ptr<Character>& slot, const std::string& modelPath,
                            TextureManager& textures, float scale, LoadError* error,
                            LoadWarnings* warnings) {
    LoadError reason;
    LoadWarnings read;
    MemoryStream stream;
    bool built = false;
    if (stream.loadFile(modelPath.c_str(), &reason.message) != 0) {
        TextureFolderScope folder(textures, modelFolderOf(modelPath));
        built = buildCharacter(slot, &stream, textures, scale, &reason, &read);
    }
    if (warnings != nullptr) {
        read.setFile(modelPath);
        warnings->append(read);
    }
    if (!built && error != nullptr) {
        *error = reason;
        error->file = modelPath;
    }
    return built;
}

}  // namespace tavo
