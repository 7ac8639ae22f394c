#include "cp932_to_utf8.h"

#include <windows.h>

namespace tavo::inspect {

namespace {

// Converts a run of bytes that Windows accepts as code page 932.
std::string convertRun(const char* bytes, int count) {
    const int wideCount = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, count, nullptr, 0);
    if (wideCount <= 0) return std::string();
    std::wstring wide(static_cast<size_t>(wideCount), L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, count, &wide[0], wideCount);
    const int utf8Count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideCount, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(utf8Count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideCount, &utf8[0], utf8Count, nullptr, nullptr);
    return utf8;
}

bool isLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

}  // namespace

// Character by character, so that an invalid or cut-off sequence costs one
// "?" and the rest still converts, as on Linux.
std::string cp932ToUtf8(const std::string& text) {
    std::string result;
    size_t i = 0;
    while (i < text.size()) {
        const int length = isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        const std::string converted = convertRun(text.data() + i, length);
        if (converted.empty()) {
            result.push_back('?');
            i += 1;
        } else {
            result += converted;
            i += static_cast<size_t>(length);
        }
    }
    return result;
}

}  // namespace tavo::inspect
