#include "resources/memory_stream.h"

#include <cerrno>
#include <cstring>

#include "resources/embedded_resource.h"
#include "resources/stdio_file.h"

namespace tavo {

MemoryStream::~MemoryStream() { close(); }

int32_t MemoryStream::close() {
    ownedBuffer_.reset();
    data_ = nullptr;
    size_ = 0;
    position_ = 0;
    return 0;
}

int32_t MemoryStream::loadFile(const char* path, std::string* whyNot) {
    close();
    std::string ignored;
    std::string& reason = whyNot != nullptr ? *whyNot : ignored;
    reason.clear();
    StdioFile file = openStdioFile(path, &reason);
    if (!file) {
        return 0;
    }
    errno = 0;
    const int32_t fileSize = measureFile(file.get());
    if (fileSize <= 0) {
        reason = fileSize == 0 ? "the file is empty"
                 : errno != 0  ? std::strerror(errno)
                               : "the file is too large to read";
        return 0;
    }
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<size_t>(fileSize)]);
    if (!buffer) {
        reason = "not enough memory to read the file";
        return 0;
    }
    errno = 0;
    const size_t got = std::fread(buffer.get(), 1, static_cast<size_t>(fileSize), file.get());
    if (got != static_cast<size_t>(fileSize)) {
        reason = errno != 0 ? std::strerror(errno) : "the file ended before its size";
        return 0;
    }
    ownedBuffer_ = std::move(buffer);
    data_ = ownedBuffer_.get();
    size_ = fileSize;
    position_ = 0;
    return 1;
}

int32_t MemoryStream::attach(const void* data, int32_t size) {
    close();
    if (data == nullptr || size < 0) {
        return 1;  // an empty stream: nothing to read, never anything out of bounds
    }
    data_ = static_cast<const uint8_t*>(data);
    size_ = size;
    return 1;
}

int32_t MemoryStream::openResource(const char* name, const char* type) {
    EmbeddedResource resource;
    if (!findEmbeddedResource(name, type, resource) || resource.data == nullptr) {
        return 0;
    }
    return attach(resource.data, resource.size);
}

int32_t MemoryStream::size() { return size_; }

int32_t MemoryStream::read(void* buffer, int32_t count) {
    if (count <= 0 || buffer == nullptr) {
        return 0;
    }
    const int32_t available = size_ - position_;
    if (count > available) {
        count = available;
    }
    if (count > 0) {
        std::memcpy(buffer, data_ + position_, static_cast<size_t>(count));
        position_ += count;
    }
    return count;
}

int32_t MemoryStream::peek() {
    if (position_ < size_) {
        return data_[position_];
    }
    return -1;
}

int32_t MemoryStream::seek(int32_t origin, int32_t offset) {
    int64_t target = 0;
    switch (origin) {
    case 0:
        target = offset;
        break;
    case 1:
        target = static_cast<int64_t>(position_) + offset;
        break;
    case 2:
        target = static_cast<int64_t>(size_) + offset;
        break;
    default:
        target = 0;
        break;
    }
    if (target < 0) {
        target = 0;
    } else if (target > size_) {
        target = size_;
    }
    position_ = static_cast<int32_t>(target);
    return position_;
}

}  // namespace tavo
