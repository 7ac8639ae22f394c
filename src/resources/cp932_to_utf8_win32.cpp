#include <windows.h>

#include "resources/cp932_to_utf8.h"
#include "resources/cp932_text.h"
#include "resources/wide_text.h"

namespace tavo {

// Character by character, so that one bad byte becomes U+FFFD and the rest
// still converts.
std::string cp932ToUtf8(const std::string& text) {
    std::wstring wide;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        const bool lead = isLeadByte(byte) || (byte >= 0xF0 && byte <= 0xFC);
        const int length = lead && i + 1 < text.size() ? 2 : 1;
        wchar_t unit[2] = {0, 0};
        const int got = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data() + i, length, unit, 2);
        if (got > 0 && !(lead && length == 1)) {
            wide.append(unit, static_cast<size_t>(got));
            i += static_cast<size_t>(length);
        } else {
            wide += L'\xFFFD';
            i += 1;
        }
    }
    return utf8FromWide(wide);
}

}  // namespace tavo
