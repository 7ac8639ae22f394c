#pragma once

#include <cstdint>
#include <string>

namespace tavo {

// Why and where a text reader stopped, or what it had to leave out. The
// readers keep their plain true/false results; this record says the rest.
struct ReadError {
    int32_t line = 0;     // 1-based line of the document, 0 when none applies
    std::string message;  // ASCII; empty when nothing went wrong

    bool empty() const { return message.empty(); }
    // "line 17: the face chunk ends before its 12 faces", or the bare
    // message when no line applies.
    std::string describe() const;
};

}  // namespace tavo
