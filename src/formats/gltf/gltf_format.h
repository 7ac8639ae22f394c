#pragma once

#include <string>
#include <vector>

#include "formats/character_format.h"
#include "formats/gltf/gltf_character.h"

namespace tavo {

// glTF 2.0 characters: .gltf (JSON with its files beside it or data: URIs),
// .glb, and VRM avatars (.vrm, versions 0.x and 1.0). The file is read,
// validated as a whole, and only then turned into the records; pictures go
// through the program's decoders, scaled down to 1024 pixels a side.
class GltfFormat : public CharacterFormat {
public:
    const char* name() const override { return "glTF"; }
    const std::vector<std::string>& modelExtensions() const override;
    const std::vector<std::string>& motionExtensions() const override;
    bool recognizes(const uint8_t* head, size_t count) const override;
    bool read(const CharacterSource& source, TextureManager& textures, CharacterData& data, LoadError& error,
              LoadWarnings* warnings) const override;
    bool readStreams(ByteStream& model, ByteStream* motions, TextureManager& textures, CharacterData& data,
                     LoadError& error, LoadWarnings* warnings) const override;
    std::string title(const std::string& path) const override;
};

// The same read with what the inspector reports besides the records.
bool readGltfCharacter(const std::string& path, float scale, TextureManager& textures, CharacterData& data,
                       GltfReport& report, LoadError& error);

}  // namespace tavo
