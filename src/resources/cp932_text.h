#pragma once

#include <string>

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

// Last occurrence of byte in text written in the encoding: code page 932
// skips trail bytes, UTF-8 needs nothing skipped (no byte of a multi-byte
// character is ASCII).
const char* findLastChar(const char* text, char byte, TextEncoding encoding);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates
// or values past U+10FFFF). Paths of this program are UTF-8; bytes that are
// not are an old code-page path or a raw file name.
bool isWellFormedUtf8(const std::string& text);

}  // namespace tavo
