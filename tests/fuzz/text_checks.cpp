#include "text_checks.h"

#include <cstddef>
#include <cstdint>

namespace tavo::fuzz {

namespace {

// Length of the UTF-8 sequence at text[i], or 0 when it is malformed.
size_t utf8SequenceLength(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t lead = byte(i);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) {
        return 0;
    }
    return length;
}

// A recursive-descent recogniser; pos_ moves over what has been accepted.
class JsonRecogniser {
public:
    explicit JsonRecogniser(const std::string& text) : text_(text) {}

    bool document() {
        skipSpace();
        if (!value(0)) {
            return false;
        }
        skipSpace();
        return pos_ == text_.size();
    }

private:
    static constexpr int kMaxDepth = 4096;

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
            ++pos_;
        }
    }

    bool literal(const char* word) {
        for (const char* c = word; *c != '\0'; ++c) {
            if (peek() != *c) {
                return false;
            }
            ++pos_;
        }
        return true;
    }

    bool value(int depth) {
        if (depth > kMaxDepth) {
            return false;
        }
        switch (peek()) {
            case '{': return object(depth);
            case '[': return array(depth);
            case '"': return string();
            case 't': return literal("true");
            case 'f': return literal("false");
            case 'n': return literal("null");
            default: return number();
        }
    }

    bool object(int depth) {
        ++pos_;
        skipSpace();
        if (peek() == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipSpace();
            if (peek() != '"' || !string()) {
                return false;
            }
            skipSpace();
            if (peek() != ':') {
                return false;
            }
            ++pos_;
            skipSpace();
            if (!value(depth + 1)) {
                return false;
            }
            skipSpace();
            if (peek() == '}') {
                ++pos_;
                return true;
            }
            if (peek() != ',') {
                return false;
            }
            ++pos_;
        }
    }

    bool array(int depth) {
        ++pos_;
        skipSpace();
        if (peek() == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            skipSpace();
            if (!value(depth + 1)) {
                return false;
            }
            skipSpace();
            if (peek() == ']') {
                ++pos_;
                return true;
            }
            if (peek() != ',') {
                return false;
            }
            ++pos_;
        }
    }

    static bool isHex(char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }

    bool string() {
        ++pos_;  // the opening quote
        while (!atEnd()) {
            const uint8_t c = static_cast<uint8_t>(text_[pos_]);
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c < 0x20) {
                return false;
            }
            if (c == '\\') {
                ++pos_;
                const char e = peek();
                if (e == 'u') {
                    for (int k = 1; k <= 4; ++k) {
                        if (pos_ + k >= text_.size() || !isHex(text_[pos_ + k])) {
                            return false;
                        }
                    }
                    pos_ += 5;
                } else if (e == '"' || e == '\\' || e == '/' || e == 'b' || e == 'f' ||
                           e == 'n' || e == 'r' || e == 't') {
                    ++pos_;
                } else {
                    return false;
                }
                continue;
            }
            const size_t length = utf8SequenceLength(text_, pos_);
            if (length == 0) {
                return false;
            }
            pos_ += length;
        }
        return false;
    }

    bool digits() {
        const size_t start = pos_;
        while (peek() >= '0' && peek() <= '9') {
            ++pos_;
        }
        return pos_ > start;
    }

    bool number() {
        if (peek() == '-') {
            ++pos_;
        }
        if (peek() == '0') {
            ++pos_;
        } else if (!digits()) {
            return false;
        }
        if (peek() == '.') {
            ++pos_;
            if (!digits()) {
                return false;
            }
        }
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-') {
                ++pos_;
            }
            if (!digits()) {
                return false;
            }
        }
        return true;
    }

    const std::string& text_;
    size_t pos_ = 0;
};

}  // namespace

bool isValidUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8SequenceLength(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

bool isValidJson(const std::string& text) { return JsonRecogniser(text).document(); }

}  // namespace tavo::fuzz
