#include "resources/wide_text.h"

#include <windows.h>

namespace tavo {

std::wstring wideFromUtf8(const std::string& text, bool* valid) {
    if (valid != nullptr) *valid = true;
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (count <= 0) {
        if (valid != nullptr) *valid = false;
        return std::wstring();
    }
    std::wstring out(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, &out[0], count);
    return out;
}

std::string utf8FromWide(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &out[0], bytes, nullptr, nullptr);
    return out;
}

}  // namespace tavo
