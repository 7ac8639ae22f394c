#include "cp932_to_utf8.h"

#include <iconv.h>

#include <cerrno>

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

}  // namespace

std::string cp932ToUtf8(const std::string& text) {
    static Cp932Converter converter;
    return converter.valid() ? converter.convert(text) : asciiOnly(text);
}

}  // namespace tavo::inspect
