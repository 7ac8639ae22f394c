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
    // False when the data ended before the chunk's closing "}".
    bool readMaterialChunk(TextureManager& textures, Model& model);
    bool readObject(ModelObject& object, float scale);
    // Vertex lists stop early when the data runs out of numbers or bytes.
    void readTextVertices(ModelObject& object, float scale);
    void readRawVertices(ModelObject& object);
    // One line each; both stop at the end of the data and return true.
    bool readFace(Face& face);
    bool readMaterial(Material& material);
};

}  // namespace tavo
