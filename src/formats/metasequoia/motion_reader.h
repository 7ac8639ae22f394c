#pragma once

#include <vector>

#include "formats/metasequoia/text_reader.h"
#include "motion/motion.h"

namespace tavo {

class ByteStream;

// Reads a Mikoto text motion set and appends one Motion per "Motion" block.
// Rotation tracks keep their bone names (bindTracks gives them bone indices
// once a skeleton is built) and their keys, made unit length and aligned to
// one hemisphere; their control points are left to the curve evaluation.
class MotionReader : public TextReader {
public:
    // False only for a wrong header. Data that ends early ends the reading;
    // the motions completed before that point are kept, and error() notes
    // where the text was cut.
    bool readMotionSet(ByteStream* stream, std::vector<Motion>& motions);

private:
    // Each returns false when the data ended before the block's closing "}".
    bool readMotion(Motion& motion);
    bool readQuaternionTrack(QuaternionTrack& track);
    bool readVectorTrack(VectorTrack& track);
    // Reads the track's name line and steps over its class, member and
    // curve lines.
    void readTrackHead(std::string& name);
    // Consumes spaces, tabs and line breaks; stops before any other byte.
    void skipWhite();
    // Skips white space; true when the next byte opens a key, false at the
    // block's "}" or at the end of the data.
    bool nextKeyFollows();
};

// Unit length in extended precision; an all-zero key becomes (1, 0, 0, 0).
Quaternion normalizeKey(float x, float y, float z, float w);
// Negates every key whose dot product with the key before it is negative.
void alignHemispheres(std::vector<Quaternion>& keys);

}  // namespace tavo
