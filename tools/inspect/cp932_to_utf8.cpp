#include "cp932_to_utf8.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace tavo::inspect {
namespace {

// One iconv descriptor for the life of the program.
class Cp932Converter {
public:
    Cp932Converter() : handle_(iconv_open("UTF-8", "CP932")) {}
    ~Cp932Converter() {
        if (valid()) {
            iconv_close(handle_);
        }
    }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    std::string convert(const std::string& text) {
        std::string result;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char buffer[256];
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof(buffer);
            const size_t done = iconv(handle_, &in, &inLeft, &out, &outLeft);
            result.append(buffer, static_cast<size_t>(out - buffer));
            if (done == static_cast<size_t>(-1) && errno != E2BIG) {
                result.push_back('?');  // invalid or cut-off sequence: skip one byte
                ++in;
                --inLeft;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return result;
    }

private:
    iconv_t handle_;
};

// Without a converter, ASCII passes and every other byte becomes "?".
std::string asciiOnly(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            c = '?';
        }
    }
    return result;
}

// Length of the well-formed UTF-8 character at text[at], or 0.
size_t utf8Length(const std::string& text, size_t at) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (byte(at + k) & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

}  // namespace

std::string checkedUtf8(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8Length(text, at);
        if (length == 0) {
            result.push_back('?');
            ++at;
        } else {
            result.append(text, at, length);
            at += length;
        }
    }
    return result;
}

std::string cp932ToUtf8(const std::string& text) {
    static Cp932Converter converter;
    return converter.valid() ? converter.convert(text) : asciiOnly(text);
}

}  // namespace tavo::inspect
