#include "formats/metasequoia/motion_reader.h"

#include <cmath>
#include <cstring>


namespace tavo {

namespace {

constexpr int32_t kLineBufferSize = 256;
constexpr char kHeader[] = "Mikoto Motion Ver 2";

bool isWhite(int32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

Quaternion normalizeKey(float x, float y, float z, float w) {
    const long double lx = x;
    const long double ly = y;
    const long double lz = z;
    const long double lw = w;
    const long double length = std::sqrt(lx * lx + ly * ly + lz * lz + lw * lw);
    if (length == 0.0L) {
        return {1.0f, 0.0f, 0.0f, 0.0f};
    }
    return {static_cast<float>(lx / length), static_cast<float>(ly / length),
            static_cast<float>(lz / length), static_cast<float>(lw / length)};
}

void alignHemispheres(std::vector<Quaternion>& keys) {
    for (size_t k = 1; k < keys.size(); ++k) {
        if (keys[k - 1].dot(keys[k]) < 0.0f) {
            keys[k] = keys[k].scale(-1.0f);
        }
    }
}

bool MotionReader::readMotionSet(ByteStream* stream, std::vector<Motion>& motions) {
    setStream(stream);
    char header[kLineBufferSize];
    readLine(header, kLineBufferSize);
    if (std::strncmp(header, kHeader, sizeof kHeader - 1) != 0) {
        return failAt(1, "not a Mikoto motion text (the first line is not \"Mikoto Motion Ver 2\")");
    }
    std::string word;
    for (;;) {
        readToken(word);
        if (word.empty()) {
            note("the motion set ends without its end word (Eof)");
            return true;
        }
        if (word != "Motion") {
            return true;  // the end word
        }
        const int32_t start = line();
        Motion motion;
        if (!readMotion(motion)) {
            // Cut short: keep what was completed before it.
            note("the data ends inside the motion that begins on line " + std::to_string(start) +
                 "; the motions before it are kept");
            return true;
        }
        motions.push_back(std::move(motion));
    }
}

bool MotionReader::readMotion(Motion& motion) {
    std::string key;
    skipPast('{');
    readToken(key);  // "name"
    skipPast('=');
    readQuoted(motion.name);
    readToken(key);  // "endframe"
    skipPast('=');
    readInt(motion.endFrame, "the end frame");
    skipPast('\n');
    skipPast('=');  // "loop ="
    readInt(motion.loop, "the loop value");
    skipPast('\n');

    std::string word;
    for (;;) {
        skipWhite();
        const int32_t next = peekByte();
        if (next < 0) {
            return false;
        }
        if (next == '}') {
            break;
        }
        readToken(word);
        if (word == "Quaternion") {
            QuaternionTrack track;
            if (!readQuaternionTrack(track)) {
                return false;
            }
            motion.quaternionTracks.push_back(std::move(track));
        } else if (word == "Vector") {
            VectorTrack track;
            if (!readVectorTrack(track)) {
                return false;
            }
            motion.vectorTracks.push_back(std::move(track));
        }
    }
    return skipPast('}');
}

void MotionReader::readTrackHead(std::string& name) {
    std::string key;
    skipPast('{');
    readToken(key);  // "name"
    skipPast('=');
    readQuoted(name);
    for (int line = 0; line < 4; ++line) {  // name, class, member and curve lines
        skipPast('\n');
    }
}

bool MotionReader::readQuaternionTrack(QuaternionTrack& track) {
    readTrackHead(track.name);
    while (nextKeyFollows()) {
        int32_t frame = 0;
        readInt(frame, "the key's frame");
        skipPast('(');
        float v[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        for (float& component : v) {
            readFloat(component, "the rotation key");
        }
        track.frames.push_back(frame);
        track.keys.push_back(normalizeKey(v[0], v[1], v[2], v[3]));
        skipPast(')');
    }
    track.keyCount = static_cast<int32_t>(track.frames.size());
    alignHemispheres(track.keys);
    return skipPast('}');
}

bool MotionReader::readVectorTrack(VectorTrack& track) {
    readTrackHead(track.name);
    while (nextKeyFollows()) {
        int32_t frame = 0;
        readInt(frame, "the key's frame");
        skipPast('(');
        Vec3 value;
        readFloat(value.x, "the position key");
        readFloat(value.y, "the position key");
        readFloat(value.z, "the position key");
        track.frames.push_back(frame);
        track.values.push_back(value);
        skipPast(')');
    }
    track.keyCount = static_cast<int32_t>(track.frames.size());
    return skipPast('}');
}

void MotionReader::skipWhite() {
    while (isWhite(peekByte())) {
        readByte();
    }
}

bool MotionReader::nextKeyFollows() {
    skipWhite();
    const int32_t next = peekByte();
    return next >= 0 && next != '}';
}

}  // namespace tavo
