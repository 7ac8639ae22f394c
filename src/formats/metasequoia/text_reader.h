#pragma once

#include <cstdint>
#include <string>

#include "resources/load_error.h"

namespace tavo {

class ByteStream;

// Byte-at-a-time scanner shared by the MQO and MKM readers. Every operation
// stops at the end of the data. It counts lines as it goes, so a reader can
// say where it stopped.
class TextReader {
public:
    TextReader() = default;
    virtual ~TextReader() = default;

    // Why and where the last document was refused or cut short; empty when
    // it read completely.
    const LoadError& error() const { return error_; }
    // What the last document held that could not be taken as written, each
    // with its line (a number that does not parse, for example); reading
    // went on as it always does.
    const LoadWarnings& warnings() const { return warnings_; }

protected:
    // Starts a document: line 1, no error.
    void setStream(ByteStream* stream);
    ByteStream* stream() const { return stream_; }
    bool atEnd() const;
    // 1-based line of the next byte. A line ends at a line feed, a carriage
    // return, or the pair of the two.
    int32_t line() const { return line_; }
    // Records the first failure of the document at the current line (at the
    // end of the data: the last line) or at the given one, and returns
    // false, so a reader can `return fail(...)`.
    bool fail(const std::string& message);
    bool failAt(int32_t line, const std::string& message);
    // Records a note when nothing was recorded yet, for a document that
    // still counts as read (the motions completed before a cut are kept).
    void note(const std::string& message) { fail(message); }
    // Records a warning at the current line.
    void warn(const std::string& message);

    // The next byte (0-255) without consuming it, or -1 at the end.
    int32_t peekByte() const;
    // Consumes and returns the next byte, or -1 at the end.
    int32_t readByte();
    // Copies up to count bytes straight from the stream (raw data inside a
    // text) and returns how many; line breaks among them are counted too.
    int32_t readRaw(uint8_t* bytes, int32_t count);
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
    // Both return true when at least one byte of a number was taken. The
    // value is what atoi or strtod would make of the bytes (0 for none).
    // When the bytes are no number, or not all of one, a warning at this
    // line names `what` and the value used.
    bool readInt(int32_t& value, const char* what);
    bool readFloat(float& value, const char* what);
    // The same without a warning: for lists that end at the first byte
    // that is no number.
    bool readIntIfAny(int32_t& value);
    bool readFloatIfAny(float& value);

    // Consumes spaces, tabs and line breaks.
    void skipBlanks();
    // Consumes spaces and tabs; true when a line break or the end follows.
    bool atLineEnd();
    // After an opening "{": consumes everything up to and including the
    // matching "}", counting nested braces; braces inside double quotes (which
    // end at a line break) do not count. False when the data ends first.
    bool skipBlock();
    // The rest of a statement after its first word: up to the line break,
    // or, when a "{" opens on the line first, through its whole block. False
    // when the data ends inside a block.
    bool skipStatement();
    // The rest of a NAME(...) attribute: up to and including the ")" that
    // is not inside double quotes.
    bool skipAttributeRest();

private:
    bool skipPastClosing(int32_t open, int32_t close);
    // Consumes blanks, then collects up to 63 bytes that are digits, "-" or,
    // when allowDot is set, ".". Returns the number of bytes collected.
    int32_t collectNumber(char* text, bool allowDot);
    // A number's bytes into text (room for 64 bytes) and its value;
    // whole tells whether all of them made one number in range. Returns how
    // many bytes were taken.
    int32_t takeInt(char* text, int32_t& value, bool& whole);
    int32_t takeFloat(char* text, float& value, bool& whole);
    void warnAboutNumber(const char* text, int32_t length, const char* what,
                         const std::string& used);

    ByteStream* stream_ = nullptr;
    int32_t line_ = 1;
    int32_t lastByteLine_ = 1;  // the line of the byte read last
    LoadError error_;
    LoadWarnings warnings_;
};

}  // namespace tavo
