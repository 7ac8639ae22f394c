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

}  // namespace tavo
