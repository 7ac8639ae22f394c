#include "resources/file_stream.h"

#include "resources/stdio_file.h"

namespace tavo {

FileStream::~FileStream() { close(); }

int32_t FileStream::open(const char* path, std::string* whyNot) {
    close();
    StdioFile file = openStdioFile(path, whyNot);
    if (!file) {
        return 0;
    }
    const int32_t fileSize = measureFile(file.get());
    if (fileSize < 0) {
        return 0;
    }
    file_ = file.release();
    size_ = fileSize;
    return 1;
}

int32_t FileStream::close() {
    if (file_ == nullptr) {
        return 0;
    }
    const int result = std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
    return result;
}

int32_t FileStream::size() { return size_; }

int32_t FileStream::read(void* buffer, int32_t count) {
    if (file_ == nullptr || buffer == nullptr || count <= 0) {
        return 0;
    }
    return static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

int32_t FileStream::peek() {
    if (file_ == nullptr) {
        return -1;
    }
    const int byte = std::getc(file_);
    if (byte == EOF) {
        return -1;
    }
    std::ungetc(byte, file_);
    return byte;
}

int32_t FileStream::seek(int32_t origin, int32_t offset) {
    if (file_ == nullptr) {
        return 0;
    }
    int whence = SEEK_SET;
    if (origin == 1) {
        whence = SEEK_CUR;
    } else if (origin == 2) {
        whence = SEEK_END;
    }
    std::fseek(file_, offset, whence);
    return static_cast<int32_t>(std::ftell(file_));
}

}  // namespace tavo
