#pragma once

#include <cstdint>
#include <string>

namespace tavo {

class ByteStream;

// Byte-at-a-time scanner shared by the MQO and MKM readers. Every operation
// stops at the end of the data.
class TextReader {
public:
    TextReader() = default;
    virtual ~TextReader() = default;

protected:
    void setStream(ByteStream* stream) { stream_ = stream; }
    ByteStream* stream() const { return stream_; }
    bool atEnd() const;

    int32_t readLine(char* buffer, int32_t size);
    void readToken(std::string& text);
    void readQuoted(std::string& text);
    void skipPast(char byte);
    void readInt(int32_t& value);
    void readFloat(float& value);

private:
    ByteStream* stream_ = nullptr;
};

}  // namespace tavo
