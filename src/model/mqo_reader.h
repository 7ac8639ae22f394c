#pragma once

#include "model/model.h"
#include "model/text_reader.h"

namespace tavo {

class ByteStream;
class TextureManager;

// Reads a Metasequoia text document into an empty Model.
class MqoReader : public TextReader {
public:
    // True when "Eof" was reached; false on a wrong header or data that ends early.
    bool readModel(ByteStream* stream, TextureManager& textures, Model& model, float scale);

private:
    bool readObject(ModelObject& object, float scale);
    bool readFace(Face& face);
    bool readMaterial(Material& material);
};

}  // namespace tavo
