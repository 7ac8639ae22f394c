#pragma once

#include <cstdint>

namespace tavo {

// Read-only byte stream: the one input interface of every reader.
class ByteStream {
public:
    virtual ~ByteStream() = default;
    virtual int32_t close() = 0;
    virtual int32_t size() = 0;
    // Copies up to count bytes; returns how many were copied (0 at the end).
    virtual int32_t read(void* buffer, int32_t count) = 0;
    // The next byte as 0-255 without consuming it, or -1 at the end.
    virtual int32_t peek() = 0;
    // origin 0: from the start, 1: from the current position, 2: from the end.
    virtual int32_t seek(int32_t origin, int32_t offset) = 0;
};

}  // namespace tavo
