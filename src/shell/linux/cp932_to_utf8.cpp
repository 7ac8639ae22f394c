#include "shell/linux/cp932_to_utf8.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace tavo {

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

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
        std::vector<char> buffer(text.size() * 4 + 16);
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        while (inLeft > 0) {
            char* next = buffer.data();
            size_t outLeft = buffer.size();
            const size_t result = iconv(handle_, &in, &inLeft, &next, &outLeft);
            out.append(buffer.data(), next);
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
    Converter converter;
    return converter.valid() ? converter.convert(text) : asciiOnly(text);
}

}  // namespace tavo
