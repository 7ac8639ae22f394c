#pragma once

namespace tavo {

// How a document's names are encoded: code page 932 unless the document
// says otherwise (a Metasequoia "CodePage utf8").
enum class TextEncoding { Cp932, Utf8 };

// Code page 932 lead bytes: 0x80-0x9F and 0xE0-0xEF. The byte after a lead
// byte is a trail byte and may look like ASCII (0x5C, the backslash, or '.').
inline bool isLeadByte(unsigned char byte) {
    const unsigned high = byte >> 4;
    return high == 0x8 || high == 0x9 || high == 0xE;
}

// Last occurrence of byte in the zero-terminated text, skipping trail bytes;
// null when there is none.
const char* findLastChar(const char* text, char byte);
char* findLastChar(char* text, char byte);

}  // namespace tavo
