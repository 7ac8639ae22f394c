#pragma once

#include <string>

#include <cstdio>

#include "resources/byte_stream.h"

namespace tavo {

// A stream over a file opened with the runtime library's buffered functions.
class FileStream : public ByteStream {
public:
    FileStream() = default;
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // 0 when the file cannot be opened, with the system's reason in whyNot.
    int32_t open(const char* path, std::string* whyNot = nullptr);
    int32_t close() override;
    int32_t size() override;
    int32_t read(void* buffer, int32_t count) override;
    int32_t peek() override;
    int32_t seek(int32_t origin, int32_t offset) override;

private:
    std::FILE* file_ = nullptr;
    int32_t size_ = 0;
};

}  // namespace tavo
