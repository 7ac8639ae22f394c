#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "character/character_data.h"
#include "resources/load_error.h"

namespace tavo {

class ByteStream;
class TextureManager;

// Where a character's files are: the model and, for formats that keep them
// apart, the motions (empty for none). scale multiplies every length.
struct CharacterSource {
    std::string modelPath;
    std::string motionPath;
    float scale = 1.0f;
};

// One file format the program reads characters from. A format turns its
// files into the records every other part of the program uses
// (CharacterData); nothing outside formats/ knows which format a character
// came in. Formats hold no state: one instance serves every read.
class CharacterFormat {
public:
    virtual ~CharacterFormat() = default;

    // For messages: "Metasequoia".
    virtual const char* name() const = 0;
    // File endings of its models and of its separate motion files, lower
    // case with the dot (".mqo"); character folders are searched for them.
    virtual const std::vector<std::string>& modelExtensions() const = 0;
    virtual const std::vector<std::string>& motionExtensions() const = 0;
    // Whether the first bytes of a file (count of them) begin one of its
    // models.
    virtual bool recognizes(const uint8_t* head, size_t count) const = 0;

    // Reads the character from files. Pictures go into textures (decoded,
    // looked up beside the model). On failure data is left as it was and
    // error names the file, the place and the reason; warnings receive what
    // was passed over.
    virtual bool read(const CharacterSource& source, TextureManager& textures, CharacterData& data,
                      LoadError& error, LoadWarnings* warnings) const = 0;
    // The name a file gives its character (a VRM's title), for the menu;
    // empty when it gives none or cannot be read.
    virtual std::string title(const std::string& path) const {
        (void)path;
        return std::string();
    }
    // The same from streams (the built-in character); motions may be null.
    virtual bool readStreams(ByteStream& model, ByteStream* motions, TextureManager& textures,
                             CharacterData& data, LoadError& error,
                             LoadWarnings* warnings) const = 0;
};

// The formats the program reads, in the order they are asked.
const std::vector<const CharacterFormat*>& characterFormats();

// The format of the model file at path: the one that recognises its first
// bytes, else the one its ending belongs to. Null when none does; whyNot,
// when given, then says so (or why the file could not be read).
const CharacterFormat* findCharacterFormat(const std::string& path, LoadError* whyNot = nullptr);

// Whether a file name ends in an ending some format reads models from, or
// motions from (letter case aside).
bool isCharacterModelName(const std::string& name);
bool isCharacterMotionName(const std::string& name);

// Reads a character in whichever format its model file is.
bool readCharacter(const CharacterSource& source, TextureManager& textures, CharacterData& data,
                   LoadError& error, LoadWarnings* warnings = nullptr);

}  // namespace tavo
