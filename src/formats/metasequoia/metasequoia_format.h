#pragma once

#include <string>
#include <vector>

#include "character/character_data.h"
#include "formats/character_format.h"
#include "skeleton/character.h"

namespace tavo {

// Metasequoia models (.mqo) with Mikoto motion sets (.mkm): the model is
// read, its rig derived from the naming conventions and anchor objects, the
// motions bound to it by bone name, and the whole turned into the records.
class MetasequoiaFormat : public CharacterFormat {
public:
    const char* name() const override { return "Metasequoia"; }
    const std::vector<std::string>& modelExtensions() const override;
    const std::vector<std::string>& motionExtensions() const override;
    bool recognizes(const uint8_t* head, size_t count) const override;
    bool read(const CharacterSource& source, TextureManager& textures, CharacterData& data,
              LoadError& error, LoadWarnings* warnings) const override;
    bool readStreams(ByteStream& model, ByteStream* motions, TextureManager& textures,
                     CharacterData& data, LoadError& error, LoadWarnings* warnings) const override;
};

// The records of a Metasequoia character as read (its model, and once the
// motions are in, its skeleton and motions): the model is moved, or copied
// from a document that is kept.
CharacterData characterDataOf(Character&& document);
CharacterData characterDataOf(const Character& document);
// The rig of a skeleton alone: one joint a bone, at its local values.
Rig rigOf(const Skeleton& skeleton);
// A motion bound to the skeleton as a clip on whole frames: every bound
// rotation track turns its bone, and the first position track moves every
// root.
Clip clipOf(const Motion& motion, const Skeleton& skeleton);

}  // namespace tavo
