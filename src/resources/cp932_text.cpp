#include "resources/cp932_text.h"

namespace tavo {

const char* findLastChar(const char* text, char byte) {
    if (text == nullptr) {
        return nullptr;
    }
    const char* found = nullptr;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == byte) {
            found = p;
        }
        // Step over the trail byte, but never over the terminator.
        if (isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') {
            ++p;
        }
    }
    return found;
}

char* findLastChar(char* text, char byte) {
    return const_cast<char*>(findLastChar(static_cast<const char*>(text), byte));
}

const char* findLastChar(const char* text, char byte, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp932 || text == nullptr) {
        return findLastChar(text, byte);
    }
    const char* found = nullptr;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == byte) found = p;
    }
    return found;
}

bool isWellFormedUtf8(const std::string& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;   // no overlong forms
            if (lead == 0xED) high = 0x9F;  // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
        } else {
            return false;
        }
        if (i + length > size || bytes[i + 1] < low || bytes[i + 1] > high) return false;
        for (size_t k = 2; k < length; ++k) {
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) return false;
        }
        i += length;
    }
    return true;
}

}  // namespace tavo
