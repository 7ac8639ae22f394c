#include "text_format.h"

#include <cstdio>

namespace tavo::chara {

std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text(buffer);
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

void appendLine(std::string& out, const std::string& text) {
    out += text;
    out += "\r\n";
}

}  // namespace tavo::chara
