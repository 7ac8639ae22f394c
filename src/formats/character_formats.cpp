#include "formats/character_format.h"

#include "formats/gltf/gltf_format.h"
#include "formats/metasequoia/metasequoia_format.h"
#include "resources/ascii_case.h"
#include "resources/file_stream.h"

namespace tavo {
namespace {

bool endsWithAny(const std::string& name, const std::vector<std::string>& endings) {
    for (const std::string& ending : endings) {
        if (name.size() > ending.size() &&
            compareIgnoringAsciiCase(name.c_str() + name.size() - ending.size(), ending.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

// The first bytes of the file, for recognising its format.
bool readHead(const std::string& path, std::vector<uint8_t>& head, LoadError* whyNot) {
    constexpr int32_t kHeadBytes = 64;
    head.resize(kHeadBytes);
    FileStream stream;
    std::string reason;
    if (stream.open(path.c_str(), &reason) == 0) {
        if (whyNot != nullptr) {
            *whyNot = loadError(path, reason);
        }
        head.clear();
        return false;
    }
    const int32_t got = stream.read(head.data(), kHeadBytes);
    head.resize(static_cast<size_t>(got > 0 ? got : 0));
    return true;
}

}  // namespace

const std::vector<const CharacterFormat*>& characterFormats() {
    static const MetasequoiaFormat metasequoia;
    static const GltfFormat gltf;
    static const std::vector<const CharacterFormat*> formats = {&metasequoia, &gltf};
    return formats;
}

const CharacterFormat* findCharacterFormat(const std::string& path, LoadError* whyNot) {
    std::vector<uint8_t> head;
    if (!readHead(path, head, whyNot)) {
        return nullptr;
    }
    for (const CharacterFormat* format : characterFormats()) {
        if (format->recognizes(head.data(), head.size())) {
            return format;
        }
    }
    for (const CharacterFormat* format : characterFormats()) {
        if (endsWithAny(path, format->modelExtensions())) {
            return format;
        }
    }
    if (whyNot != nullptr) {
        *whyNot = loadError(path, "not a character model in a format this program reads");
    }
    return nullptr;
}

bool isCharacterModelName(const std::string& name) {
    for (const CharacterFormat* format : characterFormats()) {
        if (endsWithAny(name, format->modelExtensions())) {
            return true;
        }
    }
    return false;
}

bool isCharacterMotionName(const std::string& name) {
    for (const CharacterFormat* format : characterFormats()) {
        if (endsWithAny(name, format->motionExtensions())) {
            return true;
        }
    }
    return false;
}

bool readCharacter(const CharacterSource& source, TextureManager& textures, CharacterData& data,
                   LoadError& error, LoadWarnings* warnings) {
    const CharacterFormat* format = findCharacterFormat(source.modelPath, &error);
    return format != nullptr && format->read(source, textures, data, error, warnings);
}

}  // namespace tavo
