#include "language/text_table.h"

namespace tavo {

// The texts for everyone who does not read Japanese, in the order of TextId.
// The escape and swing choices keep the character's own voice.
const TextTable kEnglishTexts = {
    "en",
    "English",
    TextEncoding::Utf8,
    {
        "Frame rate",
        "10fps",
        "15fps",
        "20fps",
        "30fps",
        "Escape speed",
        "Someone I like!",
        "Someone I'd rather avoid!",
        "You can't catch me!",
        "What do you think you're doing?!",
        "Swing speed",
        "Just normal",
        "Fast, you know",
        "For real this time",
        "Character",
        "Size",
        "50%",
        "75%",
        "100%",
        "150%",
        "200%",
        "Hide for full-screen programs",
        "Start at login",
        "Exit",
        "No fair!",
        "!!!",
        "Start at login could not be set.",
        "The character could not be loaded.",
        "OpenGL cannot be used.",
        "OpenGL",
        "This program does not run on this version of Windows.",
        "Version",
        "The API could not be imported.",
        "LayeredWindow",
    },
};

}  // namespace tavo
