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

    // The next byte (0-255) without consuming it, or -1 at the end.
    int32_t peekByte() const;
    // Consumes and returns the next byte, or -1 at the end.
    int32_t readByte() const;
    // Bytes left between the current position and the end of the data.
    int32_t remainingBytes() const;
    // How many list entries to reserve for a declared count when every entry
    // needs at least bytesPerItem bytes of input: never more than the data
    // could hold, nothing for a negative count.
    int32_t reserveLimit(int32_t declared, int32_t bytesPerItem) const;

    // Stores at most size - 1 bytes of one line (line-break bytes included)
    // plus a terminating zero; the rest of an over-long line is dropped.
    int32_t readLine(char* buffer, int32_t size);
    void readToken(std::string& text);
    void readQuoted(std::string& text);
    // True when the byte was found, false when the data ended first.
    bool skipPast(char byte);
    // Both return true when at least one byte of a number was taken.
    bool readInt(int32_t& value);
    bool readFloat(float& value);

private:
    // Consumes blanks, then collects up to 63 bytes that are digits, "-" or,
    // when allowDot is set, ".". Returns the number of bytes collected.
    int32_t collectNumber(char* text, bool allowDot);

    ByteStream* stream_ = nullptr;
};

}  // namespace tavo
