#include <iconv.h>

#include <cerrno>

#include "resources/cp932_to_utf8.h"

namespace tavo {

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// One iconv descriptor for the life of the program ("CP932", not
// "SHIFT_JIS": the two differ on some characters).
class Converter {
public:
    Converter() : handle_(iconv_open("UTF-8", "CP932")) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    std::string convert(const std::string& text) {
        std::string out;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char buffer[256];
        while (inLeft > 0) {
            char* next = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(handle_, &in, &inLeft, &next, &outLeft);
            out.append(buffer, next);
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                // An invalid or cut-off sequence: replace one byte and go on.
                out += kReplacement;
                ++in;
                --inLeft;
                iconv(handle_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t handle_;
};

// Without the converter only ASCII passes; everything else is replaced.
std::string asciiOnly(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out += c;
        } else {
            out += kReplacement;
        }
    }
    return out;
}

}  // namespace

std::string cp932ToUtf8(const std::string& text) {
    static Converter converter;
    return converter.valid() ? converter.convert(text) : asciiOnly(text);
}

}  // namespace tavo
