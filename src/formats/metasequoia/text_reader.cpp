#include "formats/metasequoia/text_reader.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "resources/byte_stream.h"

namespace tavo {

namespace {

constexpr int32_t kNumberLimit = 63;  // bytes of one number, as the text buffer allows

bool isTokenDelimiter(int32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '(' || c == '{';
}

bool isBlank(int32_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNumberByte(int32_t c, bool allowDot) {
    return (c >= '0' && c <= '9') || c == '-' || (allowDot && c == '.');
}

// Decimal text to int the way atoi reads it (leading "-", digits up to the
// first other byte, 0 when there are none), independent of the C locale.
// Values beyond the 32-bit range are clamped instead of wrapping.
// whole tells whether every byte was part of the number and it was in range.
int32_t decimalToInt(const char* text, int32_t length, bool& whole) {
    int64_t value = 0;
    const auto result = std::from_chars(text, text + length, value);
    whole = result.ec == std::errc() && result.ptr == text + length &&
            value >= std::numeric_limits<int32_t>::min() &&
            value <= std::numeric_limits<int32_t>::max();
    if (result.ec == std::errc::result_out_of_range) {
        return text[0] == '-' ? std::numeric_limits<int32_t>::min()
                              : std::numeric_limits<int32_t>::max();
    }
    if (result.ec != std::errc()) {
        return 0;
    }
    value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value);
}

// Decimal text to float the way strtod reads it, independent of the C
// locale (a desktop toolkit may switch the process to one whose decimal
// separator is not "."). 63 bytes always fit a double; magnitudes beyond
// the float range become infinity.
float decimalToFloat(const char* text, int32_t length, bool& whole) {
    double value = 0.0;
    const auto result = std::from_chars(text, text + length, value, std::chars_format::fixed);
    whole = result.ec == std::errc() && result.ptr == text + length;
    if (result.ec != std::errc()) {
        return 0.0f;
    }
    if (std::fabs(value) > FLT_MAX) {
        return value < 0.0 ? -HUGE_VALF : HUGE_VALF;
    }
    return static_cast<float>(value);
}

}  // namespace

void TextReader::setStream(ByteStream* stream) {
    stream_ = stream;
    line_ = 1;
    lastByteLine_ = 1;
    error_ = LoadError();
    warnings_.clear();
}

bool TextReader::fail(const std::string& message) {
    return failAt(atEnd() ? lastByteLine_ : line_, message);
}

bool TextReader::failAt(int32_t line, const std::string& message) {
    if (error_.empty()) {
        error_.line = line;
        error_.message = message;
    }
    return false;
}

bool TextReader::atEnd() const {
    return peekByte() < 0;
}

int32_t TextReader::peekByte() const {
    return stream_ != nullptr ? stream_->peek() : -1;
}

int32_t TextReader::readByte() {
    if (stream_ == nullptr) {
        return -1;
    }
    uint8_t byte = 0;
    if (stream_->read(&byte, 1) != 1) {
        return -1;
    }
    lastByteLine_ = line_;
    // A carriage return counts only when no line feed completes the pair.
    if (byte == '\n' || (byte == '\r' && peekByte() != '\n')) {
        ++line_;
    }
    return byte;
}

int32_t TextReader::readRaw(uint8_t* bytes, int32_t count) {
    if (stream_ == nullptr || count <= 0) {
        return 0;
    }
    const int32_t got = stream_->read(bytes, count);
    for (int32_t i = 0; i < got; ++i) {
        lastByteLine_ = line_;
        const bool pairedReturn = bytes[i] == '\r' && (i + 1 < got ? bytes[i + 1] == '\n'
                                                                    : peekByte() == '\n');
        if (bytes[i] == '\n' || (bytes[i] == '\r' && !pairedReturn)) {
            ++line_;
        }
    }
    return got;
}

int32_t TextReader::remainingBytes() const {
    if (stream_ == nullptr) {
        return 0;
    }
    const int32_t position = stream_->seek(1, 0);
    return std::max(0, stream_->size() - position);
}

int32_t TextReader::reserveLimit(int32_t declared, int32_t bytesPerItem) const {
    if (declared <= 0) {
        return 0;
    }
    return std::min(declared, remainingBytes() / std::max(1, bytesPerItem));
}

int32_t TextReader::readLine(char* buffer, int32_t size) {
    if (size < 1) {
        return 0;
    }
    int32_t stored = 0;
    auto store = [&](int32_t c) {
        if (stored < size - 1) {
            buffer[stored++] = static_cast<char>(c);
        }
    };
    for (;;) {
        const int32_t c = readByte();
        if (c < 0) {
            break;
        }
        store(c);
        if (c == '\r' || c == '\n') {
            const int32_t partner = c == '\r' ? '\n' : '\r';
            if (peekByte() == partner) {
                store(readByte());
            }
            break;
        }
    }
    buffer[stored] = '\0';
    return stored;
}

void TextReader::readToken(std::string& text) {
    text.clear();
    for (;;) {
        const int32_t c = peekByte();
        if (c < 0) {
            return;
        }
        if (isTokenDelimiter(c)) {
            if (!text.empty()) {
                return;
            }
        } else {
            text.push_back(static_cast<char>(c));
        }
        readByte();
    }
}

void TextReader::readQuoted(std::string& text) {
    text.clear();
    if (!skipPast('"')) {
        return;
    }
    for (;;) {
        const int32_t c = readByte();
        if (c < 0 || c == '"') {
            return;
        }
        text.push_back(static_cast<char>(c));
    }
}

bool TextReader::skipPast(char byte) {
    const int32_t wanted = static_cast<uint8_t>(byte);
    for (;;) {
        const int32_t c = readByte();
        if (c < 0) {
            return false;
        }
        if (c == wanted) {
            return true;
        }
    }
}

int32_t TextReader::collectNumber(char* text, bool allowDot) {
    while (isBlank(peekByte())) {
        readByte();
    }
    int32_t length = 0;
    while (length < kNumberLimit && isNumberByte(peekByte(), allowDot)) {
        text[length++] = static_cast<char>(readByte());
    }
    text[length] = '\0';
    return length;
}

bool TextReader::readInt(int32_t& value, const char* what) {
    char text[kNumberLimit + 1];
    bool whole = false;
    const int32_t length = takeInt(text, value, whole);
    if (!whole) {
        warnAboutNumber(text, length, what, std::to_string(value));
    }
    return length > 0;
}

bool TextReader::readFloat(float& value, const char* what) {
    char text[kNumberLimit + 1];
    bool whole = false;
    const int32_t length = takeFloat(text, value, whole);
    if (!whole) {
        char used[32];
        std::snprintf(used, sizeof used, "%g", static_cast<double>(value));
        warnAboutNumber(text, length, what, used);
    }
    return length > 0;
}

bool TextReader::readIntIfAny(int32_t& value) {
    char text[kNumberLimit + 1];
    bool whole = false;
    return takeInt(text, value, whole) > 0;
}

bool TextReader::readFloatIfAny(float& value) {
    char text[kNumberLimit + 1];
    bool whole = false;
    return takeFloat(text, value, whole) > 0;
}

int32_t TextReader::takeInt(char* text, int32_t& value, bool& whole) {
    const int32_t length = collectNumber(text, false);
    whole = false;
    value = length > 0 ? decimalToInt(text, length, whole) : 0;
    return length;
}

int32_t TextReader::takeFloat(char* text, float& value, bool& whole) {
    const int32_t length = collectNumber(text, true);
    whole = false;
    value = length > 0 ? decimalToFloat(text, length, whole) : 0.0f;
    return length;
}

void TextReader::warnAboutNumber(const char* text, int32_t length, const char* what,
                                 const std::string& used) {
    if (length == 0) {
        warn(std::string("no number for ") + what + "; " + used + " is used");
        return;
    }
    // The bytes are digits, "-" and "." only, so they can be shown as they are.
    warn(std::string("\"") + std::string(text, static_cast<size_t>(length)) + "\" is not a number (" +
         what + "); " + used + " is used");
}

void TextReader::warn(const std::string& message) {
    LoadError warning;
    warning.line = atEnd() ? lastByteLine_ : line_;
    warning.message = message;
    warnings_.add(std::move(warning));
}

void TextReader::skipBlanks() {
    while (isBlank(peekByte())) {
        readByte();
    }
}

bool TextReader::atLineEnd() {
    while (peekByte() == ' ' || peekByte() == '\t') {
        readByte();
    }
    const int32_t next = peekByte();
    return next < 0 || next == '\n' || next == '\r';
}

bool TextReader::skipBlock() { return skipPastClosing('{', '}'); }

bool TextReader::skipStatement() {
    bool quoted = false;
    for (;;) {
        const int32_t c = peekByte();
        if (c < 0 || c == '\n' || c == '\r') {
            return true;  // the line break is left as a blank for the next word
        }
        readByte();
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '{') {
            return skipBlock();
        }
    }
}

bool TextReader::skipAttributeRest() { return skipPastClosing(-1, ')'); }

// Reads up to and including the `close` that ends what is open, counting
// nested `open`s (-1: none nest); quotes hide both until their line ends.
bool TextReader::skipPastClosing(int32_t open, int32_t close) {
    int32_t depth = 1;
    bool quoted = false;
    for (;;) {
        const int32_t c = readByte();
        if (c < 0) {
            return false;
        }
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\n' || c == '\r') {
            quoted = false;
        } else if (!quoted && c == open) {
            ++depth;
        } else if (!quoted && c == close && --depth == 0) {
            return true;
        }
    }
}

}  // namespace tavo
