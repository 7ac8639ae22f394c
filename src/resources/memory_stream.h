#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "resources/byte_stream.h"

namespace tavo {

// A stream over a block of memory, borrowed (an embedded resource) or owned
// (a whole file read into the heap).
class MemoryStream : public ByteStream {
public:
    MemoryStream() = default;
    ~MemoryStream() override;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    // Reads a whole file into a buffer of the stream's own; an empty or
    // unreadable file gives 0 and leaves the stream closed, with the reason
    // in whyNot when given: the system's message at the step that failed
    // ("No such file or directory", "Is a directory"), "the file is empty",
    // "the file is too large to read".
    int32_t loadFile(const char* path, std::string* whyNot = nullptr);
    // Reads borrowed memory, which must outlive the stream's use of it.
    int32_t attach(const void* data, int32_t size);
    // Attaches to a resource embedded in the executable, found by name and type.
    int32_t openResource(const char* name, const char* type);

    int32_t close() override;
    int32_t size() override;
    int32_t read(void* buffer, int32_t count) override;
    int32_t peek() override;
    int32_t seek(int32_t origin, int32_t offset) override;

private:
    const uint8_t* data_ = nullptr;
    std::unique_ptr<uint8_t[]> ownedBuffer_;  // set when the stream owns its bytes
    int32_t size_ = 0;
    int32_t position_ = 0;
};

}  // namespace tavo
