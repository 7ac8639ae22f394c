#pragma once

#include <string>

namespace tavo {

// UTF-8 and the UTF-16 of the Windows wide API (Windows only). valid, when
// given, says whether the bytes were well-formed UTF-8; ill-formed input gives
// an empty string.
std::wstring wideFromUtf8(const std::string& text, bool* valid = nullptr);
std::string utf8FromWide(const std::wstring& text);

}  // namespace tavo
