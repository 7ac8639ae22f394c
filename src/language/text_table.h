#pragma once

#include <cstdint>
#include <string>

#include "resources/cp932_text.h"

namespace tavo {

// Every text the program shows a user: the popup menu's labels and the
// message boxes. Each language gives all of them in one table.
enum class TextId : int32_t {
    FrameRateMenu,
    FrameRate10,
    FrameRate15,
    FrameRate20,
    FrameRate30,
    EscapeSpeedMenu,
    EscapeFavourite,
    EscapeDisliked,
    EscapeUncatchable,
    EscapeOutrage,
    SwingSpeedMenu,
    SwingNormal,
    SwingFast,
    SwingSerious,
    CharacterMenu,
    SizeMenu,
    Size50,
    Size75,
    Size100,
    Size150,
    Size200,
    HideForFullScreen,
    StartAtLogin,
    Exit,
    FoulText,
    FoulCaption,
    StartAtLoginFailed,
    CharacterUnreadable,
    NoOpenGl,
    OpenGlCaption,
    UnsupportedWindows,
    VersionCaption,
    ApiImportFailed,
    LayeredWindowCaption,
    Count
};

constexpr int32_t kTextCount = static_cast<int32_t>(TextId::Count);

// One language's texts, written in the encoding the table names (the
// Japanese table keeps the program's code-page-932 bytes). Tables are
// constant and live as long as the program.
struct TextTable {
    const char* language;   // ISO 639-1 code, lower case: "ja", "en"
    const char* name;       // the language's own name, in UTF-8
    TextEncoding encoding;  // of texts
    const char* texts[kTextCount];

    // The text as written in the table (never null for a complete table).
    const char* raw(TextId id) const { return texts[static_cast<int32_t>(id)]; }
    // The text in UTF-8, for the window systems.
    std::string utf8(TextId id) const;
};

extern const TextTable kJapaneseTexts;
extern const TextTable kEnglishTexts;

}  // namespace tavo
