#pragma once

#include "model/model.h"
#include "formats/metasequoia/text_reader.h"

namespace tavo {

class ByteStream;
class TextureManager;

// Reads a Metasequoia text document (Format Text Ver 1.0 or a later 1.x)
// into an empty Model. Chunks and statements it has no use for are skipped
// whole, nested blocks included.
class MqoReader : public TextReader {
public:
    // True when "Eof" was reached. False on a wrong header, a compressed
    // document, a chunk with fewer items than it declares, or data that
    // ends early; error() then says why and on which line.
    bool readModel(ByteStream* stream, TextureManager& textures, Model& model, float scale);

private:
    bool readHeader();
    void readCodePage(Model& model);
    bool readMaterialChunk(TextureManager& textures, Model& model);
    bool readObject(ModelObject& object, float scale);
    // Attribute lines up to and including the vertex chunk; false when the
    // object ended (ended set) or the data did (error recorded).
    bool readObjectHead(ModelObject& object, float scale, bool& ended);
    // Steps over blocks and lines between the vertex and the face chunk;
    // false when the object ended there (ended set) or the data did.
    bool findFaceChunk(bool& ended);
    bool readFaceChunk(ModelObject& object);
    // The statements after the face chunk and the object's closing "}".
    bool finishObject();
    // Vertex lists stop early when the data runs out of numbers or bytes;
    // false when the data ends before the list's closing "}".
    bool readTextVertices(ModelObject& object, float scale);
    bool readRawVertices(ModelObject& object);
    // One line each; both stop at the end of the data and return true.
    bool readFace(Face& face);
    bool readMaterial(Material& material);
};

}  // namespace tavo
